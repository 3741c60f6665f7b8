#include "editor/PeakDisplay.h"

#include "editor/ColorShift.h"
#include "editor/MeterLevel.h"
#include "graphics/IGraphics.h"

namespace igraphics
{

namespace
{
constexpr float kGrowth = 2.f; // the graph reaches 2 units past the top and bottom
constexpr int kHistoryAlpha = 216;
} // namespace

PeakDisplay::PeakDisplay(const IBounds& bounds, float lowRangeDB, float highRangeDB, const IVLook& look, bool fill)
  : IControl(bounds)
  , IVectorBase(this, look)
  , mHighRangeDB(highRangeDB)
  , mLowRangeDB(lowRangeDB)
  , mFill(fill)
{
}

void PeakDisplay::OnMsgFromDelegate(int msgTag, int dataSize, const void* data)
{
  if (IsDisabled() || msgTag != 0)
    return;
  const iplug::MeterRecord record = ReadMeterRecord(dataSize, data);
  const size_t slot = static_cast<size_t>(mWritePos);
  mOutput[slot] = static_cast<float>(LevelToPosition(record.values[0], mLowRangeDB, mHighRangeDB));
  mInput[slot] = static_cast<float>(LevelToPosition(record.values[1], mLowRangeDB, mHighRangeDB));
  mWritePos = (mWritePos + 1) % kHistoryLength;
  SetDirty(false);
}

void PeakDisplay::OnResize()
{
  mWidgetBounds = mRECT;
  SetTargetRECT(mRECT);
  SetMouseIsOver(false);
  SetDirty(false);
}

void PeakDisplay::Draw(IGraphics& g)
{
  DrawBackground(g, mWidgetBounds);
  DrawWidget(g);
  DrawLabel(g);
}

void PeakDisplay::DrawBackground(IGraphics& g, const IBounds& bounds)
{
  g.FillRect(ShiftedColor(GetColor(kBG), 5), bounds, &GetBlend());
}

void PeakDisplay::DrawWidget(IGraphics& g)
{
  FillHistory(g, mOutput, WithAlpha(GetColor(kX2), kHistoryAlpha), nullptr);
  const IBlendMode add(EBlend::Add, 1.f);
  FillHistory(g, mInput, WithAlpha(GetColor(kX1), kHistoryAlpha), &add);
}

void PeakDisplay::FillHistory(IGraphics& g, const std::array<float, kHistoryLength>& history, const IColor& color,
                              const IBlendMode* blend)
{
  const IBounds& r = mRECT;
  const float top = r.T - kGrowth;
  const float bottom = r.B + kGrowth;
  g.PathClear();
  g.PathMoveTo(r.R, bottom);
  g.PathLineTo(r.L, bottom);
  for (int i = 0; i < kHistoryLength; ++i)
  {
    const float x = r.L + static_cast<float>(i) * r.W() / static_cast<float>(kHistoryLength - 1);
    const float v = history[static_cast<size_t>((i + mWritePos) % kHistoryLength)];
    g.PathLineTo(x, bottom - (bottom - top) * v);
  }
  g.PathClose();
  g.PathFill(color, IFillOptions(), blend);
}

} // namespace igraphics
