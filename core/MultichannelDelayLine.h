#pragma once

#include <vector>

namespace iplug
{

// A fixed delay of a number of samples for several channels, one ring per
// channel. Resize/Clear run off the audio thread; Process and Write do not
// allocate.
class MultichannelDelayLine
{
public:
  explicit MultichannelDelayLine(int nChans);

  // Gives each channel room for delaySamples samples, rewinds and clears.
  void Resize(int delaySamples);
  void Clear();

  int NChans() const { return mNChans; }
  int DelaySamples() const { return mDelay; }

  // out[c][i] = in[c][i - delay] for the first nChans channels (at most
  // NChans()). in and out may be the same buffers.
  void Process(const double* const* in, double* const* out, int nChans, int nFrames);

  // Pushes input into the rings without producing output, so that a later
  // Process continues seamlessly.
  void Write(const double* const* in, int nChans, int nFrames);

private:
  int mNChans;
  int mDelay = 0;
  int mWritePos = 0;
  std::vector<double> mRings; // channel c at [c * mDelay, (c + 1) * mDelay)
};

} // namespace iplug
