#include "graphics/SVGValues.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

namespace igraphics
{

namespace
{

bool IsSpace(char c)
{
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsDigit(char c)
{
  return c >= '0' && c <= '9';
}

char Lower(char c)
{
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

int HexDigit(char c)
{
  if (IsDigit(c))
    return c - '0';
  c = Lower(c);
  return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
}

uint8_t ToChannel(double v)
{
  return static_cast<uint8_t>(std::lround(std::clamp(v, 0., 255.)));
}

struct NamedColor
{
  std::string_view name;
  SVGColor color;
};

constexpr std::array<NamedColor, 20> kNamedColors{{
  {"black", {0, 0, 0}},         {"white", {255, 255, 255}},  {"red", {255, 0, 0}},       {"green", {0, 128, 0}},
  {"blue", {0, 0, 255}},        {"yellow", {255, 255, 0}},   {"cyan", {0, 255, 255}},    {"aqua", {0, 255, 255}},
  {"magenta", {255, 0, 255}},   {"fuchsia", {255, 0, 255}},  {"gray", {128, 128, 128}},  {"grey", {128, 128, 128}},
  {"silver", {192, 192, 192}},  {"maroon", {128, 0, 0}},     {"olive", {128, 128, 0}},   {"lime", {0, 255, 0}},
  {"teal", {0, 128, 128}},      {"navy", {0, 0, 128}},       {"purple", {128, 0, 128}},  {"orange", {255, 165, 0}},
}};

} // namespace

void SVGScanner::SkipSpace()
{
  while (mPos < mText.size() && IsSpace(mText[mPos]))
    ++mPos;
}

void SVGScanner::SkipSeparator()
{
  SkipSpace();
  if (Peek() == ',')
  {
    ++mPos;
    SkipSpace();
  }
}

bool SVGScanner::Number(double& value)
{
  std::size_t p = mPos;
  const std::size_t start = p;
  if (p < mText.size() && (mText[p] == '+' || mText[p] == '-'))
    ++p;
  const std::size_t mantissa = p;
  while (p < mText.size() && IsDigit(mText[p]))
    ++p;
  bool digits = p > mantissa;
  if (p < mText.size() && mText[p] == '.')
  {
    const std::size_t fraction = ++p;
    while (p < mText.size() && IsDigit(mText[p]))
      ++p;
    digits = digits || p > fraction;
  }
  if (!digits)
    return false;
  // An exponent only when digits follow: "1em" is one and a unit.
  if (p < mText.size() && (mText[p] == 'e' || mText[p] == 'E'))
  {
    std::size_t q = p + 1;
    if (q < mText.size() && (mText[q] == '+' || mText[q] == '-'))
      ++q;
    if (q < mText.size() && IsDigit(mText[q]))
    {
      while (q < mText.size() && IsDigit(mText[q]))
        ++q;
      p = q;
    }
  }
  // from_chars takes no leading '+'.
  const std::size_t from = mText[start] == '+' ? start + 1 : start;
  double v = 0.;
  const auto [end, ec] = std::from_chars(mText.data() + from, mText.data() + p, v);
  if (ec != std::errc() || end != mText.data() + p || !std::isfinite(v))
    return false;
  value = v;
  mPos = p;
  return true;
}

bool SVGScanner::Flag(bool& value)
{
  const char c = Peek();
  if (c != '0' && c != '1')
    return false;
  value = c == '1';
  ++mPos;
  return true;
}

std::string_view TrimSVGSpace(std::string_view text)
{
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

std::optional<double> ParseSVGNumber(std::string_view text)
{
  SVGScanner s(TrimSVGSpace(text));
  double v = 0.;
  if (!s.Number(v) || !s.AtEnd())
    return std::nullopt;
  return v;
}

std::optional<double> ParseSVGLength(std::string_view text, double dpi)
{
  text = TrimSVGSpace(text);
  SVGScanner s(text);
  double v = 0.;
  if (!s.Number(v))
    return std::nullopt;
  const std::string_view unit = text.substr(s.Position());
  double scale = 0.;
  if (unit.empty() || EqualsNoCase(unit, "px")) scale = 1.;
  else if (EqualsNoCase(unit, "in")) scale = dpi;
  else if (EqualsNoCase(unit, "pt")) scale = dpi / 72.;
  else if (EqualsNoCase(unit, "pc")) scale = dpi / 6.;
  else if (EqualsNoCase(unit, "cm")) scale = dpi / 2.54;
  else if (EqualsNoCase(unit, "mm")) scale = dpi / 25.4;
  else
    return std::nullopt;
  const double px = v * scale;
  if (!std::isfinite(px))
    return std::nullopt;
  return px;
}

std::optional<SVGColor> ParseSVGColor(std::string_view text)
{
  text = TrimSVGSpace(text);
  if (text.starts_with('#'))
  {
    const std::string_view hex = text.substr(1);
    if (hex.size() != 3 && hex.size() != 6)
      return std::nullopt;
    std::array<int, 6> d{};
    for (std::size_t i = 0; i < hex.size(); ++i)
      if ((d[i] = HexDigit(hex[i])) < 0)
        return std::nullopt;
    if (hex.size() == 3)
      return SVGColor{static_cast<uint8_t>(d[0] * 17), static_cast<uint8_t>(d[1] * 17),
                      static_cast<uint8_t>(d[2] * 17)};
    return SVGColor{static_cast<uint8_t>(d[0] * 16 + d[1]), static_cast<uint8_t>(d[2] * 16 + d[3]),
                    static_cast<uint8_t>(d[4] * 16 + d[5])};
  }
  if (text.size() > 4 && EqualsNoCase(text.substr(0, 4), "rgb(") && text.back() == ')')
  {
    SVGScanner s(text.substr(4, text.size() - 5));
    std::array<uint8_t, 3> channel{};
    for (std::size_t i = 0; i < 3; ++i)
    {
      s.SkipSpace();
      double v = 0.;
      if (!s.Number(v))
        return std::nullopt;
      if (s.Peek() == '%')
      {
        s.Advance();
        v = v * 255. / 100.;
      }
      channel[i] = ToChannel(v);
      if (i < 2)
      {
        s.SkipSpace();
        if (s.Peek() != ',')
          return std::nullopt;
        s.Advance();
      }
    }
    s.SkipSpace();
    if (!s.AtEnd())
      return std::nullopt;
    return SVGColor{channel[0], channel[1], channel[2]};
  }
  for (const NamedColor& named : kNamedColors)
    if (EqualsNoCase(text, named.name))
      return named.color;
  return std::nullopt;
}

std::optional<SVGPaint> ParseSVGPaint(std::string_view text)
{
  text = TrimSVGSpace(text);
  if (EqualsNoCase(text, "none"))
    return SVGPaint{};
  if (EqualsNoCase(text, "currentColor"))
    return SVGPaint{SVGPaint::EKind::CurrentColor, {}};
  if (text.size() > 4 && EqualsNoCase(text.substr(0, 4), "url("))
  {
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos)
      return std::nullopt;
    const std::string_view fallback = TrimSVGSpace(text.substr(close + 1));
    if (fallback.empty())
      return SVGPaint{};
    return ParseSVGPaint(fallback.starts_with("url(") ? std::string_view("none") : fallback);
  }
  if (const auto color = ParseSVGColor(text))
    return SVGPaint{SVGPaint::EKind::Color, *color};
  return std::nullopt;
}

std::optional<SVGMatrix> ParseSVGTransform(std::string_view text)
{
  constexpr double kDegToRad = std::numbers::pi / 180.;
  SVGScanner s(text);
  SVGMatrix result;
  s.SkipSpace();
  while (!s.AtEnd())
  {
    std::string name;
    while (!s.AtEnd() && ((s.Peek() >= 'a' && s.Peek() <= 'z') || (s.Peek() >= 'A' && s.Peek() <= 'Z')))
    {
      name += s.Peek();
      s.Advance();
    }
    s.SkipSpace();
    if (name.empty() || s.Peek() != '(')
      return std::nullopt;
    s.Advance();
    std::array<double, 6> arg{};
    std::size_t n = 0;
    s.SkipSpace();
    while (s.Peek() != ')')
    {
      if (n == arg.size() || !s.Number(arg[n]))
        return std::nullopt;
      ++n;
      s.SkipSeparator();
    }
    s.Advance();

    SVGMatrix m;
    if (name == "matrix" && n == 6)
      m = {arg[0], arg[1], arg[2], arg[3], arg[4], arg[5]};
    else if (name == "translate" && (n == 1 || n == 2))
      m = {1., 0., 0., 1., arg[0], n == 2 ? arg[1] : 0.};
    else if (name == "scale" && (n == 1 || n == 2))
      m = {arg[0], 0., 0., n == 2 ? arg[1] : arg[0], 0., 0.};
    else if (name == "rotate" && (n == 1 || n == 3))
    {
      const double a = arg[0] * kDegToRad, cs = std::cos(a), sn = std::sin(a);
      const SVGMatrix rotation{cs, sn, -sn, cs, 0., 0.};
      if (n == 3)
        m = SVGMatrix{1., 0., 0., 1., arg[1], arg[2]} * rotation * SVGMatrix{1., 0., 0., 1., -arg[1], -arg[2]};
      else
        m = rotation;
    }
    else if (name == "skewX" && n == 1)
      m = {1., 0., std::tan(arg[0] * kDegToRad), 1., 0., 0.};
    else if (name == "skewY" && n == 1)
      m = {1., std::tan(arg[0] * kDegToRad), 0., 1., 0., 0.};
    else
      return std::nullopt;
    result = result * m;
    s.SkipSeparator();
  }
  return result;
}

} // namespace igraphics
