#include "core/IParam.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace iplug
{

namespace
{

void CopyText(char* dest, const char* src)
{
  const char* s = src ? src : "";
  std::size_t n = std::strlen(s);
  if (n > static_cast<std::size_t>(IParam::kMaxTextLen))
    n = IParam::kMaxTextLen;
  std::memcpy(dest, s, n);
  dest[n] = '\0';
}

void LimitLength(std::string& out)
{
  if (out.size() > static_cast<std::size_t>(IParam::kMaxTextLen))
    out.resize(IParam::kMaxTextLen);
}

// Clamp that lets no NaN through: a NaN ends at the lower bound.
double ClampToRange(double v, double lo, double hi)
{
  if (!(v >= lo))
    return lo;
  return v > hi ? hi : v;
}

} // namespace

std::unique_ptr<IParam::Shape> IParam::ShapeLinear::Copy() const
{
  return std::make_unique<ShapeLinear>(*this);
}

double IParam::ShapeLinear::MapToReal(double norm, const IParam& param) const
{
  return param.GetMin() + norm * (param.GetMax() - param.GetMin());
}

double IParam::ShapeLinear::MapToNorm(double value, const IParam& param) const
{
  return (value - param.GetMin()) / (param.GetMax() - param.GetMin());
}

IParam::IParam()
  : mShape(std::make_unique<ShapeLinear>())
{
}

IParam::~IParam() = default;

void IParam::DeclareDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                           const char* label, unsigned flags, const char* group, const Shape& shape,
                           EParamUnit unit, ValueFormatter displayFunc, ValueParser parseFunc)
{
  if (mType == kTypeNone)
    mType = kTypeDouble;

  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mGroup, group);

  mMin = minVal;
  mMax = std::max(maxVal, minVal + step);
  mStep = step;
  mDefault = defaultVal;
  mUnit = unit;
  mFlags = flags;

  mDisplayFunction = std::move(displayFunc);
  mParseFunction = std::move(parseFunc);

  mValue.exchange(FitToRange(defaultVal));

  mDisplayPrecision = 0;
  double s = step;
  while (s != std::floor(s) && mDisplayPrecision < 6)
  {
    ++mDisplayPrecision;
    s *= 10.0;
  }

  mShape = shape.Copy();
  mShape->Attach(*this);
}

void IParam::DeclareEnum(const char* name, int defaultVal, int count, const char* label, unsigned flags,
                         const char* group, std::initializer_list<const char*> texts)
{
  if (mType == kTypeNone)
    mType = kTypeEnum;

  DeclareDouble(name, defaultVal, 0.0, count - 1.0, 1.0, label, flags | kFlagStepped, group, ShapeLinear(),
                kUnitCustom);

  int i = 0;
  for (const char* text : texts)
  {
    if (i >= count)
      break;
    AddDisplayText(i, text);
    ++i;
  }
}

void IParam::DeclareEnum(const char* name, std::initializer_list<const char*> texts)
{
  DeclareEnum(name, 0, static_cast<int>(texts.size()), "", kFlagStepped, "", texts);
}

void IParam::DeclareBool(const char* name, bool defaultVal, const char* label, unsigned flags, const char* group,
                         const char* offText, const char* onText)
{
  mType = kTypeBool;
  DeclareEnum(name, defaultVal ? 1 : 0, 2, label, flags | kFlagStepped, group);
  AddDisplayText(0.0, offText);
  AddDisplayText(1.0, onText);
}

void IParam::AddDisplayText(double value, const char* text)
{
  ValueText entry{};
  entry.value = value;
  CopyText(entry.text, text);
  mDisplayTexts.push_back(entry);
}

double IParam::GetDefaultValue(bool normalized) const
{
  return normalized ? RealToNorm(mDefault) : mDefault;
}

double IParam::QuantiseToStep(double value) const
{
  // std::round rounds halves away from zero.
  return mStep * std::round(value / mStep);
}

double IParam::FitToRange(double value) const
{
  if (mFlags & kFlagStepped)
    value = QuantiseToStep(value);
  return ClampToRange(value, mMin, mMax);
}

double IParam::RealToNorm(double value) const
{
  return ClampToRange(mShape->MapToNorm(FitToRange(value), *this), 0.0, 1.0);
}

double IParam::NormToReal(double norm) const
{
  return FitToRange(mShape->MapToReal(norm, *this));
}

void IParam::FormatValue(double value, bool isNormalized, std::string& out, bool withDisplayText) const
{
  if (isNormalized)
    value = FitToRange(mShape->MapToReal(value, *this));

  if (mDisplayFunction)
  {
    out.clear();
    mDisplayFunction(value, out);
    LimitLength(out);
    return;
  }

  if (withDisplayText)
  {
    for (const ValueText& entry : mDisplayTexts)
    {
      if (entry.value == value)
      {
        if (entry.text[0] != '\0')
        {
          out = entry.text;
          return;
        }
        break;
      }
    }
  }

  if (mFlags & kFlagNegateDisplay)
    value = -value;
  if (value == 0.0)
    value = 0.0; // turns -0 into +0

  if (mDisplayPrecision == 0)
  {
    out = FormatInteger(std::llround(ClampToRange(value, -9.0e18, 9.0e18)));
  }
  else
  {
    out = FormatFixed(value, mDisplayPrecision);
    if ((mFlags & kFlagShowSign) && value > 0.0)
      out.insert(out.begin(), '+');
  }
  LimitLength(out);
}

void IParam::FormatValueWithLabel(std::string& out) const
{
  FormatValue(GetValue(), false, out, true);
  const char* label = EffectiveLabel();
  if (label[0] != '\0')
  {
    out += ' ';
    out += label;
  }
}

const char* IParam::TextForValue(int value) const
{
  for (const ValueText& entry : mDisplayTexts)
  {
    if (entry.value == static_cast<double>(value))
      return entry.text;
  }
  return "";
}

const char* IParam::EffectiveLabel() const
{
  const double v = std::trunc(GetValue());
  if (std::fabs(v) < 2147483647.0 && TextForValue(static_cast<int>(v))[0] != '\0')
    return "";
  return mLabel;
}

double IParam::ParseText(const char* text) const
{
  const char* t = text ? text : "";

  for (const ValueText& entry : mDisplayTexts)
  {
    if (std::strcmp(entry.text, t) == 0)
      return entry.value;
  }

  if (mType == kTypeBool || mType == kTypeEnum)
    return 0.0;

  double v;
  if (mDisplayFunction && mParseFunction)
  {
    // Typed text is read in the units the display function shows.
    v = mParseFunction(t);
  }
  else
  {
    v = ParseLeadingNumber(t);
    if (mFlags & kFlagNegateDisplay)
      v = -v;
  }

  if (mFlags & kFlagStepped)
    v = QuantiseToStep(v);
  return ClampToRange(v, mMin, mMax);
}

double IParam::NormalizedForText(const char* text) const
{
  const double value = ParseText(text);
  const double norm = RealToNorm(value);
  if (NormToReal(norm) == value)
    return norm;
  // The map back rounds, so norm can land an ulp or two beside value, which a
  // truncating display shows as the number below the one typed. Look a few
  // ulps either side.
  constexpr int kUlpsSearched = 16;
  std::string wanted, shown;
  FormatValue(value, false, wanted, true);
  FormatValue(NormToReal(norm), false, shown, true);
  double showsTheSame = shown == wanted ? norm : -1.0;
  double up = norm, down = norm;
  for (int i = 0; i < kUlpsSearched; ++i)
  {
    up = std::nextafter(up, 1.0);
    down = std::nextafter(down, 0.0);
    for (const double candidate : {up, down})
    {
      const double real = NormToReal(candidate);
      if (real == value)
        return candidate;
      if (showsTheSame < 0.0)
      {
        FormatValue(real, false, shown, true);
        if (shown == wanted)
          showsTheSame = candidate;
      }
    }
  }
  return showsTheSame >= 0.0 ? showsTheSame : norm;
}

const char* IParam::GetDisplayText(int index) const
{
  if (index < 0 || index >= NDisplayTexts())
    return "";
  return mDisplayTexts[static_cast<std::size_t>(index)].text;
}

double IParam::GetDisplayTextValue(int index) const
{
  if (index < 0 || index >= NDisplayTexts())
    return 0.0;
  return mDisplayTexts[static_cast<std::size_t>(index)].value;
}

} // namespace iplug
