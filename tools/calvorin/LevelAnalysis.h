#pragma once

#include <vector>

namespace calvorin::cli
{

// Level of digital silence, the floor of every figure here (dBFS).
constexpr double kSilenceDb = -120.0;
constexpr double kLevelWindowSeconds = 0.4;
constexpr double kLevelHopSeconds = 0.1;

// Streams planar audio and keeps its peak, overall RMS and short-term RMS:
// 400 ms windows every 100 ms, all channels together (a centred mono signal
// reads the same in one channel as in two). NaN and infinite samples are
// counted and left out of every figure.
class LevelMeter
{
public:
  LevelMeter(double sampleRate, int nChannels);

  void Add(const double* const* channels, int nFrames);
  // Closes the last, partial step; call once after the last Add.
  void Finish();

  double PeakDb() const;
  double RmsDb() const;
  long long NonFiniteSamples() const { return mNonFinite; }
  // Short-term RMS of the window ending at (i + 1) * HopSeconds(), in dBFS.
  // The first windows cover what came before them.
  const std::vector<double>& WindowDb() const { return mWindowDb; }
  double HopSeconds() const { return kLevelHopSeconds; }

private:
  void CloseHop();

  int mChannels;
  long long mHopFrames;
  double mPeak = 0.0;
  double mSumSquares = 0.0;
  long long mSamples = 0;
  long long mNonFinite = 0;
  double mHopSum = 0.0;
  long long mHopSamples = 0;
  long long mHopFramesDone = 0;
  std::vector<double> mHopSums;
  std::vector<long long> mHopCounts;
  std::vector<double> mWindowDb;
};

// How the short-term level moved from input to output: the mean change over
// the quietest quarter of the audible input windows (positive: raised) and
// over the loudest quarter (positive: lowered).
struct LevelChange
{
  bool valid = false; // false when the input has too few audible windows
  double quietRaisedDb = 0.0;
  double loudLoweredDb = 0.0;
};

LevelChange CompareLevels(const std::vector<double>& inputWindowDb, const std::vector<double>& outputWindowDb);

double ToDb(double linearAmplitude);

} // namespace calvorin::cli
