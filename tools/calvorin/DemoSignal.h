#pragma once

#include <vector>

namespace calvorin::cli
{

constexpr double kDemoSeconds = 10.0;
constexpr double kDemoSampleRate = 48000.0;

// A deterministic 10 s stereo drum-and-bass phrase at 174 BPM made from sine
// and saw oscillators and noise: a quiet intro, a loud drop and a quiet
// breakdown, so a compressor has quiet passages to raise and loud ones to
// lower. Peaks at -1 dBFS. The same rate always gives the same samples.
void SynthesizeDemoSignal(double sampleRate, std::vector<double>& left, std::vector<double>& right);

} // namespace calvorin::cli
