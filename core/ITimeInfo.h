#pragma once

namespace iplug
{

// Transport context, refreshed from the host on the audio thread. -1 marks a
// position the host has not reported.
struct ITimeInfo
{
  double mTempo = 120.0;
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;      // quarter notes
  double mLastBar = -1.0;     // quarter notes
  double mCycleStart = -1.0;  // quarter notes
  double mCycleEnd = -1.0;    // quarter notes
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

} // namespace iplug
