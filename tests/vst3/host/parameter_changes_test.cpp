#include "vst3/host/EventList.h"
#include "vst3/host/ParameterChanges.h"

#include <gtest/gtest.h>

using namespace vst3host;

TEST(HostParameterChanges, OneQueuePerParameterWithSortedPoints)
{
  auto changes = MakeCom<ParameterChanges>(4, 3);
  vst3::int32 index = -1;
  vst3::IParamValueQueue* q = changes->addParameterData(22, index);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(q->getParameterId(), 22u);
  EXPECT_EQ(changes->addParameterData(22, index), q) << "the same ID gives the same queue";
  EXPECT_EQ(changes->getParameterCount(), 1);

  vst3::int32 at = -1;
  ASSERT_EQ(q->addPoint(64, 0.75, at), vst3::kResultOk);
  ASSERT_EQ(q->addPoint(0, 0.25, at), vst3::kResultOk);
  EXPECT_EQ(at, 0) << "kept in offset order";
  ASSERT_EQ(q->addPoint(64, 0.5, at), vst3::kResultOk);
  EXPECT_EQ(q->getPointCount(), 2) << "a point at the same offset replaces the old one";
  vst3::int32 offset = -1;
  vst3::ParamValue value = -1;
  ASSERT_EQ(q->getPoint(1, offset, value), vst3::kResultOk);
  EXPECT_EQ(offset, 64);
  EXPECT_EQ(value, 0.5);
  EXPECT_NE(q->getPoint(2, offset, value), vst3::kResultOk);
  EXPECT_NE(q->getPoint(-1, offset, value), vst3::kResultOk);

  ASSERT_EQ(q->addPoint(10, 0.1, at), vst3::kResultOk);
  EXPECT_NE(q->addPoint(20, 0.2, at), vst3::kResultOk) << "the queue's capacity is reserved, never grown";

  vst3::ParamValue last = 0;
  ASSERT_TRUE(changes->LastValue(22, last));
  EXPECT_EQ(last, 0.5);
  EXPECT_FALSE(changes->LastValue(23, last));
  EXPECT_EQ(changes->getParameterData(1), nullptr);
  EXPECT_EQ(changes->getParameterData(-1), nullptr);
}

TEST(HostParameterChanges, ClearReusesStorageAndAFullListRefuses)
{
  auto changes = MakeCom<ParameterChanges>(2, 4);
  EXPECT_TRUE(changes->AddPoint(1, 0, 0.1));
  EXPECT_TRUE(changes->AddEmptyQueue(vst3::kNoParamId));
  EXPECT_FALSE(changes->AddPoint(3, 0, 0.3)) << "no third queue";
  EXPECT_EQ(changes->getParameterCount(), 2);
  EXPECT_EQ(changes->getParameterData(1)->getPointCount(), 0);

  changes->Clear();
  EXPECT_EQ(changes->getParameterCount(), 0);
  ASSERT_TRUE(changes->AddPoint(3, 5, 0.3));
  vst3::IParamValueQueue* q = changes->getParameterData(0);
  EXPECT_EQ(q->getParameterId(), 3u);
  EXPECT_EQ(q->getPointCount(), 1) << "a reused queue starts empty";
}

TEST(HostEventList, CopiesEventsInAndOutAndRefusesWhenFull)
{
  auto events = MakeCom<EventList>(2);
  vst3::Event e{};
  e.type = vst3::Event::kNoteOnEvent;
  e.sampleOffset = 12;
  e.noteOn.pitch = 60;
  EXPECT_EQ(events->addEvent(e), vst3::kResultOk);
  e.noteOn.pitch = 61;
  EXPECT_EQ(events->addEvent(e), vst3::kResultOk);
  EXPECT_EQ(events->addEvent(e), vst3::kResultFalse);
  vst3::Event out{};
  ASSERT_EQ(events->getEvent(0, out), vst3::kResultOk);
  EXPECT_EQ(out.noteOn.pitch, 60);
  EXPECT_EQ(out.sampleOffset, 12);
  EXPECT_NE(events->getEvent(2, out), vst3::kResultOk);
  events->Clear();
  EXPECT_EQ(events->getEventCount(), 0);
}
