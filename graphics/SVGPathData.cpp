#include "graphics/SVGPathData.h"

#include "graphics/SVGValues.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace igraphics
{

namespace
{

using EType = SVGPathCommand::EType;

SVGPathCommand Line(EType type, double x, double y)
{
  SVGPathCommand c;
  c.type = type;
  c.x1 = x;
  c.y1 = y;
  return c;
}

SVGPathCommand Cubic(double x1, double y1, double x2, double y2, double x3, double y3)
{
  return {EType::CubicTo, x1, y1, x2, y2, x3, y3};
}

// Number of parameters each command letter takes.
int ParameterCount(char lower)
{
  switch (lower)
  {
    case 'm': case 'l': case 't': return 2;
    case 'h': case 'v': return 1;
    case 'c': return 6;
    case 's': case 'q': return 4;
    case 'a': return 7;
    case 'z': return 0;
    default: return -1;
  }
}

bool StartsNumber(char c)
{
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

double VectorAngle(double ux, double uy, double vx, double vy)
{
  return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

} // namespace

void AppendSVGArc(std::vector<SVGPathCommand>& path, double x0, double y0, double rx, double ry, double xAxisDegrees,
                  bool largeArc, bool sweep, double x, double y)
{
  if (x0 == x && y0 == y)
    return;
  rx = std::fabs(rx);
  ry = std::fabs(ry);
  if (rx == 0. || ry == 0.)
  {
    path.push_back(Line(EType::LineTo, x, y));
    return;
  }
  const double phi = xAxisDegrees * std::numbers::pi / 180.;
  const double cs = std::cos(phi), sn = std::sin(phi);
  // The end points in the ellipse's own axes, relative to their midpoint.
  const double dx = (x0 - x) / 2., dy = (y0 - y) / 2.;
  const double x1p = cs * dx + sn * dy, y1p = -sn * dx + cs * dy;
  // Radii too small to reach are scaled up just enough.
  const double lambda = (x1p * x1p) / (rx * rx) + (y1p * y1p) / (ry * ry);
  if (lambda > 1.)
  {
    rx *= std::sqrt(lambda);
    ry *= std::sqrt(lambda);
  }
  const double rx2 = rx * rx, ry2 = ry * ry;
  const double denominator = rx2 * y1p * y1p + ry2 * x1p * x1p;
  double coefficient = 0.;
  if (denominator > 0.)
    coefficient = std::sqrt(std::max(0., (rx2 * ry2 - denominator) / denominator));
  if (largeArc == sweep)
    coefficient = -coefficient;
  const double cxp = coefficient * rx * y1p / ry, cyp = -coefficient * ry * x1p / rx;
  const double cx = cs * cxp - sn * cyp + (x0 + x) / 2., cy = sn * cxp + cs * cyp + (y0 + y) / 2.;

  const double theta = VectorAngle(1., 0., (x1p - cxp) / rx, (y1p - cyp) / ry);
  double delta = VectorAngle((x1p - cxp) / rx, (y1p - cyp) / ry, (-x1p - cxp) / rx, (-y1p - cyp) / ry);
  if (!sweep && delta > 0.)
    delta -= 2. * std::numbers::pi;
  else if (sweep && delta < 0.)
    delta += 2. * std::numbers::pi;
  if (!std::isfinite(theta) || !std::isfinite(delta) || !std::isfinite(cx) || !std::isfinite(cy))
  {
    path.push_back(Line(EType::LineTo, x, y));
    return;
  }

  // A quarter turn per curve (a little more, so that a full quarter is one).
  const int segments = std::max(1, static_cast<int>(std::ceil(std::fabs(delta) / (std::numbers::pi / 2. + 0.001))));
  const double step = delta / segments;
  const double t = 4. / 3. * std::tan(step / 4.);
  auto map = [&](double ux, double uy, double& px, double& py) {
    px = cx + rx * cs * ux - ry * sn * uy;
    py = cy + rx * sn * ux + ry * cs * uy;
  };
  double a0 = theta;
  for (int i = 0; i < segments; ++i)
  {
    const double a1 = i + 1 == segments ? theta + delta : a0 + step;
    const double c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
    SVGPathCommand c;
    c.type = EType::CubicTo;
    map(c0 - t * s0, s0 + t * c0, c.x1, c.y1);
    map(c1 + t * s1, s1 - t * c1, c.x2, c.y2);
    if (i + 1 == segments)
    {
      c.x3 = x;
      c.y3 = y;
    }
    else
      map(c1, s1, c.x3, c.y3);
    path.push_back(c);
    a0 = a1;
  }
}

std::vector<SVGPathCommand> ParseSVGPathData(std::string_view d, std::string& error)
{
  std::vector<SVGPathCommand> path;
  error.clear();
  SVGScanner s(d);
  double x = 0., y = 0.;           // current point
  double startX = 0., startY = 0.; // start of the subpath
  double ctrlX = 0., ctrlY = 0.;   // last control point, for S and T
  char previous = 0;               // lower-case letter of the last command
  char command = 0;
  auto fail = [&](const char* what) {
    error = std::string(what) + " at byte " + std::to_string(s.Position()) + " of path data";
    return path;
  };

  s.SkipSpace();
  while (!s.AtEnd())
  {
    const char c = s.Peek();
    if (c != '\0' && std::strchr("MmLlHhVvCcSsQqTtAaZz", c))
    {
      command = c;
      s.Advance();
      s.SkipSpace();
    }
    else if (!StartsNumber(c) || command == 0 || command == 'z' || command == 'Z')
      return fail("unexpected character");
    // otherwise: a repeat of the last command

    const char lower = static_cast<char>(command | 0x20);
    const bool relative = command == lower;
    if (path.empty() && lower != 'm')
      return fail("path data must begin with a move");
    const int count = ParameterCount(lower);
    double p[7] = {};
    bool flags[2] = {};
    for (int i = 0; i < count; ++i)
    {
      if (i > 0)
        s.SkipSeparator();
      const bool ok = (lower == 'a' && (i == 3 || i == 4)) ? s.Flag(flags[i - 3]) : s.Number(p[i]);
      if (!ok)
        return fail(i == 0 ? "missing number" : "incomplete command");
    }
    const double ox = relative ? x : 0., oy = relative ? y : 0.;
    switch (lower)
    {
      case 'm':
        x = startX = p[0] + ox;
        y = startY = p[1] + oy;
        path.push_back(Line(EType::MoveTo, x, y));
        command = relative ? 'l' : 'L'; // further pairs are lines
        break;
      case 'l':
        x = p[0] + ox;
        y = p[1] + oy;
        path.push_back(Line(EType::LineTo, x, y));
        break;
      case 'h':
        x = p[0] + ox;
        path.push_back(Line(EType::LineTo, x, y));
        break;
      case 'v':
        y = p[0] + oy;
        path.push_back(Line(EType::LineTo, x, y));
        break;
      case 'c':
        path.push_back(Cubic(p[0] + ox, p[1] + oy, p[2] + ox, p[3] + oy, p[4] + ox, p[5] + oy));
        ctrlX = p[2] + ox;
        ctrlY = p[3] + oy;
        x = p[4] + ox;
        y = p[5] + oy;
        break;
      case 's':
      {
        const bool smooth = previous == 'c' || previous == 's';
        const double x1 = smooth ? 2. * x - ctrlX : x, y1 = smooth ? 2. * y - ctrlY : y;
        path.push_back(Cubic(x1, y1, p[0] + ox, p[1] + oy, p[2] + ox, p[3] + oy));
        ctrlX = p[0] + ox;
        ctrlY = p[1] + oy;
        x = p[2] + ox;
        y = p[3] + oy;
        break;
      }
      case 'q':
      case 't':
      {
        double qx = 0., qy = 0., ex = 0., ey = 0.;
        if (lower == 'q')
        {
          qx = p[0] + ox;
          qy = p[1] + oy;
          ex = p[2] + ox;
          ey = p[3] + oy;
        }
        else
        {
          const bool smooth = previous == 'q' || previous == 't';
          qx = smooth ? 2. * x - ctrlX : x;
          qy = smooth ? 2. * y - ctrlY : y;
          ex = p[0] + ox;
          ey = p[1] + oy;
        }
        // The quadratic curve as the cubic that traces it exactly.
        path.push_back(Cubic(x + 2. / 3. * (qx - x), y + 2. / 3. * (qy - y), ex + 2. / 3. * (qx - ex),
                             ey + 2. / 3. * (qy - ey), ex, ey));
        ctrlX = qx;
        ctrlY = qy;
        x = ex;
        y = ey;
        break;
      }
      case 'a':
        AppendSVGArc(path, x, y, p[0], p[1], p[2], flags[0], flags[1], p[5] + ox, p[6] + oy);
        x = p[5] + ox;
        y = p[6] + oy;
        break;
      case 'z':
        path.push_back(Line(EType::Close, startX, startY));
        x = startX;
        y = startY;
        break;
      default: break;
    }
    previous = lower;
    s.SkipSeparator();
  }
  return path;
}

} // namespace igraphics
