// The drawing and path operations of IGraphics, on cairo.

#include "graphics/IGraphics.h"

#include "graphics/ResourceCache.h"
#include "graphics/SVGRenderer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace igraphics
{

namespace
{

constexpr double kDegToRad = std::numbers::pi / 180.;

// Our angles (0 at twelve o'clock, clockwise) as cairo's (0 at three o'clock,
// clockwise on a y-down surface), in radians.
double ToCairoAngle(float degrees)
{
  return (static_cast<double>(degrees) - 90.) * kDegToRad;
}

cairo_operator_t ToCairoOperator(const IBlendMode* pBlend)
{
  if (!pBlend)
    return CAIRO_OPERATOR_OVER;
  switch (static_cast<EBlend>(pBlend->type))
  {
    case EBlend::SrcOver: return CAIRO_OPERATOR_OVER;
    case EBlend::SrcIn: return CAIRO_OPERATOR_IN;
    case EBlend::SrcOut: return CAIRO_OPERATOR_OUT;
    case EBlend::SrcAtop: return CAIRO_OPERATOR_ATOP;
    case EBlend::DstOver: return CAIRO_OPERATOR_DEST_OVER;
    case EBlend::DstIn: return CAIRO_OPERATOR_DEST_IN;
    case EBlend::DstOut: return CAIRO_OPERATOR_DEST_OUT;
    case EBlend::DstAtop: return CAIRO_OPERATOR_DEST_ATOP;
    // Premultiplied addition: src * srcA + dst * dstA.
    case EBlend::Add: return CAIRO_OPERATOR_ADD;
    case EBlend::XOR: return CAIRO_OPERATOR_XOR;
  }
  return CAIRO_OPERATOR_OVER;
}

double BlendWeight(const IBlendMode* pBlend)
{
  return pBlend ? std::clamp(static_cast<double>(pBlend->weight), 0., 1.) : 1.;
}

double Channel(int v)
{
  return std::clamp(v, 0, 255) / 255.;
}

cairo_extend_t ToCairoExtend(int extend)
{
  switch (static_cast<EPatternExtend>(extend))
  {
    case EPatternExtend::None: return CAIRO_EXTEND_NONE;
    case EPatternExtend::Repeat: return CAIRO_EXTEND_REPEAT;
    case EPatternExtend::Reflect: return CAIRO_EXTEND_REFLECT;
    case EPatternExtend::Pad: break;
  }
  return CAIRO_EXTEND_PAD;
}

} // namespace

void IGraphics::PointOnCircle(float cx, float cy, float r, float angle, float& x, float& y)
{
  const double a = angle * kDegToRad;
  x = static_cast<float>(cx + r * std::sin(a));
  y = static_cast<float>(cy - r * std::cos(a));
}

void IGraphics::ApplyColor(const IColor& color, const IBlendMode* pBlend)
{
  cairo_set_operator(mCr, ToCairoOperator(pBlend));
  cairo_set_source_rgba(mCr, Channel(color.R), Channel(color.G), Channel(color.B), Channel(color.A) * BlendWeight(pBlend));
}

void IGraphics::ApplySource(const IFill& fill, const IBlendMode* pBlend)
{
  const double weight = BlendWeight(pBlend);
  cairo_set_operator(mCr, ToCairoOperator(pBlend));
  if (fill.Kind() == EFillKind::Solid || fill.mNStops < 2)
  {
    const IRgba c = fill.mNStops > 0 ? fill.mStops[0].mColor : COLOR_TRANSPARENT;
    cairo_set_source_rgba(mCr, Channel(c.R), Channel(c.G), Channel(c.B), Channel(c.A) * weight);
    return;
  }

  cairo_pattern_t* pattern = fill.Kind() == EFillKind::Linear ? cairo_pattern_create_linear(0., 0., 1., 0.)
                                                              : cairo_pattern_create_radial(0., 0., 0., 0., 0., 1.);
  const int n = std::min(fill.mNStops, IFill::kMaxStops);
  for (int i = 0; i < n; ++i)
  {
    const IColorStop& s = fill.mStops[i];
    cairo_pattern_add_color_stop_rgba(pattern, s.mOffset, Channel(s.mColor.R), Channel(s.mColor.G), Channel(s.mColor.B),
                                      Channel(s.mColor.A) * weight);
  }
  cairo_matrix_t m;
  cairo_matrix_init(&m, fill.mTransform[0], fill.mTransform[1], fill.mTransform[2], fill.mTransform[3],
                    fill.mTransform[4], fill.mTransform[5]);
  // A singular matrix would put cairo into an error state; fall back to identity.
  cairo_matrix_t inverse = m;
  if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS)
    cairo_matrix_init_identity(&m);
  cairo_pattern_set_matrix(pattern, &m);
  cairo_pattern_set_extend(pattern, ToCairoExtend(fill.mExtend));
  cairo_set_source(mCr, pattern);
  cairo_pattern_destroy(pattern);
}

void IGraphics::Stroke(float thickness, const IStrokeOptions& options)
{
  cairo_set_line_width(mCr, std::max(thickness, 0.f));
  cairo_set_miter_limit(mCr, options.mMiterLimit);
  switch (options.mJoin)
  {
    case ELineJoin::Miter: cairo_set_line_join(mCr, CAIRO_LINE_JOIN_MITER); break;
    case ELineJoin::Round: cairo_set_line_join(mCr, CAIRO_LINE_JOIN_ROUND); break;
    case ELineJoin::Bevel: cairo_set_line_join(mCr, CAIRO_LINE_JOIN_BEVEL); break;
  }
  switch (options.mCap)
  {
    case ELineCap::Butt: cairo_set_line_cap(mCr, CAIRO_LINE_CAP_BUTT); break;
    case ELineCap::Round: cairo_set_line_cap(mCr, CAIRO_LINE_CAP_ROUND); break;
    case ELineCap::Square: cairo_set_line_cap(mCr, CAIRO_LINE_CAP_SQUARE); break;
  }
  if (options.mPreserve)
    cairo_stroke_preserve(mCr);
  else
    cairo_stroke(mCr);
}

// --- Paths

void IGraphics::PathClear()
{
  if (mCr)
    cairo_new_path(mCr);
}

void IGraphics::PathClose()
{
  if (mCr)
    cairo_close_path(mCr);
}

void IGraphics::PathMoveTo(float x, float y)
{
  if (mCr)
    cairo_move_to(mCr, x, y);
}

void IGraphics::PathLineTo(float x, float y)
{
  if (mCr)
    cairo_line_to(mCr, x, y);
}

void IGraphics::PathArc(float cx, float cy, float r, float a1, float a2)
{
  if (!mCr || !(r > 0.f))
    return;
  if (a2 >= a1)
    cairo_arc(mCr, cx, cy, r, ToCairoAngle(a1), ToCairoAngle(a2));
  else
    cairo_arc_negative(mCr, cx, cy, r, ToCairoAngle(a1), ToCairoAngle(a2));
}

void IGraphics::PathCircle(float cx, float cy, float r)
{
  if (!mCr || !(r > 0.f))
    return;
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, cx, cy, r, 0., 2. * std::numbers::pi);
  cairo_close_path(mCr);
}

void IGraphics::PathRect(const IBounds& b)
{
  if (mCr)
    cairo_rectangle(mCr, b.L, b.T, b.W(), b.H());
}

void IGraphics::PathRoundRect(const IBounds& b, float ctl, float ctr, float cbl, float cbr)
{
  if (!mCr)
    return;
  // No corner may take more than half the shorter side.
  const float maxR = 0.5f * std::min(std::fabs(b.W()), std::fabs(b.H()));
  ctl = std::clamp(ctl, 0.f, maxR);
  ctr = std::clamp(ctr, 0.f, maxR);
  cbl = std::clamp(cbl, 0.f, maxR);
  cbr = std::clamp(cbr, 0.f, maxR);
  if (ctl == 0.f && ctr == 0.f && cbl == 0.f && cbr == 0.f)
  {
    PathRect(b);
    return;
  }
  const double h = std::numbers::pi / 2.;
  cairo_new_sub_path(mCr);
  cairo_arc(mCr, b.L + ctl, b.T + ctl, ctl, 2. * h, 3. * h);
  cairo_arc(mCr, b.R - ctr, b.T + ctr, ctr, 3. * h, 4. * h);
  cairo_arc(mCr, b.R - cbr, b.B - cbr, cbr, 0., h);
  cairo_arc(mCr, b.L + cbl, b.B - cbl, cbl, h, 2. * h);
  cairo_close_path(mCr);
}

void IGraphics::PathStroke(const IFill& fill, float thickness, const IStrokeOptions& options, const IBlendMode* pBlend)
{
  if (!mCr)
    return;
  ApplySource(fill, pBlend);
  Stroke(thickness, options);
}

void IGraphics::PathFill(const IFill& fill, const IFillOptions& options, const IBlendMode* pBlend)
{
  if (!mCr)
    return;
  ApplySource(fill, pBlend);
  cairo_set_fill_rule(mCr, options.mFillRule == EFillRule::EvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  if (options.mPreserve)
    cairo_fill_preserve(mCr);
  else
    cairo_fill(mCr);
}

// --- Shapes

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlendMode* pBlend, float thickness)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  cairo_move_to(mCr, x1, y1);
  cairo_line_to(mCr, x2, y2);
  ApplyColor(color, pBlend);
  Stroke(thickness, {});
}

void IGraphics::DrawRect(const IColor& color, const IBounds& bounds, const IBlendMode* pBlend, float thickness)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  PathRect(bounds);
  ApplyColor(color, pBlend);
  Stroke(thickness, {});
}

void IGraphics::DrawRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius, const IBlendMode* pBlend, float thickness)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  PathRoundRect(bounds, cornerRadius);
  ApplyColor(color, pBlend);
  Stroke(thickness, {});
}

void IGraphics::DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlendMode* pBlend, float thickness)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  PathArc(cx, cy, r, a1, a2);
  ApplyColor(color, pBlend);
  Stroke(thickness, {});
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlendMode* pBlend, float thickness)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  PathCircle(cx, cy, r);
  ApplyColor(color, pBlend);
  Stroke(thickness, {});
}

void IGraphics::DrawRadialLine(const IColor& color, float cx, float cy, float angle, float rMin, float rMax, const IBlendMode* pBlend, float thickness)
{
  float x1, y1, x2, y2;
  PointOnCircle(cx, cy, rMin, angle, x1, y1);
  PointOnCircle(cx, cy, rMax, angle, x2, y2);
  DrawLine(color, x1, y1, x2, y2, pBlend, thickness);
}

void IGraphics::DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3, const IBlendMode* pBlend, float thickness)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  cairo_move_to(mCr, x1, y1);
  cairo_line_to(mCr, x2, y2);
  cairo_line_to(mCr, x3, y3);
  cairo_close_path(mCr);
  ApplyColor(color, pBlend);
  Stroke(thickness, {});
}

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3, const IBlendMode* pBlend)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  cairo_move_to(mCr, x1, y1);
  cairo_line_to(mCr, x2, y2);
  cairo_line_to(mCr, x3, y3);
  cairo_close_path(mCr);
  ApplyColor(color, pBlend);
  cairo_fill(mCr);
}

void IGraphics::FillRect(const IColor& color, const IBounds& bounds, const IBlendMode* pBlend)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  PathRect(bounds);
  ApplyColor(color, pBlend);
  cairo_fill(mCr);
}

void IGraphics::FillRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius, const IBlendMode* pBlend)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  PathRoundRect(bounds, cornerRadius);
  ApplyColor(color, pBlend);
  cairo_fill(mCr);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlendMode* pBlend)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  PathCircle(cx, cy, r);
  ApplyColor(color, pBlend);
  cairo_fill(mCr);
}

void IGraphics::FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlendMode* pBlend)
{
  if (!mCr)
    return;
  cairo_new_path(mCr);
  cairo_move_to(mCr, cx, cy);
  PathArc(cx, cy, r, a1, a2);
  cairo_close_path(mCr);
  ApplyColor(color, pBlend);
  cairo_fill(mCr);
}

// --- Text

_cairo_font_face* IGraphics::FontFor(const ITextStyle& text)
{
  ResourceCache& cache = ResourceCache::Get();
  if (cairo_font_face_t* face = cache.FindFont(text.mFont))
    return face;
  // Not registered yet: try a file or resource of that name, then the built-in font.
  const std::string name(text.mFont);
  if (!name.empty() && cache.LoadFont(name, name + ".ttf"))
    return cache.FindFont(name);
  if (cache.LoadFont(kDefaultFontName, std::string(kDefaultFontName) + ".ttf"))
    return cache.FindFont(kDefaultFontName);
  return nullptr;
}

namespace
{

// Where the text's origin (left end of the baseline) goes relative to the
// anchor point, from the alignment and the font's metrics.
void TextOffset(cairo_t* cr, const ITextStyle& text, const char* str, double& dx, double& dy, double& width)
{
  cairo_text_extents_t te;
  cairo_font_extents_t fe;
  cairo_text_extents(cr, str, &te);
  cairo_font_extents(cr, &fe);
  width = te.x_advance;
  switch (text.Align())
  {
    case EAlign::Near: dx = 0.; break;
    case EAlign::Center: dx = -0.5 * te.x_advance; break;
    case EAlign::Far: dx = -te.x_advance; break;
  }
  switch (text.VAlign())
  {
    case EVAlign::Top: dy = fe.ascent; break;
    case EVAlign::Middle: dy = 0.5 * (fe.ascent - fe.descent); break;
    case EVAlign::Bottom: dy = -fe.descent; break;
  }
}

void TextAnchor(const ITextStyle& text, const IBounds& b, double& x, double& y)
{
  switch (text.Align())
  {
    case EAlign::Near: x = b.L; break;
    case EAlign::Center: x = b.MW(); break;
    case EAlign::Far: x = b.R; break;
  }
  switch (text.VAlign())
  {
    case EVAlign::Top: y = b.T; break;
    case EVAlign::Middle: y = b.MH(); break;
    case EVAlign::Bottom: y = b.B; break;
  }
}

void SetTextFont(cairo_t* cr, cairo_font_face_t* face, float size)
{
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, size > 0.f ? size : 1.f);
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(cr, fo);
  cairo_font_options_destroy(fo);
}

} // namespace

void IGraphics::DrawText(const ITextStyle& text, const char* str, const IBounds& bounds, const IBlendMode* pBlend)
{
  if (!mCr || !str || !*str)
    return;
  // Without our font there is no text: cairo's own default would ask the system.
  cairo_font_face_t* face = FontFor(text);
  if (!face)
    return;
  cairo_save(mCr);
  SetTextFont(mCr, face, text.mSize);
  double ax = 0., ay = 0., dx = 0., dy = 0., width = 0.;
  TextAnchor(text, bounds, ax, ay);
  TextOffset(mCr, text, str, dx, dy, width);
  cairo_translate(mCr, ax, ay);
  if (text.mAngle != 0.f)
    cairo_rotate(mCr, text.mAngle * kDegToRad);
  cairo_new_path(mCr);
  cairo_move_to(mCr, dx, dy);
  ApplyColor(text.mFGColor, pBlend);
  cairo_show_text(mCr, str);
  cairo_restore(mCr);
}

IBounds IGraphics::MeasureText(const ITextStyle& text, const char* str, const IBounds& bounds)
{
  cairo_font_face_t* face = FontFor(text);
  if (!str || !face)
    return {};
  // Measuring needs a context even outside drawing.
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  SetTextFont(cr, face, text.mSize);
  double ax = 0., ay = 0., dx = 0., dy = 0., width = 0.;
  TextAnchor(text, bounds, ax, ay);
  TextOffset(cr, text, str, dx, dy, width);
  cairo_font_extents_t fe;
  cairo_font_extents(cr, &fe);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  const double left = ax + dx;
  const double baseline = ay + dy;
  return IBounds(static_cast<float>(left), static_cast<float>(baseline - fe.ascent), static_cast<float>(left + width),
                 static_cast<float>(baseline + fe.descent));
}

// --- SVG

void IGraphics::DrawSVG(const ISVG& svg, const IBounds& bounds, const IBlendMode* pBlend)
{
  const SVGDocument* doc = svg.Document();
  if (!mCr || !doc || !bounds.HasArea())
    return;
  const bool plain = !pBlend || (pBlend->type == static_cast<int>(EBlend::SrcOver) && pBlend->weight >= 1.f);
  if (plain)
  {
    DrawSVGDocument(mCr, *doc, bounds.L, bounds.T, bounds.W(), bounds.H());
    return;
  }
  cairo_push_group(mCr);
  DrawSVGDocument(mCr, *doc, bounds.L, bounds.T, bounds.W(), bounds.H());
  cairo_pop_group_to_source(mCr);
  cairo_set_operator(mCr, ToCairoOperator(pBlend));
  cairo_paint_with_alpha(mCr, BlendWeight(pBlend));
}

} // namespace igraphics
