#pragma once

// Test doubles: a plug-in that records every notification and host hook, and an
// editor context that records what the delegate sends to it.

#include "core/IEditorContext.h"
#include "core/IPlugAPIBase.h"

#include <string>
#include <utility>
#include <vector>

namespace calvorin_test
{

struct Call
{
  std::string what;
  int idx;
  iplug::ParamSource source;
  double value;

  bool operator==(const Call&) const = default;
};

inline iplug::Config TestConfig(int nParams, int nPresets)
{
  iplug::Config c;
  c.nParams = nParams;
  c.nPresets = nPresets;
  c.pluginName = "Test";
  c.productName = "Test Product";
  c.mfrName = "Maker";
  c.vendorVersion = 0x00010203;
  c.uniqueID = 0x54657374;
  c.mfrID = 0x4D6B7220;
  c.plugHasUI = true;
  c.plugWidth = 300;
  c.plugHeight = 200;
  c.plugMinWidth = 600; // deliberately swapped: the base orders them
  c.plugMaxWidth = 150;
  c.plugMinHeight = 100;
  c.plugMaxHeight = 400;
  return c;
}

class RecordingPlugin : public iplug::IPlugAPIBase
{
public:
  explicit RecordingPlugin(const iplug::Config& config)
    : IPlugAPIBase(config)
  {
  }

  using IPlugAPIBase::OnParamChange;
  void OnParamChange(int idx, iplug::ParamSource source, int sampleOffset) override
  {
    calls.push_back({"change", idx, source, static_cast<double>(sampleOffset)});
  }
  void OnParamUpdate(int idx, iplug::ParamSource source) override
  {
    calls.push_back({"update", idx, source, GetParam(idx)->GetValue()});
  }
  void OnIdleTick() override { ++idleTicks; }
  void OnHostKnown() override { ++hostKnown; }
  void HostBeginEdit(int idx) override { calls.push_back({"begin", idx, iplug::ParamSource::Unknown, 0.0}); }
  void HostPerformEdit(int idx, double norm) override
  {
    calls.push_back({"perform", idx, iplug::ParamSource::Unknown, norm});
    if (hostOverridesPerformEdit)
      GetParam(idx)->SetFromNormalized(0.0);
  }
  void HostEndEdit(int idx) override { calls.push_back({"end", idx, iplug::ParamSource::Unknown, 0.0}); }
  bool ResizeHostView(int w, int h) override
  {
    calls.push_back({"resize", w, iplug::ParamSource::Unknown, static_cast<double>(h)});
    return resizeAnswer;
  }

  // Only the notifications of one kind, as (index, source) pairs.
  std::vector<std::pair<int, iplug::ParamSource>> Updates() const
  {
    std::vector<std::pair<int, iplug::ParamSource>> out;
    for (const Call& c : calls)
      if (c.what == "update")
        out.emplace_back(c.idx, c.source);
    return out;
  }

  std::vector<Call> calls;
  int idleTicks = 0;
  int hostKnown = 0;
  bool hostOverridesPerformEdit = false;
  bool resizeAnswer = true;
};

struct ContextLog
{
  std::vector<std::pair<int, double>> paramValues;
  std::vector<std::pair<int, double>> controlValues;
  std::vector<std::vector<int>> messages; // tag, msgTag, size
  std::vector<void*> openedIn;
  int closed = 0;
  int resizes = 0;
  int destroyed = 0;
  int created = 0;
  int laidOut = 0;
};

class FakeEditorContext : public iplug::IEditorContext
{
public:
  explicit FakeEditorContext(ContextLog& log)
    : mLog(log)
  {
    ++mLog.created;
  }
  ~FakeEditorContext() override { ++mLog.destroyed; }

  void SetParameterValueFromDelegate(int paramIdx, double norm) override
  {
    mLog.paramValues.emplace_back(paramIdx, norm);
  }
  void SetControlValueFromDelegate(int tag, double norm) override { mLog.controlValues.emplace_back(tag, norm); }
  void SendControlMsgFromDelegate(int tag, int msgTag, int size, const void*) override
  {
    mLog.messages.push_back({tag, msgTag, size});
  }
  void* OpenWindow(void* parent) override
  {
    mLog.openedIn.push_back(parent);
    return &mWindow;
  }
  void CloseWindow() override { ++mLog.closed; }
  int Width() const override { return width; }
  int Height() const override { return height; }
  float GetDrawScale() const override { return scale; }
  void Resize(int w, int h, float s) override
  {
    ++mLog.resizes;
    width = w;
    height = h;
    scale = s;
  }

  int width = 680;
  int height = 392;
  float scale = 1.f;

private:
  ContextLog& mLog;
  int mWindow = 0;
};

} // namespace calvorin_test
