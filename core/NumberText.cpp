#include "core/NumberText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace iplug
{

namespace
{

// For a number from_chars found out of range, [first, last) being the digits it
// read (after any "0x"): whether its magnitude is below 1, so that it underflowed
// rather than overflowed. Only the place of the first non-zero digit and the
// exponent matter; numbers out of range are hundreds of orders from 1.
bool BelowOne(const char* first, const char* last, bool hex)
{
  long long integerDigits = 0, leadingZeros = 0;
  bool point = false, nonZero = false;
  const char* p = first;
  for (; p < last && *p != (hex ? 'p' : 'e') && *p != (hex ? 'P' : 'E'); ++p)
  {
    if (*p == '.')
    {
      point = true;
      continue;
    }
    if (!point)
      ++integerDigits;
    if (!nonZero && *p != '0')
      nonZero = true;
    else if (!nonZero)
      ++leadingZeros;
  }
  // Exponent of the first non-zero digit's place, in the base's digits.
  const long long place = integerDigits - 1 - leadingZeros;
  long long exponent = 0;
  if (p < last)
  {
    ++p;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-')
      ++p;
    for (; p < last && exponent < 1000000000; ++p)
      exponent = exponent * 10 + (*p - '0');
    if (negative)
      exponent = -exponent;
  }
  return (hex ? 4 * place + exponent : place + exponent) < 0;
}

} // namespace

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
  const bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
  const char* digits = hex ? p + 2 : p;
  const std::from_chars_result res =
      std::from_chars(digits, end, v, hex ? std::chars_format::hex : std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range)
    v = BelowOne(digits, res.ptr, hex) ? 0.0 : HUGE_VAL; // from_chars leaves v untouched here; atof does this
  else if (res.ec != std::errc())
    v = 0.0; // no number, or "0x" alone, which reads as the 0 before the x

  if (std::isnan(v))
    return 0.0;
  return negative ? -v : v;
}

} // namespace iplug
