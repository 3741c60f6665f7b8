#pragma once

// The host's per-block automation lists: IParameterChanges holding one
// IParamValueQueue per changed parameter. Storage is reserved up front, so
// neither the host filling them nor the plug-in writing output changes from
// its audio thread allocates; a full list refuses further entries.

#include "vst3/abi/ParameterChanges.h"
#include "vst3/host/ComObject.h"

#include <memory>
#include <vector>

namespace vst3host
{

class ParamValueQueue final : public ComObject<vst3::IParamValueQueue>
{
public:
  ParamValueQueue(vst3::ParamID id, vst3::int32 maxPoints);

  vst3::ParamID VST3_CALL getParameterId() override { return mId; }
  vst3::int32 VST3_CALL getPointCount() override { return static_cast<vst3::int32>(mPoints.size()); }
  vst3::tresult VST3_CALL getPoint(vst3::int32 index, vst3::int32& sampleOffset, vst3::ParamValue& value) override;
  // Keeps points sorted by offset; a point at an offset already present
  // replaces it.
  vst3::tresult VST3_CALL addPoint(vst3::int32 sampleOffset, vst3::ParamValue value, vst3::int32& index) override;

  void Reset(vst3::ParamID id);

private:
  struct Point
  {
    vst3::int32 offset;
    vst3::ParamValue value;
  };
  vst3::ParamID mId;
  vst3::int32 mMaxPoints;
  std::vector<Point> mPoints;
};

class ParameterChanges final : public ComObject<vst3::IParameterChanges>
{
public:
  explicit ParameterChanges(vst3::int32 maxQueues = 64, vst3::int32 maxPointsPerQueue = 64);
  ~ParameterChanges() override;

  vst3::int32 VST3_CALL getParameterCount() override { return mUsed; }
  vst3::IParamValueQueue* VST3_CALL getParameterData(vst3::int32 index) override;
  // Returns the existing queue when the ID is already listed.
  vst3::IParamValueQueue* VST3_CALL addParameterData(const vst3::ParamID& id, vst3::int32& index) override;

  // Host-side convenience: appends a point to the parameter's queue.
  bool AddPoint(vst3::ParamID id, vst3::int32 sampleOffset, vst3::ParamValue value);
  // Lists a parameter without any point (hosts do this; plug-ins must cope).
  bool AddEmptyQueue(vst3::ParamID id);
  // Forgets every queue, keeping the storage.
  void Clear() { mUsed = 0; }

  // The last value written for id, if any queue holds one.
  bool LastValue(vst3::ParamID id, vst3::ParamValue& value) const;

private:
  std::vector<ParamValueQueue*> mQueues; // owned references, reused across blocks
  vst3::int32 mUsed = 0;
};

} // namespace vst3host
