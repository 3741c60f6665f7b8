// Parameter text, every parameter of the plug-in: typed text goes through
// ParseText, arbitrary doubles (NaN and infinities included) through
// FormatValue. Results stay in range, texts within 31 characters, and the
// text a value is shown as reads back to a value in range.

#include "plugin/TORV.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzInput.h"

#include <cmath>
#include <memory>
#include <string>

namespace
{

TORV& Plugin()
{
  static TORV* plug = new TORV(); // lives for the whole run; never torn down between inputs
  return *plug;
}

void CheckInRange(const iplug::IParam& param, double value)
{
  FUZZ_CHECK(std::isfinite(value));
  FUZZ_CHECK(value >= param.GetMin() && value <= param.GetMax());
}

void CheckText(const std::string& text)
{
  FUZZ_CHECK(text.size() <= static_cast<size_t>(iplug::IParam::kMaxTextLen));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  TORV& plug = Plugin();
  FuzzInput in(data, size);
  const int paramIdx = static_cast<int>(in.Below(static_cast<uint32_t>(plug.NParams())));
  const iplug::IParam& param = *plug.GetParam(paramIdx);
  std::string out;

  switch (in.Below(4))
  {
    case 0:
    {
      // Typed text, as from a host's value-by-string or an editor prompt.
      const std::string text = in.Rest();
      const double value = param.ParseText(text.c_str());
      CheckInRange(param, value);
      param.FormatValue(value, false, out);
      CheckText(out);
      break;
    }
    case 1:
    {
      // Any double, real or normalised, with or without display texts.
      const double value = in.Double();
      const bool normalized = in.Bool();
      param.FormatValue(value, normalized, out, in.Bool());
      CheckText(out);
      // What is shown reads back as a value in range.
      CheckInRange(param, param.ParseText(out.c_str()));
      break;
    }
    case 2:
    {
      // Conversions a host drives with arbitrary values.
      const double x = in.Double();
      const double norm = param.RealToNorm(x);
      FUZZ_CHECK(norm >= 0.0 && norm <= 1.0);
      CheckInRange(param, param.NormToReal(x));
      CheckInRange(param, param.FitToRange(x));
      break;
    }
    default:
    {
      // The label text a host shows next to the value: value set from any
      // normalised number, then formatted; the parameter keeps its default.
      iplug::IParam* writable = plug.GetParam(paramIdx);
      const double saved = writable->GetValue();
      writable->SetFromNormalized(in.Double());
      CheckInRange(param, writable->GetValue());
      writable->FormatValueWithLabel(out);
      FUZZ_CHECK(out.size() <= 2 * static_cast<size_t>(iplug::IParam::kMaxTextLen) + 1);
      writable->SetValue(saved);
      break;
    }
  }
  return 0;
}
