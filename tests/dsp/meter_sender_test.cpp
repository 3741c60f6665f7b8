#include "dsp/MeterSender.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace iplug;

namespace
{

std::vector<MeterRecord> Drain(MeterSender& sender)
{
  std::vector<MeterRecord> records;
  sender.Transmit([&](const MeterRecord& r) { records.push_back(r); });
  return records;
}

void SetWindowSamples(MeterSender& sender, int windowSamples)
{
  sender.SetWindow(windowSamples / 48.0, 48000.0);
}

void AddWindow(MeterSender& sender, double a, double b, int samples)
{
  for (int i = 0; i < samples; ++i)
    sender.AddSample(a, b);
}

} // namespace

TEST(MeterRecord, IsTwentyBytesWithTheDocumentedLayout)
{
  MeterRecord r;
  r.controlTag = 3;
  r.values[0] = 0.5f;
  r.values[1] = 0.25f;
  unsigned char bytes[20];
  static_assert(sizeof(r) == sizeof(bytes));
  std::memcpy(bytes, &r, sizeof(bytes));
  int32_t tag, count, channel;
  float v0, v1;
  std::memcpy(&tag, bytes, 4);
  std::memcpy(&count, bytes + 4, 4);
  std::memcpy(&channel, bytes + 8, 4);
  std::memcpy(&v0, bytes + 12, 4);
  std::memcpy(&v1, bytes + 16, 4);
  EXPECT_EQ(tag, 3);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(channel, 0);
  EXPECT_EQ(v0, 0.5f);
  EXPECT_EQ(v1, 0.25f);
}

TEST(MeterSender, DefaultsAndWindowFromRate)
{
  MeterSender sender;
  EXPECT_EQ(sender.ControlTag(), -1);
  EXPECT_EQ(sender.WindowSamples(), 240);
  sender.SetWindow(20.0, 48000.0);
  EXPECT_EQ(sender.WindowSamples(), 960);
  sender.SetWindow(20.0, 44100.0);
  EXPECT_EQ(sender.WindowSamples(), 882);
  sender.SetWindow(20.0, 1234.5678);
  EXPECT_EQ(sender.WindowSamples(), 24);
  sender.SetWindow(20.0, 0.0); // invalid rate keeps the previous length
  EXPECT_EQ(sender.WindowSamples(), 24);
  sender.SetWindow(20.0, 10.0); // less than one sample still makes a window
  EXPECT_EQ(sender.WindowSamples(), 1);
}

TEST(MeterSender, FirstRecordIsZerosThenWindowAverages)
{
  MeterSender sender(2);
  SetWindowSamples(sender, 4);
  sender.AddSample(0.5, -0.25);
  auto records = Drain(sender);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].controlTag, 2);
  EXPECT_EQ(records[0].values[0], 0.0f);
  EXPECT_EQ(records[0].values[1], 0.0f);

  AddWindow(sender, 0.5, -0.25, 3);
  sender.AddSample(0.0, 0.0); // starts the next window: sends the first full one
  records = Drain(sender);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_FLOAT_EQ(records[0].values[0], 0.5f);
  EXPECT_FLOAT_EQ(records[0].values[1], 0.25f);
}

TEST(MeterSender, SilenceStopsAfterLimitAndFirstLoudWindowIsSwallowed)
{
  const int n = 4;
  MeterSender sender(0);
  SetWindowSamples(sender, n);
  int sent = 0;
  // Window 0 (the initial zero record) plus 512 silent windows.
  for (int w = 0; w < 600; ++w)
  {
    AddWindow(sender, 0.0, 0.0, n);
    sent += static_cast<int>(Drain(sender).size());
  }
  EXPECT_EQ(sent, MeterSender::kSilentWindowLimit);

  AddWindow(sender, 1.0, 1.0, n); // loud window in progress, silent one closed: not sent
  EXPECT_EQ(Drain(sender).size(), 0u);
  AddWindow(sender, 1.0, 1.0, n); // closes the loud window: swallowed, counter 511
  EXPECT_EQ(Drain(sender).size(), 0u);
  AddWindow(sender, 1.0, 1.0, n); // the next one is sent
  const auto records = Drain(sender);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].values[0], 1.0f);
}

TEST(MeterSender, FullRingDropsNewRecordsWithoutOverwriting)
{
  const int n = 2;
  MeterSender sender(1);
  SetWindowSamples(sender, n);
  // 100 windows without a drain: the first 64 are kept, the rest dropped.
  for (int w = 0; w < 100; ++w)
    AddWindow(sender, w, w, n);
  sender.AddSample(0.0, 0.0);
  const auto records = Drain(sender);
  ASSERT_EQ(records.size(), 64u);
  EXPECT_EQ(records[0].values[0], 0.0f); // the initial record
  for (size_t i = 1; i < records.size(); ++i)
    EXPECT_EQ(records[i].values[0], static_cast<float>(i - 1)) << i; // oldest first, no gaps
  // Once drained, new records flow again.
  AddWindow(sender, 7.0, 7.0, n);
  const auto after = Drain(sender);
  ASSERT_EQ(after.size(), 1u);
}

TEST(MeterSender, ConcurrentProducerAndConsumerDeliverInOrder)
{
  MeterSender sender(0);
  SetWindowSamples(sender, 1);
  constexpr int kWindows = 20000;
  std::atomic<bool> done{false};
  std::vector<float> received;
  std::thread consumer([&] {
    while (!done.load(std::memory_order_acquire))
      sender.Transmit([&](const MeterRecord& r) { received.push_back(r.values[0]); });
    sender.Transmit([&](const MeterRecord& r) { received.push_back(r.values[0]); });
  });
  for (int w = 1; w <= kWindows; ++w)
    sender.AddSample(w, w);
  sender.AddSample(0.0, 0.0);
  done.store(true, std::memory_order_release);
  consumer.join();
  // Drops are allowed when the consumer lags; order and content are not.
  ASSERT_FALSE(received.empty());
  for (size_t i = 1; i < received.size(); ++i)
    ASSERT_LT(received[i - 1], received[i]);
}

// Block-wise feeding gives the records sample-wise feeding gives: four meters
// side by side and one alone, runs that cross window ends, meters whose
// windows are out of step, and a window shortened below the count reached.
TEST(MeterSender, AddFramesMatchesAddSampleRecordForRecord)
{
  constexpr int kStride = 8;
  std::vector<float> levels(kStride * 1000);
  for (size_t i = 0; i < levels.size(); ++i)
    levels[i] = static_cast<float>((i * 7919 % 1013) * 1e-3) * (i % 3 ? 1.0f : -1.0f);
  for (int count : {4, 1})
  {
    MeterSender blockWise[4], sampleWise[4];
    for (int m = 0; m < 4; ++m)
    {
      SetWindowSamples(blockWise[m], 37 + 20 * m);
      SetWindowSamples(sampleWise[m], 37 + 20 * m);
    }
    int frame = 0;
    for (int n : {1, 5, 200, 0, 64, 333})
    {
      if (n == 0)
      {
        for (MeterSender* s : {blockWise, sampleWise})
          for (int m = 0; m < 4; ++m)
            SetWindowSamples(s[m], 11);
        continue;
      }
      const float* at = levels.data() + static_cast<size_t>(frame) * kStride;
      MeterSender::AddFrames(blockWise, count, at, kStride, 4, n);
      for (int i = 0; i < n; ++i)
        for (int m = 0; m < count; ++m)
          sampleWise[m].AddSample(at[i * kStride + m], at[i * kStride + 4 + m]);
      frame += n;
    }
    for (int m = 0; m < 4; ++m)
    {
      const std::vector<MeterRecord> a = Drain(blockWise[m]), b = Drain(sampleWise[m]);
      ASSERT_EQ(a.size(), b.size()) << count << " " << m;
      EXPECT_TRUE(a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(MeterRecord)) == 0) << count << " " << m;
      EXPECT_EQ(a.empty(), m >= count);
    }
  }
}
