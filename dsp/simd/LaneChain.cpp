#include "dsp/simd/LaneChain.h"

#include "dsp/ButterworthDesign.h"
#include "dsp/Decibels.h"
#include "dsp/FloatingPointModeGuard.h"
#include "dsp/GainControl.h"
#include "dsp/HalfbandStage.h"
#include "dsp/simd/LaneKernelSet.h"

#include <algorithm>
#include <cmath>

namespace iplug::simd
{

static_assert(kLaneMaxInputMagnitude == ProcessingChain::kMaxInputMagnitude);

namespace
{

using Design = ButterworthDesignResult (*)(double, ButterworthCoefficients&);

// Lane layout of two four-lane crossover groups: per lane a design function
// and a crossover frequency.
void DesignGroup(LaneSectionCoefficients (&group)[2], const Design (&designs)[4], const double (&hz)[4],
                 double sampleRate)
{
  for (int lane = 0; lane < 4; ++lane)
  {
    ButterworthCoefficients c;
    designs[lane](std::min(hz[lane] / sampleRate, BandSplitter::kMaxNormalisedCutoff), c);
    for (int s = 0; s < 2; ++s)
    {
      const BiquadCoefficients& q = c.sections[static_cast<size_t>(s)];
      group[s].b0[lane] = q.b0;
      group[s].b1[lane] = q.b1;
      group[s].b2[lane] = q.b2;
      group[s].a1[lane] = q.a1;
      group[s].a2[lane] = q.a2;
    }
  }
}

// Relative margin of the linear detector bounds: the decision they skip is
// the one the log makes to within a few ulp.
constexpr double kOffMargin = 1e-6;

double EnvelopeAtLevel(double db)
{
  return std::exp(db / kDbPerNeper);
}

// Lane `lane` of both channels' gain mix for a band in `mode`.
void SetGainMix(LaneChainSettings& c, int lane, int mode)
{
  struct Mix
  {
    double scaledL, scaledR, keptL, keptR;
  };
  // Per mode: left, right.
  static constexpr Mix kLR[2] = {{1.0, 0.0, 0.0, 0.0}, {0.0, 1.0, 0.0, 0.0}};
  static constexpr Mix kMid[2] = {{0.5, 0.5, 0.5, -0.5}, {0.5, 0.5, -0.5, 0.5}};
  static constexpr Mix kSide[2] = {{0.5, -0.5, 0.5, 0.5}, {-0.5, 0.5, 0.5, 0.5}};
  const Mix* mix = mode == BandDynamics::kModeMid ? kMid : mode == BandDynamics::kModeSide ? kSide : kLR;
  LaneGainMix* channels[2] = {&c.gainLeft, &c.gainRight};
  for (int ch = 0; ch < 2; ++ch)
  {
    channels[ch]->scaledL[lane] = mix[ch].scaledL;
    channels[ch]->scaledR[lane] = mix[ch].scaledR;
    channels[ch]->keptL[lane] = mix[ch].keptL;
    channels[ch]->keptR[lane] = mix[ch].keptR;
  }
}

bool LaneFinite(const LaneDoubles& v, int lane)
{
  return std::isfinite(v[lane]);
}

// Zeroes `lane` of every vector in [first, first + count).
void ClearLane(LaneDoubles* first, int count, int lane)
{
  for (int i = 0; i < count; ++i)
    first[i][lane] = 0.0;
}

// Crossover filters: one lane per filter and channel, over both sections.
void RecoverCrossoverGroup(LaneSectionState (&group)[2])
{
  for (int lane = 0; lane < 4; ++lane)
  {
    bool finite = true;
    for (const LaneSectionState& s : group)
      finite = finite && LaneFinite(s.v1, lane) && LaneFinite(s.v2, lane);
    if (!finite)
    {
      for (LaneSectionState& s : group)
        s.v1[lane] = s.v2[lane] = 0.0;
    }
  }
}

} // namespace

LaneChain::LaneChain()
  : LaneChain(BestLaneKernels())
{
}

LaneChain::LaneChain(const LaneKernels& kernels)
  : mKernels(&kernels)
{
}

void LaneChain::Configure(const ProcessingChain& chain, const ProcessingChain::BlockControls& controls)
{
  ConfigureCrossovers(chain);
  ConfigureBands(chain);
  SetBlockControls(controls);
}

void LaneChain::ConfigureCrossovers(const ProcessingChain& chain)
{
  LaneChainSettings& c = mSettings;
  const double fs = chain.SampleRate();
  const BandSplitter& splitter = chain.Splitter(0);
  const double low = splitter.LowCrossoverHz();
  const double high = splitter.HighCrossoverHz();
  DesignGroup(c.crossoverA, {DesignButterworthLowPass4, DesignButterworthLowPass4, DesignButterworthLowPass4,
                             DesignButterworthLowPass4},
              {low, low, high, high}, fs);
  DesignGroup(c.crossoverB, {DesignButterworthHighPass4, DesignButterworthHighPass4, DesignButterworthHighPass4,
                             DesignButterworthHighPass4},
              {high, high, low, low}, fs);
  for (int s = 0; s < kLaneHalfbandSections; ++s)
  {
    const double even = HalfbandStage::kCoefficients[static_cast<size_t>(2 * s)];
    const double odd = HalfbandStage::kCoefficients[static_cast<size_t>(2 * s + 1)];
    c.halfband[s] = LaneDoubles{even, even, odd, odd};
  }
}

void LaneChain::ConfigureBands(const ProcessingChain& chain)
{
  LaneChainSettings& c = mSettings;
  for (int b = 0; b < kLaneBands; ++b)
  {
    const BandDynamics& d = chain.Dynamics(b);
    c.preGain[b] = d.PreGain();
    c.postGain[b] = d.PostGain();
    c.pullThresholdDb[b] = d.PullThreshold();
    c.pushThresholdDb[b] = d.PushThreshold();
    c.pullFactor[b] = BandDynamics::RatioFactor(BandDynamics::kPullRatio, d.Depth());
    c.pushFactor[b] = BandDynamics::RatioFactor(BandDynamics::kPushRatio, d.Depth());
    c.attack[b] = d.AttackCoefficient();
    c.release[b] = d.ReleaseCoefficient();
    c.width[b] = d.Width();
    SetGainMix(c, b, d.GetMode());
    c.pullOffAbove[b] = EnvelopeAtLevel(d.PullThreshold()) * (1.0 + kOffMargin);
    c.pushOffBelow[b] = EnvelopeAtLevel(d.PushThreshold()) * (1.0 - kOffMargin);

    const BandExciter& x = chain.Exciter(b);
    c.excite[b] = x.Amount() > 0.0;
    c.drive[b] = x.Drive();
    c.trim[b] = x.Trim();
  }
  // The unused band lane: unity gains and no dynamics; it only has to stay finite.
  c.preGain[3] = c.postGain[3] = c.width[3] = 1.0;
  c.pullThresholdDb[3] = c.pushThresholdDb[3] = 0.0;
  c.pullFactor[3] = c.pushFactor[3] = c.attack[3] = c.release[3] = 0.0;
  SetGainMix(c, 3, BandDynamics::kModeLR);
  c.pullOffAbove[3] = c.pushOffBelow[3] = 0.0;
  c.pullOffBelow = EnvelopeAtLevel(BandDynamics::kPullFloorDb) * (1.0 - kOffMargin);
}

void LaneChain::SetBlockControls(const ProcessingChain::BlockControls& controls)
{
  LaneChainSettings& c = mSettings;
  c.outGain = GainControlToFactor(controls.outGainControl);
  c.mix = controls.mixPercent / 100.0;
  c.bypassed = controls.bypassValue >= 0.5;
}

void LaneChain::Process(const double* inL, const double* inR, double* outL, double* outR, int nFrames,
                        float* meterLevels)
{
  if (nFrames <= 0)
    return;
  FloatingPointModeGuard floatingPointMode;
  mKernels->process(mState, mSettings, inL, inR, outL, outR, meterLevels, nFrames);
  RecoverFromNonFiniteState();
}

void LaneChain::ResetCrossoversAndEnvelopes()
{
  for (LaneSectionState* group : {mState.crossoverA, mState.crossoverB})
    group[0] = group[1] = LaneSectionState();
  mState.pullEnvelope = mState.pushEnvelope = LaneDoubles{};
}

void LaneChain::RecoverFromNonFiniteState()
{
  RecoverCrossoverGroup(mState.crossoverA);
  RecoverCrossoverGroup(mState.crossoverB);
  // Half-band stages: one stage per band and channel spans lanes c and c + 2.
  for (int b = 0; b < kLaneBands; ++b)
  {
    for (LaneHalfbandState* stage : {&mState.upsampler[b], &mState.downsampler[b]})
    {
      for (int channel = 0; channel < 2; ++channel)
      {
        bool finite = true;
        for (int s = 0; s < kLaneHalfbandSections; ++s)
        {
          for (int lane : {channel, channel + 2})
            finite = finite && LaneFinite(stage->inputs[s], lane) && LaneFinite(stage->outputs[s], lane);
        }
        if (!finite)
        {
          for (int lane : {channel, channel + 2})
          {
            ClearLane(stage->inputs, kLaneHalfbandSections, lane);
            ClearLane(stage->outputs, kLaneHalfbandSections, lane);
          }
        }
      }
    }
  }
  for (int b = 0; b < kLaneBands; ++b)
  {
    if (!LaneFinite(mState.pullEnvelope, b))
      mState.pullEnvelope[b] = 0.0;
    if (!LaneFinite(mState.pushEnvelope, b))
      mState.pushEnvelope[b] = 0.0;
  }
}

} // namespace iplug::simd
