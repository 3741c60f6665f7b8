#pragma once

#include "dsp/BandDynamics.h"
#include "dsp/BandExciter.h"
#include "dsp/BandSplitter.h"
#include "dsp/ChainControls.h"
#include "dsp/FrameControls.h"
#include "dsp/MeterSender.h"

#include <array>
#include <memory>

namespace iplug
{

// Which arithmetic ProcessingChain::ProcessBlock runs. Both give the same
// sound (within the few-ulp error of the lane exp, log and tanh).
enum class EnginePath
{
  Scalar, // one channel and band at a time: the reference
  Vector, // the stereo pair and the bands in SIMD lanes: SSE2, or AVX2/FMA where the processor has it
  VectorSse2, // the lanes built for SSE2 alone, whatever the processor (tests and measurements)
};

// The whole audio engine of the effect: per channel a three-band split, per
// band excite then dynamics, a dry/wet mix per band, the band sum times the
// output gain, and four meter feeds (Low, Mid, High, Output).
//
// A setting that changes while audio runs never steps: gains, thresholds,
// Width, Depth, Mix and the excite drive glide to their new value; Mode,
// Bypass and Excite on/off fade from the old output to the new one; a ramp
// follows its straight line sample by sample (ChainControls). Time changes
// the envelope coefficients at once, which moves nothing abruptly. Before the
// first block after construction or Reset a change lands at once, and with
// settings at rest the arithmetic is the unmoving one, bit for bit.
//
// Threads:
// - ProcessBlock runs on the audio thread; it allocates nothing, takes no lock
//   and makes no system call.
// - One writer: the parameter setters run on the audio thread between blocks
//   (or on another thread while nothing processes), so values derived together
//   are always seen together. They do the work that depends on parameters
//   alone, once per change.
// - Reset runs while the host is not processing.
// - TransmitMeters runs on the idle thread (single consumer of the meter rings).
class ProcessingChain
{
public:
  static constexpr int kNumBands = 3;
  static constexpr int kLowBand = 0;
  static constexpr int kMidBand = 1;
  static constexpr int kHighBand = 2;
  static constexpr int kNumMeters = 4;
  static constexpr int kOutputMeter = 3;
  static constexpr double kMeterWindowMs = 20.0;
  static constexpr double kDefaultSampleRate = 48000.0;
  // Input samples beyond this magnitude (+120 dBFS), and NaN and infinities,
  // are no audio: they are processed as silence.
  static constexpr double kMaxInputMagnitude = 1e6;

  // Fixed attack / release times per band (ms), scaled by the Time factor.
  static constexpr std::array<double, kNumBands> kAttackMs = {4.2, 1.5, 0.8};
  static constexpr std::array<double, kNumBands> kReleaseMs = {42.0, 28.0, 20.0};

  // The three values ProcessBlock reads once per block, as parameter values.
  struct BlockControls
  {
    double outGainControl = 0.0; // gain control -1..1
    double mixPercent = 100.0;   // 0..100
    double bypassValue = 0.0;    // bypassed when >= 0.5
  };

  // Processes on the vector path.
  explicit ProcessingChain(double sampleRate = kDefaultSampleRate);
  ~ProcessingChain();

  ProcessingChain(const ProcessingChain&) = delete;
  ProcessingChain& operator=(const ProcessingChain&) = delete;

  // Parameter setters, in parameter units -----------------------------------

  // Any parameter but Time. rampFrames > 0: a straight line from the value
  // now to `value`, reached at the last of that many frames processed from
  // here (a host's automation curve). Otherwise a jump, which glides or fades
  // once the chain processes. band is ignored for parameters of the whole chain.
  void SetParam(ChainParam param, int band, double value, int rampFrames = 0);
  // The parameter's value on its curve now.
  double ParamValue(ChainParam param, int band) const { return mControls.Value(param, band); }
  // Frames a glide or fade lasts at the current rate.
  int GlideFrames() const { return mControls.GlideFrames(); }

  // Pre- and post-gain of a band as gain-control values (-1..1).
  void SetBandGains(int band, double preGainControl, double postGainControl);
  void SetBandThresholds(int band, double pullThresholdDb, double pushThresholdDb);
  void SetBandWidth(int band, double widthPercent);     // 0..200
  void SetBandExcite(int band, double excitePercent);   // 0..100
  void SetBandMode(int band, double modeValue);         // truncated: 0 LR, 1 MID, 2 SIDE
  // Time factor T (0..10) scaling every band's attack and release time.
  void SetTimeFactor(double timeFactor);
  void SetDepth(double depthPercent);                   // 0..100

  // Not while processing. Choosing the other path clears the crossover and
  // envelope state, as Reset does; parameters, rate and meters carry over.
  void SetEnginePath(EnginePath path);
  EnginePath GetEnginePath() const { return mPath; }

  // Audio thread -------------------------------------------------------------

  // Reads channels 0 and 1 of inputs and writes channels 0 and 1 of outputs.
  // Input samples that are not finite or exceed kMaxInputMagnitude are
  // processed as silence, so the output stays finite; bypassed, the input
  // comes back as it was. Runs with flush-to-zero / denormals-are-zero and
  // restores the caller's mode. State that became NaN or infinite is cleared
  // at the end of the block, so the output is finite again from the next
  // block on.
  void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // Sets Out Gain, Mix and Bypass (as SetParam), then processes.
  void ProcessBlock(double** inputs, double** outputs, int nFrames, const BlockControls& controls);

  // Not while processing -----------------------------------------------------

  // Redesigns everything that depends on the sample rate (crossovers, envelope
  // coefficients with the current Time factor, meter windows, glide length)
  // for a valid rate; a rate that is zero, negative or not finite keeps the
  // previous design. Then clears the envelopes and the crossover filters'
  // state, and ends every glide and ramp at its destination: the next changes
  // land at once until a block has been processed. The exciters' memories and
  // the meters carry over.
  void Reset(double sampleRate);

  // Idle thread --------------------------------------------------------------

  // Hands the queued records of Low, Mid, High, then Output to
  // deliver(const MeterRecord&), oldest first per sender.
  template <typename Deliver>
  void TransmitMeters(Deliver&& deliver)
  {
    for (MeterSender& sender : mMeters)
      sender.Transmit(deliver);
  }

  // Inspection ---------------------------------------------------------------

  double SampleRate() const { return mSampleRate; }
  double TimeFactor() const { return mTimeFactor; }
  const BandDynamics& Dynamics(int band) const { return mDynamics[static_cast<size_t>(band)]; }
  const BandExciter& Exciter(int band) const { return mExciters[static_cast<size_t>(band)]; }
  const BandSplitter& Splitter(int channel) const { return mSplitters[static_cast<size_t>(channel)]; }
  const MeterSender& Meter(int tag) const { return mMeters[static_cast<size_t>(tag)]; }

private:
  // The vector path's lanes and meter levels (ProcessingChain.cpp).
  struct LanePath;

  // Brings the chain's own settings in line with the parameter's value now.
  void ApplySetting(ChainParam param, int band);

  // With settings at rest; then one run of moving settings (mFrames).
  void ProcessScalar(const double* const* inputs, double* const* outputs, int nFrames);
  void ProcessLanes(const double* const* inputs, double* const* outputs, int nFrames);
  void ProcessScalarMoving(const double* const* inputs, double* const* outputs, int nFrames);
  void ProcessLanesMoving(const double* const* inputs, double* const* outputs, int nFrames);
  void ConfigureLanes();
  void ClearFiltersAndEnvelopes();

  // One frame's bands, [band][0] left and [band][1] right.
  using BandFrame = std::array<std::array<double, 2>, kNumBands>;

  // Per frame, in ProcessBlock's order: the crossovers, excite then dynamics
  // per band, the dry/wet mix, and the band meters (processed, dry).
  BandFrame SplitFrame(double xL, double xR);
  void ShapeBands(BandFrame& band);
  void ShapeBandsMoving(BandFrame& band, int frame);
  static void MixBands(BandFrame& band, const BandFrame& dry, double mix);
  void MeterBands(const BandFrame& band, const BandFrame& dry);
  void RecoverFromNonFiniteState();

  std::array<BandDynamics, kNumBands> mDynamics;
  std::array<BandExciter, kNumBands> mExciters;
  std::array<BandSplitter, 2> mSplitters; // left, right
  std::array<MeterSender, kNumMeters> mMeters;
  double mSampleRate;
  double mTimeFactor = 1.0;
  BlockControls mBlock;       // Out Gain, Mix and Bypass at rest
  ChainControls mControls;
  FrameControls mFrames{};    // the run being processed while settings move
  EnginePath mPath = EnginePath::Vector;
  std::unique_ptr<LanePath> mLanes;
  // Set by what changes the lanes' settings; the next vector block takes them.
  bool mLaneCrossoversChanged = true;
  bool mLaneBandsChanged = true;
};

} // namespace iplug
