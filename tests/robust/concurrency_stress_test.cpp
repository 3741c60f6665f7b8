// One thread processes blocks without pause while the UI thread does
// everything a user and a host do at the same time: edits, preset recall,
// state restore, host automation and the idle tick that drains the meters.
// Built into the thread-sanitizer configuration, where any data race fails it.

#include "tests/robust/TortureRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

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

TEST(ConcurrencyStress, UiChangesReachTheAudioThreadWholeAtBlockStarts)
{
  // The UI thread moves Time and Depth through a few values while the audio
  // thread processes. Every block must equal a run on one thread in which the
  // values the block ran with were set just before it.
  constexpr int kBlock = 64;
  constexpr int kBlocks = 1500;
  constexpr size_t kFrames = static_cast<size_t>(kBlock) * kBlocks;
  const std::array<std::pair<int, double>, 8> edits = {
    {{kTime, -1.0}, {kDepth, 0.0}, {kTime, -0.5}, {kDepth, 30.0}, {kTime, 0.25}, {kDepth, 80.0}, {kTime, 1.0},
     {kDepth, 100.0}}};
  const auto edit = [](TORV& plug, int idx, double value) {
    plug.ParamEditedInEditor(idx, plug.GetParam(idx)->RealToNorm(value));
  };

  Stereo in = MakeStereo(kFrames);
  Noise noise(9);
  for (size_t i = 0; i < kFrames; ++i)
  {
    in[0][i] = noise.Next() * (i / 4096 % 2 ? 0.8 : 0.02);
    in[1][i] = noise.Next() * 0.3;
  }

  // What the chain held during each block, read on the audio thread.
  struct Applied
  {
    double timeFactor;
    double depth;
  };
  std::vector<Applied> applied(kBlocks);
  Stereo out = MakeStereo(kFrames);
  {
    Rig rig;
    rig.Prepare(48000.0, kBlock);
    TORV& plug = rig.Plug();
    std::atomic<bool> stop{false};
    std::atomic<size_t> made{0};
    std::thread ui([&] {
      for (size_t n = 0; !stop.load(std::memory_order_relaxed); ++n)
      {
        edit(plug, edits[n % edits.size()].first, edits[n % edits.size()].second);
        made.store(n + 1, std::memory_order_relaxed);
        if (n % 7 == 0) // not a multiple of the table: the audio thread sees every pair
          std::this_thread::yield();
      }
    });
    size_t seen = 0;
    for (int b = 0; b < kBlocks; ++b)
    {
      if (b % 16 == 0) // on a busy machine, let the UI thread have its turn
      {
        while (made.load(std::memory_order_relaxed) == seen)
          std::this_thread::yield();
        seen = made.load(std::memory_order_relaxed);
      }
      rig.ProcessAt(in, out, static_cast<size_t>(b) * kBlock, kBlock);
      const iplug::ProcessingChain& chain = plug.GetProcessingChain();
      applied[static_cast<size_t>(b)] = {chain.TimeFactor(), chain.Dynamics(0).Depth()};
    }
    stop = true;
    ui.join();
  }

  // The reference: before each block, the edits that give the chain what the
  // block ran with.
  Rig reference;
  reference.Prepare(48000.0, kBlock);
  TORV& plug = reference.Plug();
  const iplug::ProcessingChain& chain = plug.GetProcessingChain();
  Stereo expected = MakeStereo(kFrames);
  int changes = 0;
  for (int b = 0; b < kBlocks; ++b)
  {
    const Applied want = applied[static_cast<size_t>(b)];
    if (b > 0)
      changes += want.timeFactor != applied[static_cast<size_t>(b) - 1].timeFactor ||
                 want.depth != applied[static_cast<size_t>(b) - 1].depth;
    for (const auto& [idx, value] : edits)
    {
      const bool held = idx == kTime ? chain.TimeFactor() == want.timeFactor : chain.Dynamics(0).Depth() == want.depth;
      if (!held)
      {
        edit(plug, idx, value);
        plug.ProcessBlock(nullptr, nullptr, 0); // applies the edit, processes nothing
      }
    }
    ASSERT_EQ(chain.TimeFactor(), want.timeFactor) << "block " << b << ": a value the UI never set";
    ASSERT_EQ(chain.Dynamics(0).Depth(), want.depth) << "block " << b;
    reference.ProcessAt(in, expected, static_cast<size_t>(b) * kBlock, kBlock);
    for (size_t i = static_cast<size_t>(b) * kBlock; i < static_cast<size_t>(b + 1) * kBlock; ++i)
    {
      ASSERT_EQ(out[0][i], expected[0][i]) << "block " << b << " frame " << i;
      ASSERT_EQ(out[1][i], expected[1][i]) << "block " << b << " frame " << i;
    }
  }
  EXPECT_GT(changes, 10); // the values did move while the audio thread ran
}
