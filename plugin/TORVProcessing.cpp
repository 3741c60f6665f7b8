// TORV's audio entry points: the block function, reset, the parameter handler
// and the meter transfer. The arithmetic itself lives in iplug::ProcessingChain.

#include "plugin/TORV.h"

#include "dsp/MeterRecord.h"
#include "plugin/TORVChainParams.h"

#include <algorithm>
#include <cmath>

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
  if (nFrames <= 0)
    return;

  // This piece's share of the host's points, as offsets into the piece.
  const std::span<const iplug::ParamPoint> all = ParamPoints();
  const int pieceStart = PieceOffset();
  const auto first = std::lower_bound(all.begin(), all.end(), pieceStart,
                                      [](const iplug::ParamPoint& p, int offset) { return p.offset < offset; });
  const auto last = std::lower_bound(first, all.end(), pieceStart + nFrames,
                                     [](const iplug::ParamPoint& p, int offset) { return p.offset < offset; });
  const std::span<const iplug::ParamPoint> points(first, last);

  // Out Gain, Mix and Bypass without points here are read as they stand,
  // which also catches values set without a handler call; the host's bypass
  // counts as Bypass on.
  bool hasPoints[kNumParams] = {};
  bool hasHostBypassPoints = false;
  for (const iplug::ParamPoint& point : points)
  {
    if (point.paramIdx == iplug::ParamPoint::kHostBypass)
      hasHostBypassPoints = true;
    else
      hasPoints[point.paramIdx] = true;
  }
  for (const int idx : {kOutGain, kMix})
  {
    if (!hasPoints[idx])
      torv::ApplyParamValueToChain(mChain, idx, GetParam(idx)->GetValue());
  }
  if (!hasHostBypassPoints)
    mHostBypassValue = GetBypassed() ? 1.0 : 0.0;
  if (!hasPoints[kBypass])
    mBypassParamValue = GetParam(kBypass)->GetValue();
  torv::ApplyParamValueToChain(mChain, kBypass, BypassValue());

  // The block in runs between the frames where a curve starts a new segment
  // or a stepped parameter changes.
  int done = 0;
  auto processTo = [&](int frame) {
    if (frame > done)
    {
      double* in[2] = {inputs[0] + done, inputs[1] + done};
      double* out[2] = {outputs[0] + done, outputs[1] + done};
      mChain.ProcessBlock(in, out, frame - done);
      done = frame;
    }
  };
  // A stepped parameter changes on its point's frame; a continuous one starts
  // its straight line to a point right after its previous point.
  int segmentStart[kNumParams] = {};
  int nEvents = 0;
  for (size_t i = 0; i < points.size(); ++i)
  {
    const iplug::ParamPoint& point = points[i];
    const int frame = point.offset - pieceStart;
    const bool stepped = IsSteppedParam(point.paramIdx);
    PointEvent event{stepped ? frame : segmentStart[point.paramIdx], static_cast<int>(i)};
    if (!stepped)
      segmentStart[point.paramIdx] = frame + 1;
    int j = nEvents++;
    for (; j > 0 && mPointEvents[static_cast<size_t>(j - 1)].frame > event.frame; --j)
      mPointEvents[static_cast<size_t>(j)] = mPointEvents[static_cast<size_t>(j - 1)];
    mPointEvents[static_cast<size_t>(j)] = event;
  }
  for (int e = 0; e < nEvents; ++e)
  {
    const PointEvent& event = mPointEvents[static_cast<size_t>(e)];
    processTo(event.frame);
    ApplyPoint(points[static_cast<size_t>(event.point)], event.frame, pieceStart);
  }
  processTo(nFrames);
}

void TORV::ApplyPoint(const iplug::ParamPoint& point, int eventFrame, int pieceStart)
{
  const int idx = point.paramIdx;
  if (idx == kBypass || idx == iplug::ParamPoint::kHostBypass)
  {
    (idx == kBypass ? mBypassParamValue : mHostBypassValue) = point.value;
    torv::ApplyParamValueToChain(mChain, kBypass, BypassValue());
  }
  else if (IsSteppedParam(idx))
    torv::ApplyParamValueToChain(mChain, idx, point.value);
  else
  {
    // The line from the value now to the point. One steeper than a
    // full-range glide is a jump, and glides.
    const int frames = point.offset - pieceStart - eventFrame + 1;
    iplug::ChainParam param = iplug::ChainParam::kCount;
    int band = 0;
    torv::ChainParamOf(idx, param, band);
    const double distance = std::fabs(point.value - mChain.ParamValue(param, band)) / GetParam(idx)->GetRange();
    const bool jump = !(distance * mChain.GlideFrames() <= frames);
    torv::ApplyParamValueToChain(mChain, idx, point.value, jump ? 0 : frames);
  }
}

bool TORV::IsSteppedParam(int paramIdx)
{
  return paramIdx == kTime || paramIdx == kBypass || paramIdx == iplug::ParamPoint::kHostBypass ||
         (paramIdx >= kModeLow && paramIdx <= kModeHigh);
}

double TORV::BypassValue() const
{
  return mHostBypassValue >= 0.5 ? 1.0 : mBypassParamValue;
}

void TORV::OnReset()
{
  mChain.Reset(GetSampleRate());
}

#if !defined(CALVORIN_FORMAT_LV2)
bool TORV::ChooseEnginePath(int path)
{
  if (path != iplug::IEnginePath::kScalar && path != iplug::IEnginePath::kVector)
    return false;
  mChain.SetEnginePath(path == iplug::IEnginePath::kScalar ? iplug::EnginePath::Scalar : iplug::EnginePath::Vector);
  return true;
}
#endif

void TORV::OnParamUpdate(int paramIdx, iplug::ParamSource /*source*/)
{
  ShowParamEditInPresetSelector(paramIdx);
  MarkParamChanged(paramIdx);
}

void TORV::OnParamChangeRealtime(int paramIdx)
{
  if (paramIdx < 0 || paramIdx >= NParams())
    return;
  const double value = GetParam(paramIdx)->GetValue();
  if (paramIdx == kBypass)
    mBypassParamValue = value;
  torv::ApplyParamValueToChain(mChain, paramIdx, paramIdx == kBypass ? BypassValue() : value);
}

void TORV::OnIdleTick()
{
  mChain.TransmitMeters([this](const iplug::MeterRecord& record) {
    SendMsgToControl(record.controlTag, 0, static_cast<int>(sizeof(record)), &record);
  });
}
