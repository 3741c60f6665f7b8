#include "tools/calvorin/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace calvorin::cli
{

namespace
{

constexpr double kTwoPi = 6.283185307179586;
constexpr double kTempoBpm = 174.0;
constexpr double kPeakDb = -1.0;

// Sections in seconds: intro, drop, breakdown.
constexpr double kDropStart = 2.75;
constexpr double kDropEnd = 7.6;
constexpr double kSectionFadeSeconds = 0.05;

// Two-step pattern on a sixteenth-note grid, one bar long.
constexpr bool kKick[16] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};
constexpr bool kSnare[16] = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
constexpr bool kHat[16] = {1, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 1, 0, 1, 1};
// Bass root per beat, Hz (E1, E1, G1, D1).
constexpr double kBassRoot[4] = {41.2034, 41.2034, 48.9994, 36.7081};

// Deterministic uniform noise in -1..1.
class Noise
{
public:
  double Next()
  {
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return static_cast<double>(mState) / 2147483648.0 - 1.0;
  }

private:
  uint32_t mState = 0x9E3779B9u;
};

double Saw(double phase)
{
  return 2.0 * (phase - std::floor(phase)) - 1.0;
}

// Gain of the section at time t: quiet intro and breakdown, loud drop, with
// short fades so the switch does not click.
double SectionGain(double t)
{
  constexpr double quiet = 0.15;
  auto ramp = [](double x) { return std::clamp(x / kSectionFadeSeconds, 0.0, 1.0); };
  const double inDrop = std::min(ramp(t - kDropStart), ramp(kDropEnd - t));
  return quiet + (1.0 - quiet) * inDrop;
}

} // namespace

void SynthesizeDemoSignal(double sampleRate, std::vector<double>& left, std::vector<double>& right)
{
  const size_t n = static_cast<size_t>(std::llround(kDemoSeconds * sampleRate));
  left.assign(n, 0.0);
  right.assign(n, 0.0);
  const double sixteenth = 60.0 / kTempoBpm / 4.0;

  Noise noise;
  double kickStart = -1e9, snareStart = -1e9, hatStart = -1e9;
  double kickPhase = 0.0, snarePhase = 0.0, subPhase = 0.0;
  double reesePhaseL = 0.0, reesePhaseR = 0.0, padPhase[3] = {0.0, 0.0, 0.0};
  double hatPrev = 0.0, bassLowL = 0.0, bassLowR = 0.0, padLowL = 0.0, padLowR = 0.0;
  long long lastStep = -1;
  const double dt = 1.0 / sampleRate;
  const double bassCoeff = 1.0 - std::exp(-kTwoPi * 180.0 * dt);
  const double padCoeff = 1.0 - std::exp(-kTwoPi * 900.0 * dt);
  constexpr double padChord[3] = {164.81, 196.00, 246.94}; // E3 G3 B3

  for (size_t i = 0; i < n; ++i)
  {
    const double t = static_cast<double>(i) * dt;
    const long long step = static_cast<long long>(t / sixteenth);
    if (step != lastStep)
    {
      lastStep = step;
      const int s = static_cast<int>(step % 16);
      if (kKick[s])
      {
        kickStart = t;
        kickPhase = 0.0;
      }
      if (kSnare[s])
        snareStart = t;
      if (kHat[s])
        hatStart = t;
    }
    const double section = SectionGain(t);
    const bool inDrop = t >= kDropStart && t < kDropEnd;

    // Kick: a sine falling from 150 Hz to 45 Hz.
    const double kt = t - kickStart;
    const double kickFreq = 45.0 + 105.0 * std::exp(-kt / 0.03);
    kickPhase += kickFreq * dt;
    const double kick = inDrop ? 0.9 * std::sin(kTwoPi * kickPhase) * std::exp(-kt / 0.16) : 0.0;

    // Snare: a decaying tone under a burst of noise.
    const double st = t - snareStart;
    snarePhase += 190.0 * dt;
    const double snare = inDrop ? 0.35 * std::sin(kTwoPi * snarePhase) * std::exp(-st / 0.05) +
                                      0.45 * noise.Next() * std::exp(-st / 0.09)
                                : 0.0;

    // Hats: differenced noise (bright), short decay, played in every section.
    const double white = noise.Next();
    const double hatNoise = white - hatPrev;
    hatPrev = white;
    const double hat = 0.18 * hatNoise * std::exp(-(t - hatStart) / 0.025);

    // Bass: sub sine plus a slightly detuned saw pair per side (reese).
    const double root = kBassRoot[static_cast<int>(step / 4 % 4)];
    subPhase += root * dt;
    reesePhaseL += 2.0 * root * 1.004 * dt;
    reesePhaseR += 2.0 * root * 0.996 * dt;
    bassLowL += bassCoeff * (Saw(reesePhaseL) - bassLowL);
    bassLowR += bassCoeff * (Saw(reesePhaseR) - bassLowR);
    const double sub = inDrop ? 0.45 * std::sin(kTwoPi * subPhase) : 0.0;
    const double reeseL = inDrop ? 0.3 * bassLowL : 0.0;
    const double reeseR = inDrop ? 0.3 * bassLowR : 0.0;

    // Pad: a soft, wide chord in every section.
    double padL = 0.0, padR = 0.0;
    for (int v = 0; v < 3; ++v)
    {
      padPhase[v] += padChord[v] * dt;
      const double x = Saw(padPhase[v]);
      (v % 2 == 0 ? padL : padR) += x;
      (v % 2 == 0 ? padR : padL) += 0.5 * x;
    }
    padLowL += padCoeff * (padL - padLowL);
    padLowR += padCoeff * (padR - padLowR);

    const double centre = kick + snare + sub;
    left[i] = section * (centre + reeseL + 0.8 * hat + 0.12 * padLowL);
    right[i] = section * (centre + reeseR + 1.2 * hat + 0.12 * padLowR);
  }

  double peak = 0.0;
  for (size_t i = 0; i < n; ++i)
    peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
  if (peak > 0.0)
  {
    const double scale = std::pow(10.0, kPeakDb / 20.0) / peak;
    for (size_t i = 0; i < n; ++i)
    {
      left[i] *= scale;
      right[i] *= scale;
    }
  }
}

} // namespace calvorin::cli
