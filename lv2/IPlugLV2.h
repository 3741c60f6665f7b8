#pragma once

// The plug-in as LV2 sees it, on top of the framework bases. The plug-in
// class derives from it in the LV2 build (as it derives from IPlugVST3 in the
// VST 3 build) and adds only its audio and editor behaviour.
//
// One class serves both of LV2's objects, which never share an instance: the
// DSP object (ports connected by the host, Run on the audio thread) and the UI
// object (the editor, port values arriving as events and edits leaving
// through the host's write function). The glue in lv2/module/ turns the C
// interface into these calls.

#include "core/IPlugAPIBase.h"
#include "core/IPlugProcessor.h"
#include "dsp/MeterRecord.h"
#include "lv2/PortLayout.h"
#include "lv2/PortScale.h"

#include <cstdint>
#include <vector>

namespace iplug
{

// What the UI object's host offers: the write function, gestures and resizing.
// UI thread only.
class LV2UIHost
{
public:
  virtual ~LV2UIHost() = default;
  virtual void WritePort(int port, float value) = 0;
  // Begin (true) or end (false) of a gesture on a port; ignored where the host cannot hear it.
  virtual void TouchPort(int port, bool grabbed) = 0;
  // Asks the host to resize the editor's window; false when it cannot.
  virtual bool ResizeWindow(int width, int height) = 0;
};

class IPlugLV2 : public IPlugAPIBase, public IPlugProcessor
{
public:
  // Host blocks longer than this run in pieces of this length.
  static constexpr int kMaxPieceFrames = 4096;

  explicit IPlugLV2(const Config& config);
  ~IPlugLV2() override;

  // How parameter paramIdx shows as a control port. The default shows the
  // real value; a plug-in overrides it where its display is another number.
  virtual PortScale GetPortScale(int paramIdx) const;
  // Reads every parameter's port scale. Once, after construction, before any
  // other call of this class (not on the audio thread).
  void PreparePorts();
  const PortLayout& Ports() const { return mLayout; }
  const PortScale& Scale(int paramIdx) const { return mScales[static_cast<size_t>(paramIdx)]; }
  // The port value that shows the parameter's current value.
  float PortValueOf(int paramIdx) const;

  // DSP object ---------------------------------------------------------------

  // Instantiation: the host's sample rate. False for a rate the engine cannot run.
  bool PrepareToRun(double sampleRate);
  // Any time, also from the audio thread; null disconnects.
  void ConnectPort(uint32_t port, void* data);
  // Clears the signal path's state (activate).
  void Activate();
  // Audio thread: takes the control ports' values (a moved one as a point at
  // the block's start, so the signal path glides to it), processes nFrames of
  // the audio ports (which may share memory), writes latency and levels. No
  // allocation, lock or system call.
  void Run(uint32_t nFrames);

  // Audio thread in the DSP object: a meter record also lands on its level
  // ports. It then goes on to the editor, if one is open.
  void SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* pData) override;

  // UI object ----------------------------------------------------------------

  // The host of the UI object; null before it is known. UI thread.
  void SetUIHost(LV2UIHost* host) { mUIHost = host; }
  // A port's value as the host reports it: parameters take it (unless it is
  // the value they already show), level ports feed the meters. UI thread.
  void OnPortEvent(uint32_t port, float value);

  void HostBeginEdit(int paramIdx) override;
  void HostPerformEdit(int paramIdx, double normalizedValue) override;
  void HostEndEdit(int paramIdx) override;
  bool ResizeHostView(int width, int height) override;

private:
  PortLayout mLayout;
  std::vector<PortScale> mScales;

  // DSP object: the host's buffers and the control values last taken.
  std::vector<const float*> mParamPorts;
  std::vector<float> mTakenPortValues;
  const float* mAudioIn[PortLayout::kNumAudioIns] = {};
  float* mAudioOut[PortLayout::kNumAudioOuts] = {};
  const float* mEnabledPort = nullptr;
  float* mLatencyPort = nullptr;
  float* mLevelPorts[PortLayout::kNumMeters][PortLayout::kValuesPerMeter] = {};

  // UI object.
  LV2UIHost* mUIHost = nullptr;
  MeterRecord mLevels[PortLayout::kNumMeters];
};

} // namespace iplug
