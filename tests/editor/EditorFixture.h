#pragma once

// An instance of the plug-in with its editor opened offscreen, recording what
// reaches the host, and helpers to drive the editor through the drawing
// context's own mouse dispatch.

#include "editor/EditorLayout.h"
#include "editor/PresetControl.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "plugin/TORV.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace editortest
{

using namespace igraphics;

struct HostCall
{
  char kind; // 'b' begin, 'p' perform, 'e' end
  int paramIdx;
  double value;
  bool operator==(const HostCall&) const = default;
};

// A 20-byte level record as the audio side sends it.
inline std::vector<unsigned char> LevelRecord(int tag, float out, float in)
{
  std::vector<unsigned char> bytes(20);
  const std::int32_t head[3] = {tag, 2, 0};
  const float vals[2] = {out, in};
  std::memcpy(bytes.data(), head, sizeof(head));
  std::memcpy(bytes.data() + sizeof(head), vals, sizeof(vals));
  return bytes;
}

class RecordingPlug : public TORV
{
public:
  igraphics::PresetControl* GetPresetControl() const { return mPresetControl; }

  void HostBeginEdit(int paramIdx) override { calls.push_back({'b', paramIdx, 0.0}); }
  void HostPerformEdit(int paramIdx, double normalized) override { calls.push_back({'p', paramIdx, normalized}); }
  void HostEndEdit(int paramIdx) override { calls.push_back({'e', paramIdx, 0.0}); }

  std::vector<HostCall> calls;
};

class EditorTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    plug.AttachEditor(nullptr);
    ASSERT_NE(plug.GetEditorContext(), nullptr);
    g = static_cast<IGraphics*>(plug.GetEditorContext());
  }

  void TearDown() override { plug.DetachEditor(); }

  PresetControl* Selector() const { return dynamic_cast<PresetControl*>(g->GetControl(4)); }

  // The n-th attached control (drawing order).
  IControl* Control(int idx) const { return g->GetControl(idx); }

  template <typename T>
  T* ControlBoundTo(int paramIdx) const
  {
    for (int i = 0; i < g->NControls(); ++i)
    {
      if (auto* c = dynamic_cast<T*>(g->GetControl(i)); c && c->LinkedToParam(paramIdx))
        return c;
    }
    return nullptr;
  }

  // Hovers, presses and releases at a point, as a window would.
  void Click(float x, float y, IMouseKeys keys = {})
  {
    keys.L = true;
    g->OnMouseOver(x, y, {});
    g->OnMouseDown(x, y, keys);
    g->OnMouseUp(x, y, keys);
  }

  void Drag(float x, float y, float dX, float dY, IMouseKeys keys = {}, int steps = 4)
  {
    keys.L = true;
    g->OnMouseOver(x, y, {});
    g->OnMouseDown(x, y, keys);
    for (int i = 1; i <= steps; ++i)
      g->OnMouseDrag(x + dX * i / steps, y + dY * i / steps, dX / steps, dY / steps, keys);
    g->OnMouseUp(x + dX, y + dY, keys);
  }

  // Lets animations run past their end, frame by frame.
  void RunFramesFor(int ms)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
    {
      g->OnFrame();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    g->OnFrame();
  }

  double Norm(int paramIdx) const { return plug.GetParam(paramIdx)->GetValueNormalized(); }

  void FeedLevels(int tag, float out, float in)
  {
    const auto bytes = LevelRecord(tag, out, in);
    plug.SendMsgToControl(tag, 0, static_cast<int>(bytes.size()), bytes.data());
  }

  RecordingPlug plug;
  IGraphics* g = nullptr;
};

} // namespace editortest
