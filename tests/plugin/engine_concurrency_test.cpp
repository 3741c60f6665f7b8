// The plug-in's threads at once, as in a host: UI-thread parameter edits
// through the handler, audio-thread processing with host automation through
// the realtime half, and idle-timer meter transfer. Run it in the
// thread-sanitizer build (tools/build.sh tsan) to prove there is no data race.

#include "plugin/TORV.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using iplug::ParamSource;

namespace
{

class CountingTORV : public TORV
{
public:
  void SendMsgToControl(int, int, int, const void*) override { delivered.fetch_add(1, std::memory_order_relaxed); }
  std::atomic<long> delivered{0};
};

double ValueInRange(const iplug::IParam& p, double phase)
{
  return p.GetMin() + (p.GetMax() - p.GetMin()) * phase;
}

} // namespace

TEST(TORVEngineConcurrency, EditsProcessingAndIdleTicksRunTogether)
{
  CountingTORV plug;
  plug.NotifyAllParams(ParamSource::Reset);
  plug.OnReset();
  std::atomic<bool> stop{false};

  std::thread ui([&] {
    for (int n = 0; !stop.load(); ++n)
    {
      const int idx = (n * 5) % kNumParams;
      if (idx == kBypass)
        continue;
      plug.GetParam(idx)->SetValue(ValueInRange(*plug.GetParam(idx), 0.5 + 0.5 * std::sin(0.3 * n)));
      plug.OnParamUpdate(idx, ParamSource::UI);
      if (n % 50 == 0)
        plug.OnIdleTick();
    }
  });

  std::vector<double> inL(256), inR(256), outL(256), outR(256);
  for (int block = 0; block < 300; ++block)
  {
    const int automated = (block * 3) % kNumParams;
    if (automated != kBypass)
    {
      plug.GetParam(automated)->SetValue(ValueInRange(*plug.GetParam(automated), (block % 10) / 9.0));
      plug.OnParamChangeRealtime(automated);
    }
    for (size_t i = 0; i < inL.size(); ++i)
    {
      inL[i] = 0.6 * std::sin(0.02 * static_cast<double>(block * 256 + static_cast<int>(i)));
      inR[i] = 0.3 * std::sin(0.5 * static_cast<double>(block * 256 + static_cast<int>(i)));
    }
    double* inputs[2] = {inL.data(), inR.data()};
    double* outputs[2] = {outL.data(), outR.data()};
    plug.ProcessBlock(inputs, outputs, 256);
    for (size_t i = 0; i < outL.size(); ++i)
      ASSERT_TRUE(std::isfinite(outL[i]) && std::isfinite(outR[i]));
  }
  stop.store(true);
  ui.join();
  plug.OnIdleTick();
  EXPECT_GT(plug.delivered.load(), 0);
}
