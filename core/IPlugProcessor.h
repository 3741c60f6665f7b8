#pragma once

#include "core/ChannelConfig.h"
#include "core/ChannelRecord.h"
#include "core/IPlugConfig.h"
#include "core/IPlugMidi.h"
#include "core/ITimeInfo.h"
#include "core/MultichannelDelayLine.h"
#include "core/ParamChangeSet.h"
#include "core/ParamPointList.h"

#include <atomic>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace iplug
{

// The audio-facing base of a plug-in. It turns the configuration's channel
// text into the supported bus layouts, keeps one record per input and output
// channel so that ProcessBlock always receives valid channel pointers, and
// holds the sample rate, block size, latency, bypass and transport state that
// the host-facing layer sets.
//
// Threads: construction, ResizeScratchBuffers, SetLatencySamples and the
// setters of sample rate and block size run while the host is not processing.
// The buffer attachment functions, ProcessBlock and CopyThroughOnBypass run on
// the host's audio thread and never allocate.
class IPlugProcessor
{
public:
  explicit IPlugProcessor(const Config& config);
  virtual ~IPlugProcessor();

  IPlugProcessor(const IPlugProcessor&) = delete;
  IPlugProcessor& operator=(const IPlugProcessor&) = delete;

  // Hooks a plug-in overrides ------------------------------------------------

  // Copies each input channel that has an output partner to it and silences
  // the remaining outputs.
  virtual void ProcessBlock(double** inputs, double** outputs, int nFrames);
  // Forwards the message to SendMidiMsg.
  virtual void ProcessMidiMsg(const IMidiMsg& msg);
  virtual void ProcessSysEx(const ISysEx& msg) { (void) msg; }
  virtual void OnReset() {}
  virtual void OnActivate(bool active) { (void) active; }
  // Supplied by the host-facing layer; the frame itself cannot send.
  virtual bool SendMidiMsg(const IMidiMsg& msg)
  {
    (void) msg;
    return false;
  }
  // Sends every message in order; true only if every send succeeded.
  virtual bool SendMidiMsgs(const IMidiMsg* msgs, int count);
  virtual bool SendSysEx(const ISysEx& msg)
  {
    (void) msg;
    return false;
  }
  virtual void MakeBusName(ERoute direction, int busIdx, int nBuses, std::string& name) const;
  // Not while processing: resizes the bypass delay line.
  virtual void SetLatencySamples(int samples);
  // Audio thread: brings the signal path in line with parameter paramIdx. The
  // host-facing layer calls it for every value it applies from the host's
  // queues, ApplyMarkedParamChanges for every marked parameter. Must not
  // allocate or lock.
  virtual void OnParamChangeRealtime(int paramIdx) { (void) paramIdx; }

  // Parameter changes made off the audio thread ------------------------------
  //
  // The audio thread is the only writer of the signal path. A thread that sets
  // a parameter elsewhere marks it; at the start of each block the audio thread
  // calls OnParamChangeRealtime once for each parameter marked since, in index
  // order, reading the parameter's value as it then is. Marks wait while
  // nothing processes, so none is lost; a parameter marked twice is applied
  // once. Indices from ParamChangeSet::kCapacity on are ignored.

  // Any thread.
  void MarkParamChanged(int paramIdx) { mChangedParams.Mark(paramIdx); }
  // Audio thread, before the host's queued changes of the block.
  void ApplyMarkedParamChanges()
  {
    mChangedParams.TakeAll([this](int paramIdx) { OnParamChangeRealtime(paramIdx); });
  }

  // A host's automation points ---------------------------------------------
  //
  // A plug-in that follows a host's curve sample by sample takes the points of
  // each block: the host-facing layer adds every point of every queue, then
  // runs the audio, and ProcessBlock reads the points of the piece it
  // processes. A plug-in that takes none gets OnParamChangeRealtime once per
  // changed parameter before the block, as the host-facing layer applies the
  // last point of each queue.

  // Whether ProcessBlock reads ParamPoints.
  virtual bool TakesParamPoints() const { return false; }
  // Whether ProcessBlock also runs while the host bypasses the plug-in (it
  // then reads GetBypassed and fades to the input itself). Otherwise the
  // frame copies the input to the output while bypassed.
  virtual bool ProcessesBypass() const { return false; }

  // Audio thread, in process() order: begin, add the points of each queue,
  // run the audio, finish.
  void BeginParamPoints()
  {
    mParamPoints.Clear();
    mParamPointsProcessed = false;
  }
  // Adds the points of one queue (offsets[i], values[i], in the host's
  // order). False when the plug-in takes no points or they do not all fit:
  // then the caller applies the parameter's last value with
  // OnParamChangeRealtime, as for a plug-in without points.
  bool AddParamPoints(int paramIdx, const int* offsets, const double* values, int count);
  // After the audio: when no audio ran (a parameter flush), the points' last
  // values reach the signal path through OnParamChangeRealtime.
  void FinishParamPoints();
  // The block's points, offsets counted from the start of the host's block;
  // the piece being processed starts at PieceOffset() of it.
  std::span<const ParamPoint> ParamPoints() const { return mParamPoints.Points(); }
  int PieceOffset() const { return mPieceOffset; }

  // Channel configurations ---------------------------------------------------

  // Parses "1-1 2-2"-style text. Returns the number of configurations and
  // reports the largest channel totals and bus counts per direction.
  static int ParseChannelConfig(const char* text, std::vector<ChannelConfig>& configs, int& maxNInputs,
                                int& maxNOutputs, int& maxNInputBuses, int& maxNOutputBuses);

  int NChannelConfigs() const { return static_cast<int>(mChannelConfigs.size()); }
  const ChannelConfig* GetChannelConfig(int idx) const;
  // Largest bus count of that direction over all configurations; configIdx is
  // the last configuration reaching it (-1 without configurations).
  int MaxBusCount(ERoute direction, int& configIdx) const;
  // First configuration whose buses have exactly these channel counts, or -1.
  int FindConfigByChannelCounts(std::span<const int> inputBusChans, std::span<const int> outputBusChans) const;
  // -1 (unrestricted) if the first configuration has a wildcard input bus;
  // otherwise the widest input bus 0 over all configurations.
  int MaxChannelsOnFirstInputBus() const;

  // Channels -----------------------------------------------------------------

  int MaxNChannels(ERoute direction) const { return static_cast<int>(Records(direction).size()); }
  int NChannelsConnected(ERoute direction) const;
  bool IsChannelConnected(ERoute direction, int chIdx) const;
  // The pointer ProcessBlock receives for this channel; null for a bad index.
  const double* ChannelPointer(ERoute direction, int chIdx) const;
  // The channel's scratch buffer (GetBlockSize() samples); null for a bad index.
  const double* ScratchBuffer(ERoute direction, int chIdx) const;
  const char* GetChannelLabel(ERoute direction, int chIdx) const;
  void SetChannelLabel(ERoute direction, int chIdx, const char* label);

  // Resizes every scratch buffer to blockSize zeroed samples, unless the size
  // is unchanged (then the contents stay).
  void ResizeScratchBuffers(int blockSize);

  // Processing state ---------------------------------------------------------

  int GetPlugType() const { return mPlugType; }
  bool DoesMIDIIn() const { return mDoesMidiIn; }
  bool DoesMIDIOut() const { return mDoesMidiOut; }
  bool DoesMPE() const { return mDoesMPE; }
  int GetLatency() const { return mLatency.load(std::memory_order_relaxed); }
  double GetSampleRate() const { return mSampleRate.load(std::memory_order_relaxed); }
  void SetSampleRate(double sampleRate) { mSampleRate.store(sampleRate, std::memory_order_relaxed); }
  int GetBlockSize() const { return mBlockSize; }
  bool GetBypassed() const { return mBypassed.load(std::memory_order_relaxed); }
  void SetBypassed(bool bypassed) { mBypassed.store(bypassed, std::memory_order_relaxed); }
  // Audio thread only (the host-facing layer refreshes it per block).
  const ITimeInfo& GetTimeInfo() const { return mTimeInfo; }
  void SetTimeInfo(const ITimeInfo& timeInfo) { mTimeInfo = timeInfo; }
  bool HasLatencyDelayLine() const { return mLatencyDelay != nullptr; }

  // Block-level audio helpers --------------------------------------------------

  // Bypass path: each output channel gets its input partner (delayed by the
  // latency when there is one) or silence. Audio thread.
  void CopyThroughOnBypass(int nFrames);
  // Rounds each sample to single precision. With flushSubnormals, results too
  // small for a normal float become zero: processed tails that are still
  // normal doubles would otherwise reach a 32-bit host as float subnormals.
  static void CopyToSinglePrecision(float* dst, const double* src, int count, bool flushSubnormals = false);

  // Buffer attachment (audio thread, no allocation) ---------------------------
  //
  // Per host block, nFrames at most GetBlockSize():
  //   ResetChannelBuffers();
  //   AttachInputChannels(...) / AttachOutputChannels(...) per host bus;
  //   CompleteInputs(nFrames, mirrorMono);
  //   RunAttachedBlock(nFrames);
  // ProcessHostChannels does all of that for one bus per direction, in pieces
  // no longer than the block size.

  // Every slot points at its record's scratch buffer; nothing is connected.
  void ResetChannelBuffers();
  // Host channels firstChan.. take the host's buffers (from frameOffset on).
  // Null channel pointers and channels beyond ours are skipped.
  void AttachInputChannels(int firstChan, int nHostChans, double* const* hostChans, int frameOffset = 0);
  // Single precision: converts nFrames samples into the scratch buffers.
  void AttachInputChannels(int firstChan, int nHostChans, float* const* hostChans, int frameOffset, int nFrames);
  void AttachOutputChannels(int firstChan, int nHostChans, double* const* hostChans, int frameOffset = 0);
  // Single precision: the plug-in writes scratch, RunAttachedBlock converts back.
  void AttachOutputChannels(int firstChan, int nHostChans, float* const* hostChans, int frameOffset = 0);
  // Silences inputs the host did not supply, so they never replay stale
  // samples. With mirrorMono, when the host supplied input channel 0 alone,
  // channel 1 reads a copy of channel 0 (a mono track reaches the plug-in as
  // centred stereo).
  void CompleteInputs(int nFrames, bool mirrorMono);
  // CopyThroughOnBypass or ProcessBlock, then single-precision outputs go back
  // to the host. nFrames is limited to the block size.
  void RunAttachedBlock(int nFrames);

  // One host block with one bus per direction. Processes in pieces of at most
  // GetBlockSize() frames, mirrors a mono input, and silences host outputs the
  // plug-in has no channel for (and all of them before a block size is set).
  // Nothing runs when the host supplies no output channel.
  void ProcessHostChannels(double* const* inputs, int nInputs, double* const* outputs, int nOutputs, int nFrames);
  void ProcessHostChannels(float* const* inputs, int nInputs, float* const* outputs, int nOutputs, int nFrames);

private:
  std::vector<ChannelRecord>& Records(ERoute direction) { return direction == kInput ? mInChannels : mOutChannels; }
  const std::vector<ChannelRecord>& Records(ERoute direction) const
  {
    return direction == kInput ? mInChannels : mOutChannels;
  }
  const ChannelRecord* Record(ERoute direction, int chIdx) const;
  // The record of a channel the host supplies, marked connected; nullptr when out of range.
  ChannelRecord* ConnectChannel(ERoute direction, int chIdx);

  template <typename Sample>
  void ProcessHostChannelsImpl(Sample* const* inputs, int nInputs, Sample* const* outputs, int nOutputs, int nFrames);

  int mPlugType;
  bool mDoesMidiIn;
  bool mDoesMidiOut;
  bool mDoesMPE;
  std::atomic<int> mLatency;
  std::atomic<double> mSampleRate{48000.0};
  int mBlockSize = 0;
  std::atomic<bool> mBypassed{false};
  std::vector<ChannelConfig> mChannelConfigs;
  std::vector<double*> mInputPtrs;  // handed to ProcessBlock; never resized after construction
  std::vector<double*> mOutputPtrs; // same
  std::vector<ChannelRecord> mInChannels;
  std::vector<ChannelRecord> mOutChannels;
  std::unique_ptr<MultichannelDelayLine> mLatencyDelay;
  ITimeInfo mTimeInfo;
  ParamChangeSet mChangedParams;
  ParamPointList mParamPoints;
  bool mParamPointsProcessed = false;
  int mPieceOffset = 0;
};

} // namespace iplug
