#include "lv2/IPlugLV2.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace iplug
{

IPlugLV2::IPlugLV2(const Config& config) : IPlugAPIBase(config), IPlugProcessor(config), mLayout(config.nParams)
{
  for (int tag = 0; tag < PortLayout::kNumMeters; ++tag)
    mLevels[tag].controlTag = tag;
}

IPlugLV2::~IPlugLV2() = default;

PortScale IPlugLV2::GetPortScale(int paramIdx) const
{
  return PortScale::ForParam(*GetParam(paramIdx));
}

void IPlugLV2::PreparePorts()
{
  mScales.clear();
  for (int i = 0; i < NParams(); ++i)
    mScales.push_back(GetPortScale(i));
  mParamPorts.assign(static_cast<size_t>(NParams()), nullptr);
  // NaN never equals a port's value: the first run takes every connected port.
  mTakenPortValues.assign(static_cast<size_t>(NParams()), std::nanf(""));
}

float IPlugLV2::PortValueOf(int paramIdx) const
{
  return static_cast<float>(Scale(paramIdx).FromReal(GetParam(paramIdx)->GetValue()));
}

bool IPlugLV2::PrepareToRun(double sampleRate)
{
  // The engine's filters need a rate well above the upper crossover.
  if (!(sampleRate >= 8000.0 && sampleRate <= 1536000.0))
    return false;
  SetSampleRate(sampleRate);
  ResizeScratchBuffers(kMaxPieceFrames);
  OnReset();
  return true;
}

void IPlugLV2::ConnectPort(uint32_t port, void* data)
{
  const int p = static_cast<int>(port);
  int tag = 0;
  int value = 0;
  if (const int paramIdx = mLayout.ParamOfPort(p); paramIdx >= 0)
    mParamPorts[static_cast<size_t>(paramIdx)] = static_cast<const float*>(data);
  else if (p < PortLayout::kNumAudioIns)
    mAudioIn[p] = static_cast<const float*>(data);
  else if (p < PortLayout::kFirstParamPort)
    mAudioOut[p - PortLayout::kNumAudioIns] = static_cast<float*>(data);
  else if (p == mLayout.Enabled())
    mEnabledPort = static_cast<const float*>(data);
  else if (p == mLayout.Latency())
    mLatencyPort = static_cast<float*>(data);
  else if (mLayout.MeterOfPort(p, tag, value))
    mLevelPorts[tag][value] = static_cast<float*>(data);
}

void IPlugLV2::Activate()
{
  OnReset();
}

void IPlugLV2::Run(uint32_t nFrames)
{
  // Control ports first. A value that moved since the last run reaches the
  // plug-in as a host's change does in the other formats: a point at the
  // block's first frame, which the signal path glides to (a plug-in that
  // takes no points gets the value at once).
  static constexpr int kBlockStart = 0;
  BeginParamPoints();
  for (int i = 0; i < NParams(); ++i)
  {
    const float* port = mParamPorts[static_cast<size_t>(i)];
    if (!port)
      continue;
    const float v = *port;
    float& taken = mTakenPortValues[static_cast<size_t>(i)];
    if (std::memcmp(&v, &taken, sizeof(v)) == 0)
      continue;
    taken = v;
    const double real = Scale(i).ToReal(v);
    if (real != real)
      continue;
    IParam* param = GetParam(i);
    param->SetValue(real);
    OnParamChange(i, ParamSource::Host, 0);
    const double value = param->GetValue();
    if (!AddParamPoints(i, &kBlockStart, &value, 1))
      OnParamChangeRealtime(i);
  }
  // lv2:enabled is 1 while the plug-in works, 0 while the host bypasses it;
  // a switch reaches the plug-in as a point too, so it fades.
  if (mEnabledPort)
  {
    const bool bypassed = !(*mEnabledPort >= 0.5f);
    if (bypassed != GetBypassed())
    {
      const double value = bypassed ? 1.0 : 0.0;
      AddParamPoints(ParamPoint::kHostBypass, &kBlockStart, &value, 1);
    }
    SetBypassed(bypassed);
  }
  if (mLatencyPort)
    *mLatencyPort = static_cast<float>(GetLatency());
  if (nFrames > 0)
  {
    // Input and output may share memory: the frame reads every input piece
    // into its own buffers before the piece is processed.
    float* in[PortLayout::kNumAudioIns] = {const_cast<float*>(mAudioIn[0]), const_cast<float*>(mAudioIn[1])};
    ProcessHostChannels(in, PortLayout::kNumAudioIns, mAudioOut, PortLayout::kNumAudioOuts,
                        static_cast<int>(std::min<uint32_t>(nFrames, 1u << 30)));
  }
  // After a run of 0 frames the points' values land at once.
  FinishParamPoints();
  if (nFrames == 0)
    return;

  // The DSP object has no UI thread: the idle work (taking the levels the
  // block measured) runs here, and what it sends the meters lands on the
  // level ports.
  OnIdleTick();
}

void IPlugLV2::SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  if (dataSize == static_cast<int>(sizeof(MeterRecord)) && pData && ctrlTag >= 0 && ctrlTag < PortLayout::kNumMeters)
  {
    MeterRecord record;
    std::memcpy(&record, pData, sizeof(record));
    for (int v = 0; v < PortLayout::kValuesPerMeter && v < record.nValues; ++v)
      if (float* port = mLevelPorts[ctrlTag][v])
        *port = record.values[v];
  }
  IPlugAPIBase::SendMsgToControl(ctrlTag, msgTag, dataSize, pData);
}

void IPlugLV2::OnPortEvent(uint32_t port, float value)
{
  const int p = static_cast<int>(port);
  int tag = 0;
  int v = 0;
  if (const int paramIdx = mLayout.ParamOfPort(p); paramIdx >= 0)
  {
    // The echo of our own edit, or a value the parameter already shows:
    // taking it again would move the control by the port's rounding.
    if (value == PortValueOf(paramIdx))
      return;
    const double real = Scale(paramIdx).ToReal(value);
    if (real != real)
      return;
    IParam* param = GetParam(paramIdx);
    param->SetValue(real);
    OnParamChange(paramIdx, ParamSource::Host, -1);
    OnParamUpdate(paramIdx, ParamSource::Host);
    ShowParamInEditor(paramIdx, param->GetValueNormalized(), true);
  }
  else if (mLayout.MeterOfPort(p, tag, v))
  {
    mLevels[tag].values[v] = value;
    IPlugAPIBase::SendMsgToControl(tag, 0, static_cast<int>(sizeof(MeterRecord)), &mLevels[tag]);
  }
}

void IPlugLV2::HostBeginEdit(int paramIdx)
{
  if (mUIHost)
    mUIHost->TouchPort(mLayout.Param(paramIdx), true);
}

void IPlugLV2::HostPerformEdit(int paramIdx, double normalizedValue)
{
  const IParam* param = GetParam(paramIdx);
  if (!mUIHost || !param)
    return;
  const double real = param->NormToReal(normalizedValue);
  mUIHost->WritePort(mLayout.Param(paramIdx), static_cast<float>(Scale(paramIdx).FromReal(real)));
}

void IPlugLV2::HostEndEdit(int paramIdx)
{
  if (mUIHost)
    mUIHost->TouchPort(mLayout.Param(paramIdx), false);
}

bool IPlugLV2::ResizeHostView(int width, int height)
{
  if (!HasUI())
    return true;
  if (mUIHost && (width != GetEditorWidth() || height != GetEditorHeight()))
    mUIHost->ResizeWindow(width, height);
  SetEditorSize(width, height);
  return true;
}

} // namespace iplug
