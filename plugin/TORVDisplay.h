#pragma once

// The plug-in's two custom display rules and their inverses for typed text.
//
// Gain parameters hold a control value x in -1..1, shown in decibels:
// 20 log10(1 - |x|) at or below 0 ("-inf" at -1), 24 x above 0.
// Time holds -1..1, shown as a percentage: 0 shows 100, -1 shows 0, +1 shows 1000.

#include <string>

namespace torv
{

// 20 / ln 10 and ln 10 / 20, with exactly these digits.
constexpr double kDbPerNeper = 8.685889638065037;
constexpr double kNeperPerDb = 0.1151292546497;
// Decibels per unit of positive gain control value.
constexpr double kMaxBoostDb = 24.0;

// Level in dB of a gain control value (minus infinity at -1).
double GainControlToDb(double x);

void FormatGainDisplay(double x, std::string& out);
// Reads decibels as shown by FormatGainDisplay; "-inf" gives -1. Clamped to -1..1.
double ParseGainDisplay(const char* text);

void FormatTimeDisplay(double x, std::string& out);
// Reads a percentage as shown by FormatTimeDisplay. Clamped to -1..1.
double ParseTimeDisplay(const char* text);

} // namespace torv
