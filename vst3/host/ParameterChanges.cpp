#include "vst3/host/ParameterChanges.h"

#include <algorithm>

namespace vst3host
{

ParamValueQueue::ParamValueQueue(vst3::ParamID id, vst3::int32 maxPoints)
  : mId(id), mMaxPoints(std::max<vst3::int32>(maxPoints, 1))
{
  mPoints.reserve(static_cast<std::size_t>(mMaxPoints));
}

vst3::tresult VST3_CALL ParamValueQueue::getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                                                  vst3::ParamValue& value)
{
  if (index < 0 || index >= getPointCount())
    return vst3::kResultFalse;
  sampleOffset = mPoints[static_cast<std::size_t>(index)].offset;
  value = mPoints[static_cast<std::size_t>(index)].value;
  return vst3::kResultOk;
}

vst3::tresult VST3_CALL ParamValueQueue::addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                                  vst3::int32& index)
{
  auto it = std::lower_bound(mPoints.begin(), mPoints.end(), sampleOffset,
                             [](const Point& p, vst3::int32 offset) { return p.offset < offset; });
  if (it != mPoints.end() && it->offset == sampleOffset) {
    it->value = value;
  } else {
    if (getPointCount() >= mMaxPoints)
      return vst3::kResultFalse;
    it = mPoints.insert(it, Point{sampleOffset, value});
  }
  index = static_cast<vst3::int32>(it - mPoints.begin());
  return vst3::kResultOk;
}

void ParamValueQueue::Reset(vst3::ParamID id)
{
  mId = id;
  mPoints.clear();
}

ParameterChanges::ParameterChanges(vst3::int32 maxQueues, vst3::int32 maxPointsPerQueue)
{
  const vst3::int32 n = std::max<vst3::int32>(maxQueues, 1);
  mQueues.reserve(static_cast<std::size_t>(n));
  for (vst3::int32 i = 0; i < n; ++i)
    mQueues.push_back(new ParamValueQueue(vst3::kNoParamId, maxPointsPerQueue));
}

ParameterChanges::~ParameterChanges()
{
  for (ParamValueQueue* q : mQueues)
    q->release();
}

vst3::IParamValueQueue* VST3_CALL ParameterChanges::getParameterData(vst3::int32 index)
{
  if (index < 0 || index >= mUsed)
    return nullptr;
  return mQueues[static_cast<std::size_t>(index)];
}

vst3::IParamValueQueue* VST3_CALL ParameterChanges::addParameterData(const vst3::ParamID& id, vst3::int32& index)
{
  for (vst3::int32 i = 0; i < mUsed; ++i) {
    if (mQueues[static_cast<std::size_t>(i)]->getParameterId() == id) {
      index = i;
      return mQueues[static_cast<std::size_t>(i)];
    }
  }
  if (mUsed >= static_cast<vst3::int32>(mQueues.size()))
    return nullptr;
  index = mUsed++;
  ParamValueQueue* q = mQueues[static_cast<std::size_t>(index)];
  q->Reset(id);
  return q;
}

bool ParameterChanges::AddPoint(vst3::ParamID id, vst3::int32 sampleOffset, vst3::ParamValue value)
{
  vst3::int32 index = 0;
  vst3::IParamValueQueue* q = addParameterData(id, index);
  vst3::int32 pointIndex = 0;
  return q && q->addPoint(sampleOffset, value, pointIndex) == vst3::kResultOk;
}

bool ParameterChanges::AddEmptyQueue(vst3::ParamID id)
{
  vst3::int32 index = 0;
  return addParameterData(id, index) != nullptr;
}

bool ParameterChanges::LastValue(vst3::ParamID id, vst3::ParamValue& value) const
{
  for (vst3::int32 i = 0; i < mUsed; ++i) {
    ParamValueQueue* q = mQueues[static_cast<std::size_t>(i)];
    const vst3::int32 n = q->getPointCount();
    if (q->getParameterId() == id && n > 0) {
      vst3::int32 offset = 0;
      return q->getPoint(n - 1, offset, value) == vst3::kResultOk;
    }
  }
  return false;
}

} // namespace vst3host
