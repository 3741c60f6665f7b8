#pragma once

// A scrolling graph of the last 100 output and input levels (newest at the
// right), each filled from the bottom.

#include "editor/IVectorBase.h"
#include "graphics/IControl.h"

#include <array>

namespace igraphics
{

class PeakDisplay : public IControl, public IVectorBase
{
public:
  static constexpr int kHistoryLength = 100;

  PeakDisplay(const IBounds& bounds, float lowRangeDB, float highRangeDB, const IVLook& look, bool fill = false);

  void OnMsgFromDelegate(int msgTag, int dataSize, const void* data) override;
  void OnResize() override;
  void Draw(IGraphics& g) override;
  void DrawBackground(IGraphics& g, const IBounds& bounds) override;
  void DrawWidget(IGraphics& g) override;

  // Oldest first.
  float OutputHistory(int age) const { return mOutput[static_cast<size_t>((age + mWritePos) % kHistoryLength)]; }
  float InputHistory(int age) const { return mInput[static_cast<size_t>((age + mWritePos) % kHistoryLength)]; }

private:
  void FillHistory(IGraphics& g, const std::array<float, kHistoryLength>& history, const IColor& color,
                   const IBlendMode* blend);

  std::array<float, kHistoryLength> mOutput{};
  std::array<float, kHistoryLength> mInput{};
  int mWritePos = 0;
  float mHighRangeDB;
  float mLowRangeDB;
  bool mFill;
};

} // namespace igraphics
