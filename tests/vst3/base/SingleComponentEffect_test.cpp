#include "vst3/base/SingleComponentEffect.h"
#include "vst3/abi/PlugView.h"

#include "tests/vst3/base/TestObjects.h"

#include <gtest/gtest.h>

using namespace vst3;

namespace
{
int gLiving = 0;

// Distinct component and controller state so a mix-up between the two
// setState/getState slots shows.
class Effect : public SingleComponentEffect
{
public:
  Effect() { ++gLiving; }
  ~Effect() override { --gLiving; }
  tresult setComponentStreamState(IBStream*) override { componentLoads++; return kResultOk; }
  tresult setControllerState(IBStream*) override { controllerLoads++; return kResultOk; }
  int componentLoads = 0;
  int controllerLoads = 0;
};

template <class I>
I* Query(FUnknown* object)
{
  void* p = nullptr;
  return object->queryInterface(I::iid, &p) == kResultOk ? static_cast<I*>(p) : nullptr;
}
} // namespace

TEST(Vst3SingleComponentEffect, AnswersEveryRoleOnOneCountAndRefusesConnectionPoints)
{
  auto* effect = new Effect;
  FUnknown* unknown = Query<FUnknown>(static_cast<IComponent*>(effect));
  ASSERT_NE(unknown, nullptr);
  auto* component = Query<IComponent>(unknown);
  auto* processor = Query<IAudioProcessor>(unknown);
  auto* controller = Query<IEditController>(processor);
  auto* units = Query<IUnitInfo>(controller);
  auto* requirements = Query<IProcessContextRequirements>(component);
  ASSERT_TRUE(component && processor && controller && units && requirements);
  EXPECT_NE(Query<IEditController2>(component), nullptr);
  EXPECT_NE(Query<IPluginBase>(component), nullptr);

  // Identity: FUnknown is the same pointer from every interface.
  EXPECT_EQ(Query<FUnknown>(controller), unknown);
  EXPECT_EQ(Query<FUnknown>(processor), unknown);

  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(unknown->queryInterface(IConnectionPoint::iid, &p), kNoInterface);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(unknown->queryInterface(IPlugView::iid, &p), kNoInterface);

  // 1 creation + 10 successful queries above, + this addRef.
  EXPECT_EQ(effect->addRef(), 12u);
  for (int i = 0; i < 11; ++i)
    unknown->release();
  EXPECT_EQ(gLiving, 1);
  EXPECT_EQ(unknown->release(), 0u);
  EXPECT_EQ(gLiving, 0);
}

TEST(Vst3SingleComponentEffect, ComponentAndControllerStateUseTheirOwnSlots)
{
  auto* effect = new Effect;
  static_cast<IComponent*>(effect)->setState(nullptr);
  EXPECT_EQ(effect->componentLoads, 1);
  EXPECT_EQ(effect->controllerLoads, 0);
  static_cast<IEditController*>(effect)->setState(nullptr);
  EXPECT_EQ(effect->controllerLoads, 1);
  EXPECT_EQ(static_cast<IComponent*>(effect)->getState(nullptr), kNotImplemented);
  effect->release();
}

TEST(Vst3SingleComponentEffect, LifecycleHoldsAndReleasesHostObjects)
{
  auto* effect = new Effect;
  vst3test::CountingContext context;
  vst3test::RecordingHandler handler;
  IComponent* component = effect;
  EXPECT_EQ(component->initialize(&context), kResultOk);
  EXPECT_EQ(context.refs, 2);
  EXPECT_EQ(component->initialize(&context), kResultFalse);
  EXPECT_EQ(effect->setComponentHandler(&handler), kResultTrue);
  EXPECT_EQ(handler.refs, 3); // IComponentHandler and IComponentHandler2
  EXPECT_EQ(effect->beginEdit(3), kResultOk);
  effect->startGroupEdit();
  effect->performEdit(3, 0.5);
  effect->finishGroupEdit();
  effect->endEdit(3);
  EXPECT_EQ(handler.log, "b3 [ p3=0.50 ] e3 ");
  EXPECT_EQ(component->terminate(), kResultOk);
  EXPECT_EQ(context.refs, 1);
  EXPECT_EQ(handler.refs, 1);
  EXPECT_EQ(component->initialize(&context), kResultOk); // a terminated object initialises again
  EXPECT_EQ(effect->beginEdit(1), kResultFalse);          // no handler any more
  component->terminate();
  effect->release();
}

TEST(Vst3SingleComponentEffect, BusQueriesRejectBadIndicesAndTypes)
{
  auto* effect = new Effect;
  effect->addAudioInput(u"Input", SpeakerArr::kStereo);
  effect->addAudioOutput(u"Output", SpeakerArr::kMono, kMain, 0);
  BusInfo info{};
  EXPECT_EQ(effect->getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_EQ(info.flags, BusInfo::kDefaultActive);
  EXPECT_EQ(std::u16string(info.name), u"Input");
  EXPECT_EQ(effect->getBusInfo(kAudio, kInput, -1, info), kInvalidArgument);
  EXPECT_EQ(effect->getBusInfo(kAudio, kInput, 1, info), kInvalidArgument);
  EXPECT_EQ(effect->getBusInfo(7, kInput, 0, info), kInvalidArgument);
  EXPECT_EQ(effect->getBusCount(kEvent, kInput), 0);
  EXPECT_EQ(effect->getBusCount(9, kInput), 0);
  EXPECT_EQ(effect->activateBus(kAudio, kOutput, -1, 1), kInvalidArgument);
  EXPECT_EQ(effect->activateBus(kAudio, kOutput, 0, 1), kResultTrue);
  EXPECT_TRUE(effect->getAudioBus(kOutput, 0)->isActive());

  SpeakerArrangement arr = 0;
  EXPECT_EQ(effect->getBusArrangement(kOutput, 0, arr), kResultTrue);
  EXPECT_EQ(arr, SpeakerArr::kMono);
  EXPECT_EQ(effect->getBusArrangement(kOutput, -1, arr), kInvalidArgument);

  ProcessSetup setup{kRealtime, kSample64, 512, 48000.0};
  EXPECT_EQ(effect->setupProcessing(setup), kResultFalse); // 32-bit only at this level
  EXPECT_EQ(effect->processSetup().maxSamplesPerBlock, 1024);
  effect->release();
}
