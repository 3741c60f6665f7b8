// GetPluginFactory: one shared factory offering the plug-in's single class,
// created on first request and again after the host released it completely.

#include "vst3/IPlugVST3.h"
#include "vst3/base/PluginFactory.h"
#include "vst3/module/PluginProduct.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace
{
constexpr const char* kSdkVersion = "VST 3.7.7";
constexpr vst3::uint32 kClassIdWord1 = 0xF2AEE70D;
constexpr vst3::uint32 kClassIdWord2 = 0x00DE4F4E;

vst3::PluginFactory* gFactory = nullptr;

// Instances are constructed one at a time: constructors touch process-wide
// framework state.
vst3::FUnknown* CreateInstance(void*)
{
  static std::mutex creationLock;
  std::lock_guard<std::mutex> lock(creationLock);
  iplug::IPlugVST3* plug = iplug::MakePlug();
  return static_cast<vst3::IAudioProcessor*>(plug);
}

const vst3::PClassInfo2& ClassInfo()
{
  static const vst3::PClassInfo2 info = [] {
    const iplug::Config config = iplug::MakePlugConfig();
    vst3::PClassInfo2 ci{};
    // The last two words are the maker's and the plug-in's four-character codes.
    const vst3::Uid cid = vst3::MakeUid(kClassIdWord1, kClassIdWord2, static_cast<vst3::uint32>(config.mfrID),
                                        static_cast<vst3::uint32>(config.uniqueID));
    std::memcpy(ci.cid, cid.bytes, sizeof(ci.cid));
    ci.cardinality = vst3::PClassInfo::kManyInstances;
    std::snprintf(ci.category, sizeof(ci.category), "%s", vst3::kVstAudioEffectClass);
    std::snprintf(ci.name, sizeof(ci.name), "%s", config.pluginName);
    ci.classFlags = vst3::kSimpleModeSupported;
    std::snprintf(ci.subCategories, sizeof(ci.subCategories), "%s", CALVORIN_SUB_CATEGORIES);
    const int v = config.vendorVersion;
    std::snprintf(ci.version, sizeof(ci.version), "%d.%d.%d", (v >> 16) & 0xFFFF, (v >> 8) & 0xFF, v & 0xFF);
    std::snprintf(ci.sdkVersion, sizeof(ci.sdkVersion), "%s", kSdkVersion);
    return ci;
  }();
  return info;
}
} // namespace

extern "C" VST3_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory()
{
  if (gFactory)
  {
    gFactory->addRef();
    return gFactory;
  }
  const iplug::Config config = iplug::MakePlugConfig();
  vst3::PFactoryInfo info{};
  std::snprintf(info.vendor, sizeof(info.vendor), "%s", config.mfrName);
  info.flags = vst3::PFactoryInfo::kUnicode;
  gFactory = new vst3::PluginFactory(info);
  gFactory->setOnDestroy([](vst3::PluginFactory* dying) {
    if (gFactory == dying)
      gFactory = nullptr;
  });
  gFactory->registerClass(ClassInfo(), CreateInstance);
  return gFactory;
}
