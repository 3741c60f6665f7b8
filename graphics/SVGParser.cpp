#include "graphics/SVGParser.h"

#include "graphics/SVGPathData.h"
#include "graphics/SVGValues.h"
#include "graphics/SVGXmlReader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace igraphics
{

namespace
{

// What an element passes on to what it contains.
struct InheritedStyle
{
  SVGPaint fill{SVGPaint::EKind::Color, {}};
  SVGPaint stroke{};
  SVGColor color; // what currentColor means
  double fillOpacity = 1.;
  double strokeOpacity = 1.;
  double strokeWidth = 1.;
  double miterLimit = 4.;
  bool evenOdd = false;
  ESVGLineCap lineCap = ESVGLineCap::Butt;
  ESVGLineJoin lineJoin = ESVGLineJoin::Miter;
  // Not inherited in SVG, but accumulated down the tree.
  SVGMatrix transform;
  double fade = 1.; // opacity of groups nested too deeply to be drawn as layers
  bool skipped = false; // inside an element we do not draw
  // The element's own, not passed on.
  double opacity = 1.;
  bool opensGroup = false;
};

std::optional<double> ParseOpacity(std::string_view text)
{
  text = TrimSVGSpace(text);
  const bool percent = text.ends_with('%');
  if (percent)
    text.remove_suffix(1);
  auto v = ParseSVGNumber(text);
  if (!v)
    return std::nullopt;
  return std::clamp(percent ? *v / 100. : *v, 0., 1.);
}

// One presentation attribute or style property; unknown names and invalid
// values leave the style as it was (inherited).
void ApplyProperty(InheritedStyle& style, std::string_view name, std::string_view value, double dpi)
{
  value = TrimSVGSpace(value);
  if (value == "inherit")
    return;
  if (name == "fill")
  {
    if (auto p = ParseSVGPaint(value))
      style.fill = *p;
  }
  else if (name == "stroke")
  {
    if (auto p = ParseSVGPaint(value))
      style.stroke = *p;
  }
  else if (name == "color")
  {
    if (auto c = ParseSVGColor(value))
      style.color = *c;
  }
  else if (name == "fill-opacity")
  {
    if (auto o = ParseOpacity(value))
      style.fillOpacity = *o;
  }
  else if (name == "stroke-opacity")
  {
    if (auto o = ParseOpacity(value))
      style.strokeOpacity = *o;
  }
  else if (name == "opacity")
  {
    if (auto o = ParseOpacity(value))
      style.opacity = *o;
  }
  else if (name == "stroke-width")
  {
    if (auto w = ParseSVGLength(value, dpi); w && *w >= 0.)
      style.strokeWidth = *w;
  }
  else if (name == "stroke-miterlimit")
  {
    if (auto m = ParseSVGNumber(value); m && *m >= 1.)
      style.miterLimit = *m;
  }
  else if (name == "fill-rule")
  {
    if (value == "evenodd" || value == "nonzero")
      style.evenOdd = value == "evenodd";
  }
  else if (name == "stroke-linecap")
  {
    if (value == "butt") style.lineCap = ESVGLineCap::Butt;
    else if (value == "round") style.lineCap = ESVGLineCap::Round;
    else if (value == "square") style.lineCap = ESVGLineCap::Square;
  }
  else if (name == "stroke-linejoin")
  {
    if (value == "miter") style.lineJoin = ESVGLineJoin::Miter;
    else if (value == "round") style.lineJoin = ESVGLineJoin::Round;
    else if (value == "bevel") style.lineJoin = ESVGLineJoin::Bevel;
  }
  else if (name == "display" && value == "none")
    style.skipped = true;
}

// The declarations of a style attribute ("fill: red; stroke-width: 2").
void ApplyStyleAttribute(InheritedStyle& style, std::string_view declarations, double dpi)
{
  while (!declarations.empty())
  {
    const std::size_t end = std::min(declarations.find(';'), declarations.size());
    const std::string_view declaration = declarations.substr(0, end);
    declarations.remove_prefix(std::min(end + 1, declarations.size()));
    const std::size_t colon = declaration.find(':');
    if (colon == std::string_view::npos)
      continue;
    std::string_view value = TrimSVGSpace(declaration.substr(colon + 1));
    if (const std::size_t bang = value.find('!'); bang != std::string_view::npos)
      value = TrimSVGSpace(value.substr(0, bang)); // "!important" changes nothing here
    ApplyProperty(style, TrimSVGSpace(declaration.substr(0, colon)), value, dpi);
  }
}

const std::string* FindAttribute(const std::vector<XmlAttribute>& attributes, std::string_view name)
{
  for (const XmlAttribute& a : attributes)
    if (a.name == name)
      return &a.value;
  return nullptr;
}

double LengthAttribute(const std::vector<XmlAttribute>& attributes, std::string_view name, double dpi,
                       double fallback = 0.)
{
  const std::string* text = FindAttribute(attributes, name);
  if (!text)
    return fallback;
  return ParseSVGLength(*text, dpi).value_or(fallback);
}

using EType = SVGPathCommand::EType;

void MoveTo(std::vector<SVGPathCommand>& path, double x, double y)
{
  path.push_back({EType::MoveTo, x, y, 0., 0., 0., 0.});
}

void LineTo(std::vector<SVGPathCommand>& path, double x, double y)
{
  path.push_back({EType::LineTo, x, y, 0., 0., 0., 0.});
}

void Close(std::vector<SVGPathCommand>& path, double x, double y)
{
  path.push_back({EType::Close, x, y, 0., 0., 0., 0.});
}

// An ellipse as four quarter arcs, clockwise from its rightmost point.
std::vector<SVGPathCommand> EllipsePath(double cx, double cy, double rx, double ry)
{
  std::vector<SVGPathCommand> path;
  if (!(rx > 0.) || !(ry > 0.))
    return path;
  MoveTo(path, cx + rx, cy);
  AppendSVGArc(path, cx + rx, cy, rx, ry, 0., false, true, cx, cy + ry);
  AppendSVGArc(path, cx, cy + ry, rx, ry, 0., false, true, cx - rx, cy);
  AppendSVGArc(path, cx - rx, cy, rx, ry, 0., false, true, cx, cy - ry);
  AppendSVGArc(path, cx, cy - ry, rx, ry, 0., false, true, cx + rx, cy);
  Close(path, cx + rx, cy);
  return path;
}

std::vector<SVGPathCommand> RectPath(const std::vector<XmlAttribute>& attributes, double dpi)
{
  std::vector<SVGPathCommand> path;
  const double x = LengthAttribute(attributes, "x", dpi), y = LengthAttribute(attributes, "y", dpi);
  const double w = LengthAttribute(attributes, "width", dpi), h = LengthAttribute(attributes, "height", dpi);
  if (!(w > 0.) || !(h > 0.))
    return path;
  double rx = LengthAttribute(attributes, "rx", dpi, -1.), ry = LengthAttribute(attributes, "ry", dpi, -1.);
  if (rx < 0.)
    rx = ry;
  if (ry < 0.)
    ry = rx;
  rx = std::clamp(rx, 0., w / 2.);
  ry = std::clamp(ry, 0., h / 2.);
  if (rx == 0. || ry == 0.)
  {
    MoveTo(path, x, y);
    LineTo(path, x + w, y);
    LineTo(path, x + w, y + h);
    LineTo(path, x, y + h);
    Close(path, x, y);
    return path;
  }
  MoveTo(path, x + rx, y);
  LineTo(path, x + w - rx, y);
  AppendSVGArc(path, x + w - rx, y, rx, ry, 0., false, true, x + w, y + ry);
  LineTo(path, x + w, y + h - ry);
  AppendSVGArc(path, x + w, y + h - ry, rx, ry, 0., false, true, x + w - rx, y + h);
  LineTo(path, x + rx, y + h);
  AppendSVGArc(path, x + rx, y + h, rx, ry, 0., false, true, x, y + h - ry);
  LineTo(path, x, y + ry);
  AppendSVGArc(path, x, y + ry, rx, ry, 0., false, true, x + rx, y);
  Close(path, x + rx, y);
  return path;
}

// polyline and polygon: pairs of numbers; an odd number at the end is dropped,
// and reading stops at the first error as in path data.
std::vector<SVGPathCommand> PointsPath(const std::string* points, bool closed)
{
  std::vector<SVGPathCommand> path;
  if (!points)
    return path;
  SVGScanner s(*points);
  s.SkipSpace();
  double x = 0., y = 0., firstX = 0., firstY = 0.;
  while (!s.AtEnd())
  {
    if (!s.Number(x))
      break;
    s.SkipSeparator();
    if (!s.Number(y))
      break;
    s.SkipSeparator();
    if (path.empty())
    {
      firstX = x;
      firstY = y;
      MoveTo(path, x, y);
    }
    else
      LineTo(path, x, y);
  }
  if (closed && !path.empty())
    Close(path, firstX, firstY);
  return path;
}

std::optional<std::array<double, 4>> ParseViewBox(const std::string* text)
{
  if (!text)
    return std::nullopt;
  SVGScanner s(*text);
  std::array<double, 4> box{};
  s.SkipSpace();
  for (std::size_t i = 0; i < box.size(); ++i)
  {
    if (i > 0)
      s.SkipSeparator();
    if (!s.Number(box[i]))
      return std::nullopt;
  }
  s.SkipSpace();
  if (!s.AtEnd() || !(box[2] > 0.) || !(box[3] > 0.))
    return std::nullopt;
  return box;
}

SVGAspect ParseAspect(const std::string* text)
{
  SVGAspect aspect;
  if (!text)
    return aspect;
  std::string_view rest = TrimSVGSpace(*text);
  if (rest.starts_with("defer"))
    rest = TrimSVGSpace(rest.substr(5));
  const std::size_t space = std::min(rest.find_first_of(" \t\r\n"), rest.size());
  const std::string_view align = rest.substr(0, space);
  const std::string_view meetOrSlice = TrimSVGSpace(rest.substr(space));
  using EAlign = SVGAspect::EAlign;
  auto axis = [](std::string_view s, EAlign& out) {
    if (s == "Min") out = EAlign::Min;
    else if (s == "Mid") out = EAlign::Mid;
    else if (s == "Max") out = EAlign::Max;
    else return false;
    return true;
  };
  if (align == "none")
    aspect.none = true;
  else
  {
    EAlign x = EAlign::Mid, y = EAlign::Mid;
    if (align.size() != 8 || align[0] != 'x' || align[4] != 'Y' || !axis(align.substr(1, 3), x) ||
        !axis(align.substr(5, 3), y))
      return SVGAspect{}; // invalid: the default
    aspect.x = x;
    aspect.y = y;
  }
  if (meetOrSlice == "slice")
    aspect.slice = true;
  else if (!meetOrSlice.empty() && meetOrSlice != "meet")
    return SVGAspect{};
  return aspect;
}

enum class EElement { Group, Path, Rect, Circle, Ellipse, Line, Polyline, Polygon, Other };

EElement Classify(std::string_view name)
{
  // "svg:path" and "path" alike.
  if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos)
    name = name.substr(colon + 1);
  if (name == "g" || name == "a") return EElement::Group;
  if (name == "path") return EElement::Path;
  if (name == "rect") return EElement::Rect;
  if (name == "circle") return EElement::Circle;
  if (name == "ellipse") return EElement::Ellipse;
  if (name == "line") return EElement::Line;
  if (name == "polyline") return EElement::Polyline;
  if (name == "polygon") return EElement::Polygon;
  return EElement::Other;
}

std::vector<SVGPathCommand> ShapePath(EElement element, const std::vector<XmlAttribute>& attributes, double dpi)
{
  switch (element)
  {
    case EElement::Path:
    {
      const std::string* d = FindAttribute(attributes, "d");
      std::string ignored; // a path with an error draws what came before it
      return d ? ParseSVGPathData(*d, ignored) : std::vector<SVGPathCommand>{};
    }
    case EElement::Rect: return RectPath(attributes, dpi);
    case EElement::Circle:
    {
      const double r = LengthAttribute(attributes, "r", dpi);
      return EllipsePath(LengthAttribute(attributes, "cx", dpi), LengthAttribute(attributes, "cy", dpi), r, r);
    }
    case EElement::Ellipse:
      return EllipsePath(LengthAttribute(attributes, "cx", dpi), LengthAttribute(attributes, "cy", dpi),
                         LengthAttribute(attributes, "rx", dpi), LengthAttribute(attributes, "ry", dpi));
    case EElement::Line:
    {
      std::vector<SVGPathCommand> path;
      MoveTo(path, LengthAttribute(attributes, "x1", dpi), LengthAttribute(attributes, "y1", dpi));
      LineTo(path, LengthAttribute(attributes, "x2", dpi), LengthAttribute(attributes, "y2", dpi));
      return path;
    }
    case EElement::Polyline: return PointsPath(FindAttribute(attributes, "points"), false);
    case EElement::Polygon: return PointsPath(FindAttribute(attributes, "points"), true);
    default: return {};
  }
}

SVGColor Resolve(const SVGPaint& paint, const SVGColor& current)
{
  return paint.kind == SVGPaint::EKind::CurrentColor ? current : paint.color;
}

SVGShape MakeShape(const InheritedStyle& style, std::vector<SVGPathCommand> path)
{
  SVGShape shape;
  shape.path = std::move(path);
  shape.transform = style.transform;
  shape.hasFill = style.fill.kind != SVGPaint::EKind::None;
  shape.fill = Resolve(style.fill, style.color);
  shape.fillOpacity = style.fillOpacity;
  shape.evenOdd = style.evenOdd;
  shape.hasStroke = style.stroke.kind != SVGPaint::EKind::None && style.strokeWidth > 0.;
  shape.stroke = Resolve(style.stroke, style.color);
  shape.strokeOpacity = style.strokeOpacity;
  shape.strokeWidth = style.strokeWidth;
  shape.miterLimit = style.miterLimit;
  shape.lineCap = style.lineCap;
  shape.lineJoin = style.lineJoin;
  shape.opacity = style.fade * style.opacity;
  return shape;
}

// The element's own style: its parent's, then its presentation attributes,
// then its style attribute, which wins.
InheritedStyle StyleOf(const InheritedStyle& parent, const std::vector<XmlAttribute>& attributes, double dpi)
{
  InheritedStyle style = parent;
  style.opacity = 1.;
  style.opensGroup = false;
  for (const XmlAttribute& a : attributes)
    if (a.name != "style")
      ApplyProperty(style, a.name, a.value, dpi);
  if (const std::string* declarations = FindAttribute(attributes, "style"))
    ApplyStyleAttribute(style, *declarations, dpi);
  if (const std::string* transform = FindAttribute(attributes, "transform"))
    if (auto m = ParseSVGTransform(*transform)) // an invalid transform counts as none
      style.transform = style.transform * *m;
  return style;
}

} // namespace

std::optional<SVGDocument> ParseSVG(std::string_view text, double dpi, std::string& error)
{
  error.clear();
  if (text.size() > kMaxSVGBytes)
  {
    error = "image larger than " + std::to_string(kMaxSVGBytes) + " bytes";
    return std::nullopt;
  }
  if (!(dpi > 0.) || !std::isfinite(dpi))
    dpi = 72.;

  SVGXmlReader reader(text);
  SVGDocument doc;
  std::vector<InheritedStyle> styles; // one per open element
  std::size_t commands = 0;
  std::vector<std::size_t> openGroupIndices; // into doc.groups
  // A group (or the root) with an opacity below one becomes a layer, up to a
  // depth that keeps the layers' memory bounded; deeper ones fade each shape.
  auto beginGroup = [&](InheritedStyle& style) {
    if (!(style.opacity < 1.) || style.skipped)
      return;
    if (openGroupIndices.size() < kMaxSVGGroupDepth)
    {
      style.opensGroup = true;
      openGroupIndices.push_back(doc.groups.size());
      doc.groups.push_back({doc.shapes.size(), doc.shapes.size(), style.opacity});
    }
    else
      style.fade *= style.opacity;
  };
  while (true)
  {
    const SVGXmlReader::EToken token = reader.Next();
    if (token == SVGXmlReader::EToken::Error)
    {
      error = reader.Error();
      return std::nullopt;
    }
    if (token == SVGXmlReader::EToken::End)
      break;
    if (token == SVGXmlReader::EToken::EndElement)
    {
      if (styles.back().opensGroup)
      {
        doc.groups[openGroupIndices.back()].end = doc.shapes.size();
        openGroupIndices.pop_back();
      }
      styles.pop_back();
      continue;
    }

    const std::vector<XmlAttribute>& attributes = reader.Attributes();
    if (styles.empty())
    {
      std::string_view name = reader.Name();
      if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos)
        name = name.substr(colon + 1);
      if (name != "svg")
      {
        error = "the root element is <" + reader.Name() + ">, not <svg>";
        return std::nullopt;
      }
      const auto viewBox = ParseViewBox(FindAttribute(attributes, "viewBox"));
      const std::string* widthText = FindAttribute(attributes, "width");
      const std::string* heightText = FindAttribute(attributes, "height");
      const auto width = widthText ? ParseSVGLength(*widthText, dpi) : std::nullopt;
      const auto height = heightText ? ParseSVGLength(*heightText, dpi) : std::nullopt;
      // Absolute width and height give the size; otherwise (missing or
      // percentages) the view box does.
      if (width && height)
      {
        doc.width = *width;
        doc.height = *height;
      }
      else if (viewBox)
      {
        doc.width = (*viewBox)[2];
        doc.height = (*viewBox)[3];
      }
      if (!(doc.width > 0.) || !(doc.height > 0.) || !std::isfinite(doc.width) || !std::isfinite(doc.height))
      {
        error = "the image has no usable size";
        return std::nullopt;
      }
      if (viewBox)
      {
        doc.viewX = (*viewBox)[0];
        doc.viewY = (*viewBox)[1];
        doc.viewW = (*viewBox)[2];
        doc.viewH = (*viewBox)[3];
      }
      else
      {
        doc.viewW = doc.width;
        doc.viewH = doc.height;
      }
      doc.aspect = ParseAspect(FindAttribute(attributes, "preserveAspectRatio"));
      InheritedStyle root = StyleOf(InheritedStyle{}, attributes, dpi);
      root.transform = SVGMatrix{}; // the root's place is set by its view box
      beginGroup(root);
      styles.push_back(root);
      continue;
    }

    const InheritedStyle& parent = styles.back();
    const EElement element = Classify(reader.Name());
    if (parent.skipped || element == EElement::Other)
    {
      InheritedStyle skipped = parent;
      skipped.skipped = true;
      skipped.opensGroup = false;
      styles.push_back(skipped);
      continue;
    }
    styles.push_back(StyleOf(parent, attributes, dpi));
    InheritedStyle& style = styles.back();
    if (element == EElement::Group)
      beginGroup(style);
    if (element == EElement::Group || style.skipped)
      continue;
    std::vector<SVGPathCommand> path = ShapePath(element, attributes, dpi);
    commands += path.size();
    if (commands > kMaxSVGPathCommands)
    {
      error = "more than " + std::to_string(kMaxSVGPathCommands) + " path commands";
      return std::nullopt;
    }
    if (!path.empty())
      doc.shapes.push_back(MakeShape(style, std::move(path)));
  }
  std::erase_if(doc.groups, [](const SVGGroup& g) { return g.begin == g.end; });
  return doc;
}

} // namespace igraphics
