#include "core/MultichannelDelayLine.h"

#include <algorithm>
#include <cstring>

namespace iplug
{

MultichannelDelayLine::MultichannelDelayLine(int nChans)
  : mNChans(std::max(nChans, 0))
{
}

void MultichannelDelayLine::Resize(int delaySamples)
{
  mDelay = std::max(delaySamples, 0);
  mRings.assign(static_cast<size_t>(mDelay) * static_cast<size_t>(mNChans), 0.0);
  mWritePos = 0;
}

void MultichannelDelayLine::Clear()
{
  std::fill(mRings.begin(), mRings.end(), 0.0);
  mWritePos = 0;
}

void MultichannelDelayLine::Process(const double* const* in, double* const* out, int nChans, int nFrames)
{
  nChans = std::min(nChans, mNChans);
  if (nFrames <= 0)
    return;
  if (mDelay == 0)
  {
    for (int c = 0; c < nChans; ++c)
      if (in[c] != out[c])
        std::memmove(out[c], in[c], sizeof(double) * static_cast<size_t>(nFrames));
    return;
  }
  int endPos = mWritePos;
  for (int c = 0; c < nChans; ++c)
  {
    double* ring = mRings.data() + static_cast<size_t>(c) * static_cast<size_t>(mDelay);
    int pos = mWritePos;
    for (int i = 0; i < nFrames; ++i)
    {
      // Read the input before writing the output: in and out may alias.
      const double x = in[c][i];
      out[c][i] = ring[pos];
      ring[pos] = x;
      if (++pos == mDelay)
        pos = 0;
    }
    endPos = pos;
  }
  if (nChans > 0)
    mWritePos = endPos;
}

void MultichannelDelayLine::Write(const double* const* in, int nChans, int nFrames)
{
  nChans = std::min(nChans, mNChans);
  if (mDelay == 0 || nFrames <= 0 || nChans <= 0)
    return;
  int endPos = mWritePos;
  for (int c = 0; c < nChans; ++c)
  {
    double* ring = mRings.data() + static_cast<size_t>(c) * static_cast<size_t>(mDelay);
    int pos = mWritePos;
    for (int i = 0; i < nFrames; ++i)
    {
      ring[pos] = in[c][i];
      if (++pos == mDelay)
        pos = 0;
    }
    endPos = pos;
  }
  mWritePos = endPos;
}

} // namespace iplug
