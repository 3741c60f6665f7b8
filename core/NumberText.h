#pragma once

// Number <-> text conversions that never consult the process locale: a host
// may run under a decimal-comma locale, and our texts must read the same there.

#include <string>

namespace iplug
{

// Fixed-point text with the given number of decimals, as printf("%.*f") in the
// C locale ("inf", "-inf", "nan" for non-finite values).
std::string FormatFixed(double value, int decimals);

// Decimal integer text.
std::string FormatInteger(long long value);

// The leading decimal number of text, read like atof in the C locale: leading
// white space skipped, an optional sign, trailing characters ignored, hexadecimal
// after "0x", infinities as such. Text without a number, and "nan", read as 0.
double ParseLeadingNumber(const char* text);

} // namespace iplug
