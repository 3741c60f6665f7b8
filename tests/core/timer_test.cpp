#include "RecordingPlugin.h"

#include "core/Timer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

namespace
{

// Stands in for the host's run loop: hands out ids and records stops.
class ManualTimerSource : public iplug::TimerSource
{
public:
  iplug::TimerId StartTimer(int intervalMs) override
  {
    if (refuse)
      return 0;
    intervals.push_back(intervalMs);
    const iplug::TimerId id = sNext++;
    active.insert(id);
    return id;
  }
  void StopTimer(iplug::TimerId id) override { active.erase(id); }

  bool refuse = false;
  std::vector<int> intervals;
  std::set<iplug::TimerId> active;

private:
  // Unique across sources, as the process-wide list requires.
  static inline std::atomic<iplug::TimerId> sNext{1000};
};

} // namespace

TEST(Timer, TicksOnlyWhileStartedBySource)
{
  ManualTimerSource source;
  int ticks = 0;
  auto timer = iplug::Timer::Create([&](iplug::Timer&) { ++ticks; }, 20);
  EXPECT_FALSE(timer->IsRunning());
  EXPECT_EQ(timer->GetIntervalMs(), 20);

  ASSERT_TRUE(timer->Start(source));
  const auto id = static_cast<iplug::Timer_impl&>(*timer).GetId();
  EXPECT_EQ(source.intervals, std::vector<int>{20});
  EXPECT_TRUE(iplug::Timer::DeliverTick(id));
  EXPECT_TRUE(iplug::Timer::DeliverTick(id));
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(iplug::Timer::DeliverTick(id + 1));

  timer->Stop();
  EXPECT_FALSE(timer->IsRunning());
  EXPECT_TRUE(source.active.empty());
  EXPECT_FALSE(iplug::Timer::DeliverTick(id));
  EXPECT_EQ(ticks, 2);
}

TEST(Timer, RefusedSourceLeavesTimerUnlisted)
{
  ManualTimerSource source;
  source.refuse = true;
  const int before = iplug::Timer::NRunningTimers();
  auto timer = iplug::Timer::Create([](iplug::Timer&) {}, 20);
  EXPECT_FALSE(timer->Start(source));
  EXPECT_EQ(iplug::Timer::NRunningTimers(), before);
  EXPECT_FALSE(iplug::Timer::DeliverTick(0));
}

TEST(Timer, DestructionUnlistsAndStopsSystemTimer)
{
  ManualTimerSource source;
  const int before = iplug::Timer::NRunningTimers();
  iplug::TimerId id;
  {
    auto timer = iplug::Timer::Create([](iplug::Timer&) {}, 20);
    timer->Start(source);
    id = static_cast<iplug::Timer_impl&>(*timer).GetId();
    EXPECT_EQ(iplug::Timer::NRunningTimers(), before + 1);
  }
  EXPECT_EQ(iplug::Timer::NRunningTimers(), before);
  EXPECT_TRUE(source.active.empty());
  EXPECT_FALSE(iplug::Timer::DeliverTick(id));
}

TEST(Timer, FunctionMayStopItsOwnTimerWithoutDeadlock)
{
  ManualTimerSource source;
  int ticks = 0;
  auto timer = iplug::Timer::Create(
    [&](iplug::Timer& t) {
      ++ticks;
      t.Stop();
    },
    20);
  timer->Start(source);
  const auto id = static_cast<iplug::Timer_impl&>(*timer).GetId();
  EXPECT_TRUE(iplug::Timer::DeliverTick(id));
  EXPECT_FALSE(iplug::Timer::DeliverTick(id));
  EXPECT_EQ(ticks, 1);
}

TEST(Timer, ConcurrentStartStopAndTicksKeepListConsistent)
{
  ManualTimerSource sources[4];
  const int before = iplug::Timer::NRunningTimers();
  std::vector<std::thread> threads;
  for (auto& source : sources)
  {
    threads.emplace_back([&source] {
      for (int i = 0; i < 200; ++i)
      {
        int ticks = 0;
        auto timer = iplug::Timer::Create([&](iplug::Timer&) { ++ticks; }, 20);
        timer->Start(source);
        iplug::Timer::DeliverTick(static_cast<iplug::Timer_impl&>(*timer).GetId());
      }
    });
  }
  for (auto& t : threads)
    t.join();
  EXPECT_EQ(iplug::Timer::NRunningTimers(), before);
}

TEST(IPlugAPIBase, IdleTimerTicksOnIdleEveryTwentyMilliseconds)
{
  ManualTimerSource source;
  iplug::TimerId id;
  {
    calvorin_test::RecordingPlugin plug(calvorin_test::TestConfig(1, 0));
    EXPECT_FALSE(plug.GetIdleTimer().IsRunning()); // no run loop known yet
    ASSERT_TRUE(plug.StartIdleTimer(source));
    EXPECT_EQ(source.intervals, std::vector<int>{20});
    id = static_cast<iplug::Timer_impl&>(plug.GetIdleTimer()).GetId();
    iplug::Timer::DeliverTick(id);
    iplug::Timer::DeliverTick(id);
    EXPECT_EQ(plug.idleTicks, 2);
  }
  // Destroying the plug-in stops its timer first.
  EXPECT_TRUE(source.active.empty());
  EXPECT_FALSE(iplug::Timer::DeliverTick(id));
}
