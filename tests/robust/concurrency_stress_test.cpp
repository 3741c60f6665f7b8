// One thread processes blocks without pause while the UI thread does
// everything a user and a host do at the same time: edits, preset recall,
// state restore, host automation and the idle tick that drains the meters.
// Built into the thread-sanitizer configuration, where any data race fails it.

#include "tests/robust/TortureRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace torture;

TEST(ConcurrencyStress, AudioThreadRunsCleanWhileTheUiThreadEditsRecallsAndDrains)
{
  Rig rig;
  rig.Prepare(48000.0, 512);
  TORV& plug = rig.Plug();

  iplug::StateBlob saved;
  ASSERT_TRUE(plug.SerializeParams(saved));

  std::atomic<bool> stop{false};
  std::atomic<long> blocks{0};
  std::atomic<long> badSamples{0};

  std::thread audio([&] {
    Stereo in = MakeStereo(512);
    Stereo out = MakeStereo(512);
    Noise noise(42);
    int n = 1;
    while (!stop.load(std::memory_order_relaxed))
    {
      for (size_t i = 0; i < 512; ++i)
      {
        in[0][i] = noise.Next();
        in[1][i] = noise.Next() * 0.5;
      }
      n = n % 512 + 37; // sizes wander through 1..548, past the prepared 512
      rig.ProcessAt(in, out, 0, std::min(n, 512));
      // Host automation arrives on the audio thread too: the processor applies
      // queued values to the parameters and calls the real-time handler.
      const int idx = static_cast<int>(blocks.load(std::memory_order_relaxed) % kNumParams);
      if (idx != kBypass)
      {
        plug.GetParam(idx)->SetFromNormalized(0.5 + 0.5 * noise.Next());
        plug.OnParamChangeRealtime(idx);
      }
      long bad = 0;
      for (const auto& ch : out)
        for (double v : ch)
          bad += !std::isfinite(v);
      badSamples.fetch_add(bad, std::memory_order_relaxed);
      blocks.fetch_add(1, std::memory_order_relaxed);
    }
  });

  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int round = 0;
  while (std::chrono::steady_clock::now() < until || blocks.load() < 200)
  {
    const int idx = round % kNumParams;
    const double norm = static_cast<double>(round % 101) / 100.0;
    switch (round % 6)
    {
      case 0: // a user's drag
        plug.BeginParamGesture(idx);
        plug.ParamEditedInEditor(idx, norm);
        plug.EndParamGesture(idx);
        break;
      case 1: // preset menu
        plug.LoadPreset(round % plug.NPresets());
        break;
      case 2: // the host restores a project
        plug.UnserializeParams(saved, 0);
        break;
      case 3: // the controller's setParamNormalized
        plug.GetParam(idx)->SetFromNormalized(norm);
        plug.OnParamChange(idx, iplug::ParamSource::Host, -1);
        break;
      case 4: // the 20 ms idle tick
        plug.OnIdleTick();
        break;
      default: // the host saves
      {
        iplug::StateBlob chunk;
        plug.SerializeParams(chunk);
        break;
      }
    }
    ++round;
    if (round % 64 == 0)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  stop = true;
  audio.join();

  EXPECT_GT(blocks.load(), 200);
  EXPECT_EQ(badSamples.load(), 0);
}
