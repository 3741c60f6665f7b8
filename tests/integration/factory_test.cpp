// The module's entry points and class factory, read the way hosts read them.

#include "ModuleFixture.h"

#include "vst3/host/Strings.h"

#include <cstring>
#include <fstream>
#include <iterator>

using namespace calvorin_test;
using namespace vst3host;

using ModuleFactory = ModuleTest;

TEST_F(ModuleFactory, FactoryInformationNamesTheMakerWithEmptyUrlAndEmail)
{
  const FactoryInfo info = module->GetFactoryInfo();
  EXPECT_EQ(info.vendor, "Fenmarch");
  EXPECT_EQ(info.url, "");
  EXPECT_EQ(info.email, "");
  EXPECT_EQ(info.flags, vst3::PFactoryInfo::kUnicode);
  EXPECT_TRUE(module->Factory2());
  EXPECT_TRUE(module->Factory3());
}

TEST_F(ModuleFactory, ExactlyOneClassWithItsPlatformEncodedIdAndStrings)
{
  const auto classes = module->Classes();
  ASSERT_EQ(classes.size(), 1u);
  const ClassInfo& c = classes[0];
  EXPECT_EQ(c.infoLevel, 3) << "read through getClassInfoUnicode";
  EXPECT_EQ(c.cidText, kClassIdText);
#if VST3_COM_COMPATIBLE
  const unsigned char bytes[16] = {0x0D, 0xE7, 0xAE, 0xF2, 0xDE, 0x00, 0x4E, 0x4F,
                                   0x46, 0x6D, 0x63, 0x68, 0x52, 0x41, 0x76, 0x4B};
#else
  const unsigned char bytes[16] = {0xF2, 0xAE, 0xE7, 0x0D, 0x00, 0xDE, 0x4F, 0x4E,
                                   0x46, 0x6D, 0x63, 0x68, 0x52, 0x41, 0x76, 0x4B};
#endif
  EXPECT_EQ(std::memcmp(c.cid.data(), bytes, 16), 0);
  EXPECT_EQ(c.cardinality, 0x7FFFFFFF);
  EXPECT_EQ(c.category, "Audio Module Class");
  EXPECT_EQ(c.name, "Calvorin");
  EXPECT_EQ(c.classFlags, 2u);
  EXPECT_EQ(c.subCategories, "Fx|Dynamics");
  EXPECT_EQ(c.vendor, "Fenmarch") << "empty class vendor: the factory's applies";
  EXPECT_EQ(c.version, CALVORIN_VERSION) << "the VERSION file's text";
  EXPECT_EQ(c.sdkVersion, "VST 3.7.7");
}

// Hosts that scan moduleinfo.json instead of loading the module see the same class.
TEST_F(ModuleFactory, ModuleInfoFileDescribesTheFactorysClass)
{
  std::ifstream file(BundlePath() + "/Contents/Resources/moduleinfo.json");
  ASSERT_TRUE(file) << BundlePath();
  const std::string json((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  for (const std::string& entry :
       {"\"CID\": \"" + cls.cidText + "\"", "\"Name\": \"" + cls.name + "\"", "\"Vendor\": \"" + cls.vendor + "\"",
        "\"Version\": \"" + cls.version + "\"", "\"SDKVersion\": \"" + cls.sdkVersion + "\"",
        "\"Sub Categories\": [\"" + cls.subCategories + "\"]", "\"Class Flags\": " + std::to_string(cls.classFlags)})
    EXPECT_NE(json.find(entry), std::string::npos) << entry;
}

TEST_F(ModuleFactory, EveryClassInfoGenerationAgreesAndOutOfRangeIsRefused)
{
  vst3::PClassInfo v1{};
  ASSERT_EQ(module->Factory()->getClassInfo(0, &v1), vst3::kResultOk);
  EXPECT_EQ(std::memcmp(v1.cid, cls.cid.data(), 16), 0);
  EXPECT_EQ(FixedString(v1.name), "Calvorin");
  EXPECT_EQ(FixedString(v1.category), "Audio Module Class");

  auto f2 = module->Factory2();
  vst3::PClassInfo2 v2{};
  ASSERT_EQ(f2->getClassInfo2(0, &v2), vst3::kResultOk);
  EXPECT_EQ(FixedString(v2.vendor), "") << "the class's own vendor stays empty";
  EXPECT_EQ(FixedString(v2.sdkVersion), "VST 3.7.7");

  auto f3 = module->Factory3();
  vst3::PClassInfoW w{};
  EXPECT_NE(f3->getClassInfoUnicode(1, &w), vst3::kResultOk);
  EXPECT_NE(f3->getClassInfoUnicode(-1, &w), vst3::kResultOk);
  EXPECT_NE(f2->getClassInfo2(1, &v2), vst3::kResultOk);
  EXPECT_NE(module->Factory()->getClassInfo(1, &v1), vst3::kResultOk);
  EXPECT_NE(module->Factory()->getClassInfo(0, nullptr), vst3::kResultOk);
#if defined(__linux__)
  const vst3::tresult hostContext = vst3::kResultOk; // where a module-wide run loop may come from
#else
  const vst3::tresult hostContext = vst3::kNotImplemented;
#endif
  EXPECT_EQ(f3->setHostContext(static_cast<vst3::IHostApplication*>(host.Get())), hostContext);
  EXPECT_EQ(f3->setHostContext(nullptr), hostContext);
}

TEST_F(ModuleFactory, GetPluginFactoryHandsOutOneSharedFactoryAndRebuildsItAfterRelease)
{
  vst3::IPluginFactory* again = module->FactoryFunction()();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again, module->Factory()) << "the live factory, one reference more";
  again->release();

  // Release every reference, then ask again: a new factory with the same class.
  std::string error;
  plugin.reset();
  const ModuleEntryPoints entry = module->EntryPoints();
  auto getFactory = module->FactoryFunction();
  // Keep the library loaded while the module object lets go of its factory.
  auto keep = SharedLibrary::Open(module->LibraryPath(), error);
  ASSERT_TRUE(keep) << error;
  ASSERT_TRUE(entry.Enter(keep->NativeHandle()));
  module.reset();
  auto fresh = ComPtr<vst3::IPluginFactory>::Adopt(getFactory());
  ASSERT_TRUE(fresh);
  ASSERT_EQ(fresh->countClasses(), 1);
  vst3::PClassInfo info{};
  ASSERT_EQ(fresh->getClassInfo(0, &info), vst3::kResultOk);
  EXPECT_EQ(UidToString(info.cid), kClassIdText);
  EXPECT_EQ(FixedString(info.name), "Calvorin");
  fresh.Reset();
  EXPECT_TRUE(entry.Exit());
}

TEST_F(ModuleFactory, EntryAndExitAreCounted)
{
  const ModuleEntryPoints& entry = module->EntryPoints();
#if defined(_WIN32)
  ASSERT_TRUE(entry.initDll && entry.exitDll) << "modules export InitDll and ExitDll";
#endif
  EXPECT_TRUE(entry.Enter(module->NativeHandle())) << "a second entry";
  EXPECT_TRUE(entry.Exit()) << "balanced: back to the count the loader holds";
  EXPECT_TRUE(entry.Enter(module->NativeHandle()));
  EXPECT_TRUE(entry.Exit());
}

TEST_F(ModuleFactory, CreateInstanceRefusesUnknownClassesAndInterfaces)
{
  void* obj = reinterpret_cast<void*>(1);
  const vst3::Uid unknown = vst3::MakeUid(1, 2, 3, 4);
  EXPECT_EQ(module->Factory()->createInstance(unknown.bytes, vst3::IComponent::iid, &obj), vst3::kNoInterface);
  EXPECT_EQ(obj, nullptr);
  obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(module->Factory()->createInstance(cls.cid.data(), vst3::IPlugView::iid, &obj), vst3::kNoInterface);
  EXPECT_EQ(obj, nullptr);

  // The same class created through each interface hosts ask for.
  EXPECT_TRUE(module->CreateInstance<vst3::IComponent>(cls.cid.data()));
  EXPECT_TRUE(module->CreateInstance<vst3::IAudioProcessor>(cls.cid.data()));
  EXPECT_TRUE(module->CreateInstance<vst3::IEditController>(cls.cid.data()));
}
