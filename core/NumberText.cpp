#include "core/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace iplug
{

std::string FormatFixed(double value, int decimals)
{
  // Large enough for the longest fixed form of a double (309 integer digits).
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof(buf), value, std::chars_format::fixed, decimals);
  if (res.ec != std::errc())
    return std::string();
  return std::string(buf, res.ptr);
}

std::string FormatInteger(long long value)
{
  char buf[32];
  const auto res = std::to_chars(buf, buf + sizeof(buf), value);
  return std::string(buf, res.ptr);
}

double ParseLeadingNumber(const char* text)
{
  if (!text)
    return 0.0;

  const char* p = text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r')
    ++p;

  bool negative = false;
  if (*p == '+' || *p == '-')
  {
    negative = (*p == '-');
    ++p;
  }
  if (*p == '+' || *p == '-')
    return 0.0;

  const char* end = p;
  while (*end)
    ++end;

  double v = 0.0;
  std::from_chars_result res;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
  {
    res = std::from_chars(p + 2, end, v, std::chars_format::hex);
    if (res.ec == std::errc::invalid_argument)
      v = 0.0; // "0x" alone reads as the 0 before the x
  }
  else
  {
    res = std::from_chars(p, end, v, std::chars_format::general);
  }

  if (res.ec == std::errc::result_out_of_range)
  {
    // from_chars leaves v untouched here; atof gives +-HUGE_VAL or a zero.
    v = 0.0;
    for (const char* q = p; q < res.ptr; ++q)
    {
      if (*q == 'e' || *q == 'E')
      {
        v = (q[1] == '-') ? 0.0 : HUGE_VAL;
        break;
      }
      if (q + 1 == res.ptr)
        v = HUGE_VAL;
    }
  }
  else if (res.ec != std::errc())
  {
    v = 0.0;
  }

  if (std::isnan(v))
    return 0.0;
  return negative ? -v : v;
}

} // namespace iplug
