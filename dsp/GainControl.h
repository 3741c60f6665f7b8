#pragma once

// Pre-gain, Post-gain and Out Gain hold a control value x in -1..1: above 0 it
// is 24 x dB, at or below 0 it is the factor 1 - |x| (x = -1 is silence).

namespace iplug
{

// Decibels per unit of positive gain control value.
constexpr double kMaxBoostDb = 24.0;

// Level in dB; minus infinity for x = -1.
double GainControlToDb(double x);

// Linear factor exp(level * ln10/20); exactly 0 for x = -1 and 1 for x = 0.
double GainControlToFactor(double x);

} // namespace iplug
