// TORV's audio entry points: the block function, reset, the parameter handler
// and the meter transfer. The arithmetic itself lives in iplug::ProcessingChain.

#include "plugin/TORV.h"

#include "dsp/MeterRecord.h"
#include "plugin/TORVChainParams.h"

void TORV::SetUpProcessing()
{
  mChain.Reset(GetSampleRate());
  // No audio thread exists yet, so the chain takes every value directly: an
  // instance processes with its parameter values from the start.
  for (int paramIdx = 0; paramIdx < NParams(); ++paramIdx)
    OnParamChangeRealtime(paramIdx);
}

void TORV::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  // A host's process() has applied the marks before its queue; these are the
  // ones made since, or all of them when blocks are run directly.
  ApplyMarkedParamChanges();
  // Mix, Out Gain and Bypass are sampled once per block; every other
  // parameter reaches the chain through OnParamChangeRealtime.
  const iplug::ProcessingChain::BlockControls controls{GetParam(kOutGain)->GetValue(), GetParam(kMix)->GetValue(),
                                                       GetParam(kBypass)->GetValue()};
  mChain.ProcessBlock(inputs, outputs, nFrames, controls);
}

void TORV::OnReset()
{
  mChain.Reset(GetSampleRate());
}

bool TORV::ChooseEnginePath(int path)
{
  if (path != iplug::IEnginePath::kScalar && path != iplug::IEnginePath::kVector)
    return false;
  mChain.SetEnginePath(path == iplug::IEnginePath::kScalar ? iplug::EnginePath::Scalar : iplug::EnginePath::Vector);
  return true;
}

void TORV::OnParamUpdate(int paramIdx, iplug::ParamSource /*source*/)
{
  ShowParamEditInPresetSelector(paramIdx);
  MarkParamChanged(paramIdx);
}

void TORV::OnParamChangeRealtime(int paramIdx)
{
  if (paramIdx < 0 || paramIdx >= NParams())
    return;
  torv::ApplyParamToChain(mChain, paramIdx, [this](int idx) { return GetParam(idx)->GetValue(); });
}

void TORV::OnIdleTick()
{
  mChain.TransmitMeters([this](const iplug::MeterRecord& record) {
    SendMsgToControl(record.controlTag, 0, static_cast<int>(sizeof(record)), &record);
  });
}
