// The editor's frame loop on a 680 x 392 surface laid out like the plug-in's
// editor: an idle frame (nothing dirty) and a full repaint at scale 1 and 2.

#include "core/IEditorDelegate.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace
{

using namespace igraphics;

const IRgba kAccent(255, 198, 202, 202);

// Roughly what a knob draws: body, value arc, pointer, label and value text.
class BenchKnob : public IControl
{
public:
  BenchKnob(const IBounds& b, double v) : IControl(b) { SetValue(v); }
  void Draw(IGraphics& g) override
  {
    const float cx = mRECT.MW(), cy = mRECT.T + 26.f, r = 18.f;
    g.FillCircle(IRgba(255, 42, 43, 43), cx, cy, r);
    const float angle = -135.f + 270.f * static_cast<float>(GetValue());
    g.DrawArc(kAccent, cx, cy, r + 3.f, -135.f, angle, nullptr, 2.f);
    g.DrawRadialLine(kAccent, cx, cy, angle, 6.f, r - 2.f, nullptr, 2.f);
    char text[16];
    std::snprintf(text, sizeof(text), "%.1f dB", GetValue() * 24.);
    g.DrawText(ITextStyle(11.f, kAccent), text, IBounds(mRECT.L, mRECT.B - 16.f, mRECT.R, mRECT.B));
  }
};

// A level meter with a gradient and an additive highlight.
class BenchMeter : public IControl
{
public:
  explicit BenchMeter(const IBounds& b) : IControl(b) {}
  void Draw(IGraphics& g) override
  {
    g.FillRect(IRgba(255, 16, 17, 18), mRECT);
    const IBounds bar(mRECT.L + 4.f, mRECT.T + mRECT.H() * 0.3f, mRECT.R - 4.f, mRECT.B);
    g.PathClear();
    g.PathRect(bar);
    g.PathFill(IFill::LinearGradient(0.f, bar.B, 0.f, mRECT.T, {{IRgba(255, 78, 90, 123), 0.f}, {IRgba(255, 255, 159, 114), 1.f}}));
    const IBlendMode add(EBlend::Add, 0.25f);
    g.FillRect(IRgba(255, 196, 80, 97), bar, &add);
  }
};

class BenchPanel : public IControl
{
public:
  explicit BenchPanel(const IBounds& b) : IControl(b) { SetIgnoreMouse(true); }
  void Draw(IGraphics& g) override
  {
    g.FillRoundRect(IRgba(255, 41, 42, 42), mRECT, 2.f);
    g.DrawRoundRect(kAccent, mRECT, 2.f);
  }
};

class BenchTitle : public IControl
{
public:
  explicit BenchTitle(const IBounds& b) : IControl(b) {}
  void Draw(IGraphics& g) override { g.DrawText(ITextStyle(32.f, kAccent), "CALVORIN", mRECT); }
};

struct Editor
{
  iplug::IEditorDelegate dlg{0};
  IGraphics g;

  explicit Editor(float scale) : g(dlg, 680, 392, 60, scale)
  {
    g.AttachPanelBackground(IFill(IRgba(255, 16, 17, 18)));
    g.AttachControl(new BenchTitle(IBounds(42.f, 10.f, 170.f, 32.f)));
    for (int b = 0; b < 3; ++b)
    {
      const float x = 10.f + 132.f * b;
      g.AttachControl(new BenchPanel(IBounds(x, 42.f, x + 122.f, 382.f)));
      g.AttachControl(new BenchMeter(IBounds(x, 42.f, x + 122.f / 3.f, 382.f)));
      for (int row = 0; row < 5; ++row)
        g.AttachControl(new BenchKnob(IBounds(x + 122.f / 3.f, 57.f + 64.f * row, x + 122.f, 121.f + 64.f * row), 0.1 * row + 0.2));
    }
    g.AttachControl(new BenchPanel(IBounds(406.f, 42.f, 670.f, 382.f)));
    g.AttachControl(new BenchKnob(IBounds(406.f, 62.f, 670.f, 202.f), 0.5));
    for (int k = 0; k < 3; ++k)
      g.AttachControl(new BenchKnob(IBounds(406.f + 88.f * k, 233.f, 494.f + 88.f * k, 297.f), 0.3 * k));
    g.AttachControl(new BenchMeter(IBounds(406.f, 307.f, 670.f, 382.f)));
    g.OnFrame();
  }
};

void BM_IdleFrame(benchmark::State& state)
{
  Editor e(1.f);
  for (auto _ : state)
    benchmark::DoNotOptimize(e.g.OnFrame());
}
BENCHMARK(BM_IdleFrame);

void BM_FullRepaint(benchmark::State& state)
{
  Editor e(static_cast<float>(state.range(0)));
  for (auto _ : state)
  {
    e.g.SetAllControlsDirty();
    benchmark::DoNotOptimize(e.g.OnFrame());
  }
  state.SetLabel("scale " + std::to_string(state.range(0)));
}
BENCHMARK(BM_FullRepaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
