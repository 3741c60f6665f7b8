#pragma once

// The grammar of SVG attribute values our reader understands: numbers,
// lengths, colours and paints, transform lists. Each parser takes the whole
// value and answers nothing when it is not valid.

#include "graphics/SVGDocument.h"

#include <optional>
#include <string_view>

namespace igraphics
{

// Reads numbers and their separators (white space, at most one comma) from
// the front of a text.
class SVGScanner
{
public:
  explicit SVGScanner(std::string_view text) : mText(text) {}

  void SkipSpace();
  void SkipSeparator();
  bool AtEnd() const { return mPos >= mText.size(); }
  char Peek() const { return AtEnd() ? '\0' : mText[mPos]; }
  void Advance() { ++mPos; }
  // A number ("-1.5e-3", ".5", "7."), finite; false leaves the position.
  bool Number(double& value);
  // An arc flag: a single '0' or '1', needing no separator after it.
  bool Flag(bool& value);
  std::size_t Position() const { return mPos; }

private:
  std::string_view mText;
  std::size_t mPos = 0;
};

std::optional<double> ParseSVGNumber(std::string_view text);
// A length in pixels: a number with no unit or px, pt, pc, mm, cm, in at the
// given dots per inch. Percentages and font-relative units are not lengths here.
std::optional<double> ParseSVGLength(std::string_view text, double dpi);
// "#rgb", "#rrggbb", "rgb(r, g, b)" (numbers or percentages) or a basic colour name.
std::optional<SVGColor> ParseSVGColor(std::string_view text);

struct SVGPaint
{
  enum class EKind { None, Color, CurrentColor };
  EKind kind = EKind::None;
  SVGColor color;
};
// "none", "currentColor" or a colour; a url() reference counts as its
// fallback colour, or none when it has no fallback (we draw no gradients).
std::optional<SVGPaint> ParseSVGPaint(std::string_view text);

// A transform list (matrix, translate, scale, rotate, skewX, skewY), composed
// left to right as SVG does.
std::optional<SVGMatrix> ParseSVGTransform(std::string_view text);

// Text without leading and trailing white space.
std::string_view TrimSVGSpace(std::string_view text);

} // namespace igraphics
