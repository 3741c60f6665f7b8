#pragma once

// Level meter with one value per channel, fed by level records from the
// plug-in (message tag 0). Values are meter positions 0..1.

#include "editor/IVTrackControlBase.h"
#include "editor/MeterLevel.h"

#include <initializer_list>
#include <vector>

namespace igraphics
{

template <int MAXNC = 1>
class IVMeterControl : public IVTrackControlBase
{
public:
  enum class EResponse
  {
    Linear = 0,
    Log = 1
  };

  IVMeterControl(const IBounds& bounds, const char* label, const IVLook& look, EDirection direction,
                 std::initializer_list<int> markers = {}, EResponse response = EResponse::Log, float lowRangeDB = -80.f,
                 float highRangeDB = 6.f)
    : IVTrackControlBase(bounds, label, look, MAXNC, direction)
    , mHighRangeDB(highRangeDB)
    , mLowRangeDB(lowRangeDB)
    , mResponse(response)
    , mMarkers(markers)
  {
  }

  void OnMsgFromDelegate(int msgTag, int dataSize, const void* data) override
  {
    if (IsDisabled() || msgTag != 0)
      return;
    const iplug::MeterRecord record = ReadMeterRecord(dataSize, data);
    // Only channels that both this meter and the record hold are read; a
    // record with a wild channel range cannot index out of bounds.
    const long long first = record.firstChannel;
    const long long end = first + static_cast<long long>(record.nValues);
    const long long limit = MAXNC < iplug::MeterRecord::kNumValues ? MAXNC : iplug::MeterRecord::kNumValues;
    for (long long chan = first < 0 ? 0 : first; chan < end && chan < limit; ++chan)
    {
      const int ch = static_cast<int>(chan);
      const double level = record.values[ch];
      const double value = mResponse == EResponse::Log ? LevelToPosition(level, mLowRangeDB, mHighRangeDB)
                                                       : (level < 0.0 ? 0.0 : (level > 1.0 ? 1.0 : level));
      SetValue(value, ch);
    }
    SetDirty(false);
  }

  void Draw(IGraphics& g) override
  {
    DrawBackground(g, mRECT);
    DrawWidget(g);
    DrawLabel(g);
  }

protected:
  float mHighRangeDB;
  float mLowRangeDB;
  EResponse mResponse;
  std::vector<int> mMarkers;
  bool mDrawPeakGlow = false;
  float mPeakGlowSize = 1.f;
};

} // namespace igraphics
