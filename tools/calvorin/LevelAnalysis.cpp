#include "tools/calvorin/LevelAnalysis.h"

#include <algorithm>
#include <cmath>

namespace calvorin::cli
{

namespace
{

// Windows quieter than this count as silence and are left out of comparisons.
constexpr double kAudibleDb = -70.0;

double MeanSquareDb(double sumSquares, long long count)
{
  if (count <= 0)
    return kSilenceDb;
  return std::max(10.0 * std::log10(sumSquares / static_cast<double>(count)), kSilenceDb);
}

} // namespace

double ToDb(double linearAmplitude)
{
  if (!(linearAmplitude > 0.0))
    return kSilenceDb;
  return std::max(20.0 * std::log10(linearAmplitude), kSilenceDb);
}

LevelMeter::LevelMeter(double sampleRate, int nChannels)
  : mChannels(std::max(nChannels, 1))
  , mHopFrames(std::max<long long>(1, std::llround(sampleRate * kLevelHopSeconds)))
{
}

void LevelMeter::Add(const double* const* channels, int nFrames)
{
  for (int i = 0; i < nFrames; ++i)
  {
    for (int c = 0; c < mChannels; ++c)
    {
      const double x = channels[c][i];
      if (!std::isfinite(x))
      {
        ++mNonFinite;
        continue;
      }
      mPeak = std::max(mPeak, std::fabs(x));
      mHopSum += x * x;
      ++mHopSamples;
    }
    if (++mHopFramesDone == mHopFrames)
      CloseHop();
  }
}

void LevelMeter::Finish()
{
  if (mHopFramesDone > 0)
    CloseHop();
}

void LevelMeter::CloseHop()
{
  mSumSquares += mHopSum;
  mSamples += mHopSamples;
  mHopSums.push_back(mHopSum);
  mHopCounts.push_back(mHopSamples);
  mHopSum = 0.0;
  mHopSamples = 0;
  mHopFramesDone = 0;

  const size_t hopsPerWindow = static_cast<size_t>(std::lround(kLevelWindowSeconds / kLevelHopSeconds));
  const size_t end = mHopSums.size();
  const size_t begin = end > hopsPerWindow ? end - hopsPerWindow : 0;
  double sum = 0.0;
  long long count = 0;
  for (size_t h = begin; h < end; ++h)
  {
    sum += mHopSums[h];
    count += mHopCounts[h];
  }
  mWindowDb.push_back(MeanSquareDb(sum, count));
}

double LevelMeter::PeakDb() const
{
  return ToDb(mPeak);
}

double LevelMeter::RmsDb() const
{
  return MeanSquareDb(mSumSquares + mHopSum, mSamples + mHopSamples);
}

LevelChange CompareLevels(const std::vector<double>& inputWindowDb, const std::vector<double>& outputWindowDb)
{
  LevelChange change;
  const size_t n = std::min(inputWindowDb.size(), outputWindowDb.size());
  std::vector<size_t> audible;
  for (size_t i = 0; i < n; ++i)
    if (inputWindowDb[i] > kAudibleDb)
      audible.push_back(i);
  if (audible.size() < 4)
    return change;

  std::sort(audible.begin(), audible.end(),
            [&](size_t a, size_t b) { return inputWindowDb[a] < inputWindowDb[b]; });
  const size_t quarter = audible.size() / 4;
  double quiet = 0.0, loud = 0.0;
  for (size_t k = 0; k < quarter; ++k)
  {
    const size_t q = audible[k];
    const size_t l = audible[audible.size() - 1 - k];
    quiet += outputWindowDb[q] - inputWindowDb[q];
    loud += inputWindowDb[l] - outputWindowDb[l];
  }
  change.valid = true;
  change.quietRaisedDb = quiet / static_cast<double>(quarter);
  change.loudLoweredDb = loud / static_cast<double>(quarter);
  return change;
}

} // namespace calvorin::cli
