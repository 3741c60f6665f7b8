#pragma once

#include <string>
#include <vector>

namespace iplug
{

// Per-channel bookkeeping of the processor frame. Every input and output
// channel the plug-in can have owns one record for the plug-in's lifetime.
struct ChannelRecord
{
  bool mConnected = false;        // the host supplied this channel for the current block
  double** mSlot = nullptr;       // this channel's entry in the frame's pointer array; fixed
  float* mHostBuffer32 = nullptr; // host's single-precision buffer while converting, else null
  std::vector<double> mScratch;   // holds the block size in samples; sized off the audio thread
  std::string mLabel;
};

} // namespace iplug
