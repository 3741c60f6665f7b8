#include "vst3/base/PluginFactory.h"

#include "vst3/abi/LinuxRunLoop.h"
#include "vst3/base/StringConvert.h"

#include <cstring>

namespace vst3
{

PluginFactory::PluginFactory(const PFactoryInfo& info) : mInfo(info)
{
  // Class strings are always also offered as UTF-16.
  mInfo.flags |= PFactoryInfo::kUnicode;
}

PluginFactory::~PluginFactory()
{
  if (mRunLoop)
    mRunLoop->release();
  if (mOnDestroy)
    mOnDestroy(this);
}

void PluginFactory::registerClass(const PClassInfo2& info, CreateFunction create, void* context)
{
  ClassEntry entry{};
  entry.info8 = info;
  PClassInfoW& w = entry.info16;
  std::memcpy(w.cid, info.cid, sizeof(TUID));
  w.cardinality = info.cardinality;
  CopyBounded8(w.category, info.category, PClassInfo::kCategorySize);
  WidenBytes(info.name, w.name, PClassInfo::kNameSize);
  w.classFlags = info.classFlags;
  CopyBounded8(w.subCategories, info.subCategories, PClassInfo2::kSubCategoriesSize);
  WidenBytes(info.vendor, w.vendor, PClassInfo2::kVendorSize);
  WidenBytes(info.version, w.version, PClassInfo2::kVersionSize);
  WidenBytes(info.sdkVersion, w.sdkVersion, PClassInfo2::kVersionSize);
  entry.create = create;
  entry.context = context;
  mClasses.push_back(entry);
}

tresult PluginFactory::queryInterface(const TUID queriedIid, void** obj)
{
  if (!obj)
    return kInvalidArgument;
  *obj = nullptr;
  if (!queriedIid)
    return kNoInterface;
  if (IidEqual(queriedIid, IPluginFactory::iid) || IidEqual(queriedIid, IPluginFactory2::iid) ||
      IidEqual(queriedIid, IPluginFactory3::iid) || IidEqual(queriedIid, FUnknown::iid))
  {
    addRef();
    *obj = static_cast<IPluginFactory3*>(this);
    return kResultOk;
  }
  return kNoInterface;
}

uint32 PluginFactory::addRef() { return mRefCount.Add(); }

uint32 PluginFactory::release()
{
  const uint32 count = mRefCount.Remove();
  if (count == 0)
    delete this;
  return count;
}

tresult PluginFactory::getFactoryInfo(PFactoryInfo* info)
{
  if (info)
    *info = mInfo;
  return kResultOk;
}

int32 PluginFactory::countClasses() { return static_cast<int32>(mClasses.size()); }

tresult PluginFactory::getClassInfo(int32 index, PClassInfo* info)
{
  if (!info || index < 0 || index >= countClasses())
    return kInvalidArgument;
  const PClassInfo2& c = mClasses[static_cast<size_t>(index)].info8;
  std::memcpy(info->cid, c.cid, sizeof(TUID));
  info->cardinality = c.cardinality;
  std::memcpy(info->category, c.category, sizeof(info->category));
  std::memcpy(info->name, c.name, sizeof(info->name));
  return kResultOk;
}

tresult PluginFactory::getClassInfo2(int32 index, PClassInfo2* info)
{
  if (!info || index < 0 || index >= countClasses())
    return kInvalidArgument;
  *info = mClasses[static_cast<size_t>(index)].info8;
  return kResultOk;
}

tresult PluginFactory::getClassInfoUnicode(int32 index, PClassInfoW* info)
{
  if (!info || index < 0 || index >= countClasses())
    return kInvalidArgument;
  *info = mClasses[static_cast<size_t>(index)].info16;
  return kResultOk;
}

tresult PluginFactory::createInstance(FIDString cid, FIDString queriedIid, void** obj)
{
  if (!obj)
    return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !queriedIid)
    return kInvalidArgument;
  for (const ClassEntry& entry : mClasses)
  {
    if (!IidEqual(cid, entry.info8.cid))
      continue;
    // An exception must not unwind into the host.
    FUnknown* instance = nullptr;
    try
    {
      instance = entry.create(entry.context);
    }
    catch (...)
    {
      return kOutOfMemory;
    }
    if (!instance)
      return kOutOfMemory;
    const tresult result = instance->queryInterface(queriedIid, obj);
    instance->release(); // the creation reference; destroys the object when the query failed
    if (result != kResultOk)
    {
      *obj = nullptr;
      return kNoInterface;
    }
    return kResultOk;
  }
  return kNoInterface;
}

tresult PluginFactory::setHostContext(FUnknown* context)
{
#if defined(__linux__)
  if (mRunLoop)
  {
    mRunLoop->release();
    mRunLoop = nullptr;
  }
  void* runLoop = nullptr;
  if (context && context->queryInterface(Linux::IRunLoop::iid, &runLoop) == kResultOk)
    mRunLoop = static_cast<Linux::IRunLoop*>(runLoop);
  return kResultTrue;
#else
  (void)context;
  return kNotImplemented;
#endif
}

} // namespace vst3
