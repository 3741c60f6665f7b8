#include "graphics/SVGRenderer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace igraphics
{

namespace
{

double AlignOffset(SVGAspect::EAlign align, double free)
{
  switch (align)
  {
    case SVGAspect::EAlign::Min: return 0.;
    case SVGAspect::EAlign::Mid: return free / 2.;
    case SVGAspect::EAlign::Max: return free;
  }
  return 0.;
}

void AppendPath(cairo_t* cr, const SVGShape& shape)
{
  cairo_new_path(cr);
  for (const SVGPathCommand& c : shape.path)
    switch (c.type)
    {
      case SVGPathCommand::EType::MoveTo: cairo_move_to(cr, c.x1, c.y1); break;
      case SVGPathCommand::EType::LineTo: cairo_line_to(cr, c.x1, c.y1); break;
      case SVGPathCommand::EType::CubicTo: cairo_curve_to(cr, c.x1, c.y1, c.x2, c.y2, c.x3, c.y3); break;
      case SVGPathCommand::EType::Close: cairo_close_path(cr); break;
    }
}

void SetColor(cairo_t* cr, const SVGColor& color, double alpha)
{
  cairo_set_source_rgba(cr, color.r / 255., color.g / 255., color.b / 255., alpha);
}

cairo_line_cap_t ToCairo(ESVGLineCap cap)
{
  switch (cap)
  {
    case ESVGLineCap::Round: return CAIRO_LINE_CAP_ROUND;
    case ESVGLineCap::Square: return CAIRO_LINE_CAP_SQUARE;
    case ESVGLineCap::Butt: break;
  }
  return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t ToCairo(ESVGLineJoin join)
{
  switch (join)
  {
    case ESVGLineJoin::Round: return CAIRO_LINE_JOIN_ROUND;
    case ESVGLineJoin::Bevel: return CAIRO_LINE_JOIN_BEVEL;
    case ESVGLineJoin::Miter: break;
  }
  return CAIRO_LINE_JOIN_MITER;
}

// cairo refuses (and stays broken after) a map it cannot invert.
bool Invertible(const SVGMatrix& m)
{
  const double det = m.a * m.d - m.b * m.c;
  return std::isfinite(det) && det != 0. && std::isfinite(m.e) && std::isfinite(m.f);
}

void DrawShape(cairo_t* cr, const SVGShape& shape)
{
  const bool fill = shape.hasFill && shape.fillOpacity > 0.;
  const bool stroke = shape.hasStroke && shape.strokeOpacity > 0.;
  if ((!fill && !stroke) || !(shape.opacity > 0.))
    return;
  cairo_matrix_t outer, combined;
  cairo_get_matrix(cr, &outer);
  const cairo_matrix_t own{shape.transform.a, shape.transform.b, shape.transform.c,
                           shape.transform.d, shape.transform.e, shape.transform.f};
  cairo_matrix_multiply(&combined, &own, &outer);
  if (!Invertible({combined.xx, combined.yx, combined.xy, combined.yy, combined.x0, combined.y0}))
    return;
  cairo_save(cr);
  cairo_set_matrix(cr, &combined);
  // Fill and stroke fade together when the shape has an opacity of its own.
  const bool grouped = fill && stroke && shape.opacity < 1.;
  const double alpha = grouped ? 1. : shape.opacity;
  if (grouped)
    cairo_push_group(cr);
  AppendPath(cr, shape);
  if (fill)
  {
    cairo_set_fill_rule(cr, shape.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    SetColor(cr, shape.fill, shape.fillOpacity * alpha);
    cairo_fill_preserve(cr);
  }
  if (stroke)
  {
    cairo_set_line_width(cr, shape.strokeWidth);
    cairo_set_miter_limit(cr, shape.miterLimit);
    cairo_set_line_cap(cr, ToCairo(shape.lineCap));
    cairo_set_line_join(cr, ToCairo(shape.lineJoin));
    SetColor(cr, shape.stroke, shape.strokeOpacity * alpha);
    cairo_stroke_preserve(cr);
  }
  cairo_new_path(cr);
  if (grouped)
  {
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, shape.opacity);
  }
  cairo_restore(cr);
}

} // namespace

void DrawSVGDocument(cairo_t* cr, const SVGDocument& doc, double x, double y, double w, double h)
{
  if (!cr || !(w > 0.) || !(h > 0.) || !(doc.viewW > 0.) || !(doc.viewH > 0.))
    return;
  double sx = w / doc.viewW, sy = h / doc.viewH;
  double tx = x, ty = y;
  if (!doc.aspect.none)
  {
    sx = sy = doc.aspect.slice ? std::max(sx, sy) : std::min(sx, sy);
    tx += AlignOffset(doc.aspect.x, w - doc.viewW * sx);
    ty += AlignOffset(doc.aspect.y, h - doc.viewH * sy);
  }
  const SVGMatrix viewMap{sx, 0., 0., sy, tx - doc.viewX * sx, ty - doc.viewY * sy};
  if (!Invertible(viewMap))
    return;
  cairo_save(cr);
  const cairo_matrix_t m{viewMap.a, viewMap.b, viewMap.c, viewMap.d, viewMap.e, viewMap.f};
  cairo_transform(cr, &m);
  // Groups open before their first shape and close after their last; the
  // innermost open group always ends first.
  std::vector<const SVGGroup*> open;
  std::size_t next = 0;
  auto closeGroupsEndingAt = [&](std::size_t i) {
    while (!open.empty() && open.back()->end <= i)
    {
      cairo_pop_group_to_source(cr);
      cairo_paint_with_alpha(cr, open.back()->opacity);
      open.pop_back();
    }
  };
  for (std::size_t i = 0; i < doc.shapes.size(); ++i)
  {
    closeGroupsEndingAt(i);
    for (; next < doc.groups.size() && doc.groups[next].begin <= i; ++next)
      if (doc.groups[next].begin == i && (open.empty() || doc.groups[next].end <= open.back()->end))
      {
        cairo_push_group(cr);
        open.push_back(&doc.groups[next]);
      }
    DrawShape(cr, doc.shapes[i]);
  }
  closeGroupsEndingAt(SIZE_MAX); // all of them, whatever their ends say
  cairo_restore(cr);
}

} // namespace igraphics
