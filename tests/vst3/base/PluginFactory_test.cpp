#include "vst3/base/PluginFactory.h"

#include "vst3/abi/PlugView.h"
#include "vst3/base/SingleComponentEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

using namespace vst3;

namespace
{
int gCreated = 0;
int gLiving = 0;

class Probe : public SingleComponentEffect
{
public:
  Probe() { ++gLiving; }
  ~Probe() override { --gLiving; }
};

FUnknown* CreateProbe(void*)
{
  ++gCreated;
  return static_cast<IComponent*>(new Probe);
}

FUnknown* CreateThrowing(void*) { throw std::runtime_error("no"); }

constexpr Uid kProbeCid = MakeUid(0x11111111, 0x22222222, 0x33333333, 0x44444444);
constexpr Uid kThrowCid = MakeUid(0x55555555, 0x22222222, 0x33333333, 0x44444444);

PluginFactory* MakeFactory()
{
  PFactoryInfo fi{};
  std::strcpy(fi.vendor, "Vendor");
  auto* f = new PluginFactory(fi);
  PClassInfo2 ci{};
  std::memcpy(ci.cid, kProbeCid.bytes, 16);
  ci.cardinality = PClassInfo::kManyInstances;
  std::strcpy(ci.category, kVstAudioEffectClass);
  std::strcpy(ci.name, "Probe");
  std::strcpy(ci.version, "1.2.3");
  f->registerClass(ci, CreateProbe);
  std::memcpy(ci.cid, kThrowCid.bytes, 16);
  f->registerClass(ci, CreateThrowing);
  return f;
}
} // namespace

TEST(Vst3PluginFactory, ReportsInformationInEveryGeneration)
{
  PluginFactory* f = MakeFactory();
  PFactoryInfo fi{};
  EXPECT_EQ(f->getFactoryInfo(&fi), kResultOk);
  EXPECT_EQ(fi.flags, PFactoryInfo::kUnicode);
  EXPECT_STREQ(fi.vendor, "Vendor");
  EXPECT_EQ(f->countClasses(), 2);

  PClassInfo c1{};
  PClassInfo2 c2{};
  PClassInfoW cw{};
  EXPECT_EQ(f->getClassInfo(0, &c1), kResultOk);
  EXPECT_STREQ(c1.name, "Probe");
  EXPECT_EQ(f->getClassInfo2(0, &c2), kResultOk);
  EXPECT_STREQ(c2.version, "1.2.3");
  EXPECT_EQ(f->getClassInfoUnicode(0, &cw), kResultOk);
  EXPECT_EQ(std::u16string(cw.name), u"Probe");
  EXPECT_EQ(std::u16string(cw.version), u"1.2.3");
  EXPECT_STREQ(cw.category, "Audio Module Class");
  EXPECT_EQ(std::memcmp(cw.cid, kProbeCid.bytes, 16), 0);
  EXPECT_EQ(f->getClassInfo(2, &c1), kInvalidArgument);
  EXPECT_EQ(f->getClassInfo2(-1, &c2), kInvalidArgument);
  EXPECT_EQ(f->getClassInfoUnicode(0, nullptr), kInvalidArgument);

  void* p = nullptr;
  EXPECT_EQ(f->queryInterface(IPluginFactory3::iid, &p), kResultOk);
  EXPECT_EQ(p, static_cast<IPluginFactory3*>(f));
  EXPECT_EQ(f->queryInterface(IComponent::iid, &p), kNoInterface);
  EXPECT_EQ(p, nullptr);
  f->release();
  EXPECT_EQ(f->release(), 0u);
}

TEST(Vst3PluginFactory, CreateInstanceHandsOverOneReferenceAndCleansUpFailures)
{
  bool destroyed = false;
  PluginFactory* f = MakeFactory();
  f->setOnDestroy([&](PluginFactory*) { destroyed = true; });

  void* obj = nullptr;
  ASSERT_EQ(f->createInstance(kProbeCid.bytes, IComponent::iid, &obj), kResultOk);
  EXPECT_EQ(gLiving, 1);
  EXPECT_EQ(static_cast<IComponent*>(obj)->release(), 0u);
  EXPECT_EQ(gLiving, 0);

  // A supported class but an interface it lacks: the object is destroyed.
  obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(f->createInstance(kProbeCid.bytes, IPlugView::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(gLiving, 0);

  const int created = gCreated;
  const Uid unknownCid = MakeUid(1, 2, 3, 4);
  EXPECT_EQ(f->createInstance(unknownCid.bytes, IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(gCreated, created);

  // A throwing constructor must not unwind into the host.
  EXPECT_EQ(f->createInstance(kThrowCid.bytes, IComponent::iid, &obj), kOutOfMemory);
  EXPECT_EQ(obj, nullptr);

  EXPECT_EQ(f->createInstance(kProbeCid.bytes, IComponent::iid, nullptr), kInvalidArgument);
  f->release();
  EXPECT_TRUE(destroyed);
}
