#pragma once

// The plug-in's two custom display rules and their inverses for typed text.
//
// Gain parameters hold a control value x in -1..1, shown in decibels:
// 20 log10(1 - |x|) at or below 0 ("-inf" at -1), 24 x above 0.
// Time holds -1..1, shown as a percentage: 0 shows 100, -1 shows 0, +1 shows 1000.

#include <string>

namespace torv
{

// At or below this level a gain shows "-inf" (decibels).
constexpr double kGainSilenceDisplayDb = -90.0;

void FormatGainDisplay(double x, std::string& out);
// The control value that shows these decibels; minus infinity gives -1.
// Clamped to -1..1. Allocates nothing.
double GainControlFromDb(double db);
// Reads decibels as shown by FormatGainDisplay; "-inf" gives -1. Clamped to -1..1.
double ParseGainDisplay(const char* text);

void FormatTimeDisplay(double x, std::string& out);
// The control value that shows this percentage (whole percentages exactly as
// typed). Clamped to -1..1. Allocates nothing.
double TimeControlFromPercent(double percent);
// Reads a percentage as shown by FormatTimeDisplay. Clamped to -1..1.
double ParseTimeDisplay(const char* text);

// The Time control's percentage before truncation: 100 - 100|x| below 0,
// 100 + 900 x from 0 on. NaN for NaN.
double TimePercent(double x);
// The factor the processing scales its attack and release times by: the
// displayed whole percentage / 100. A NaN control keeps the nominal times (1).
double TimeFactor(double x);

} // namespace torv
