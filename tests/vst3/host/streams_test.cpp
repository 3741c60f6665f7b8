#include "vst3/abi/PluginBase.h"
#include "vst3/host/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace vst3host;

TEST(HostMemoryStream, WritesReadsAndSeeksLikeAHostStream)
{
  auto s = MakeCom<MemoryStream>();
  std::uint8_t data[6] = {1, 2, 3, 4, 5, 6};
  vst3::int32 written = -1;
  ASSERT_EQ(s->write(data, 6, &written), vst3::kResultOk);
  EXPECT_EQ(written, 6);

  vst3::int64 pos = -1;
  ASSERT_EQ(s->seek(2, vst3::IBStream::kIBSeekSet, &pos), vst3::kResultOk);
  EXPECT_EQ(pos, 2);
  std::uint8_t back[8] = {};
  vst3::int32 read = -1;
  ASSERT_EQ(s->read(back, 8, &read), vst3::kResultOk);
  EXPECT_EQ(read, 4) << "a short read marks the end of the data";
  EXPECT_EQ(back[0], 3);
  EXPECT_EQ(back[3], 6);
  ASSERT_EQ(s->read(back, 8, &read), vst3::kResultOk);
  EXPECT_EQ(read, 0);

  ASSERT_EQ(s->seek(-1, vst3::IBStream::kIBSeekEnd, &pos), vst3::kResultOk);
  EXPECT_EQ(pos, 5);
  EXPECT_NE(s->seek(-1, vst3::IBStream::kIBSeekSet, &pos), vst3::kResultOk) << "before the start";
  EXPECT_NE(s->seek(-7, vst3::IBStream::kIBSeekCur, nullptr), vst3::kResultOk);
  ASSERT_EQ(s->tell(&pos), vst3::kResultOk);
  EXPECT_EQ(pos, 5) << "a refused seek leaves the position";
  EXPECT_NE(s->seek(0, 7, nullptr), vst3::kResultOk) << "unknown mode";

  // Writing past the end extends the stream with zeros in the gap.
  ASSERT_EQ(s->seek(8, vst3::IBStream::kIBSeekSet, nullptr), vst3::kResultOk);
  ASSERT_EQ(s->write(data, 1, nullptr), vst3::kResultOk);
  EXPECT_EQ(s->Bytes(), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 0, 0, 1}));

  EXPECT_NE(s->read(nullptr, 4, &read), vst3::kResultOk);
  EXPECT_NE(s->write(data, -1, &written), vst3::kResultOk);
}

TEST(HostMemoryStream, ChunkLimitDeliversStateInPieces)
{
  auto s = MakeCom<MemoryStream>(std::vector<std::uint8_t>(300, 7));
  s->SetReadChunkLimit(128);
  std::uint8_t buf[512];
  vst3::int32 read = 0;
  std::vector<vst3::int32> pieces;
  do {
    ASSERT_EQ(s->read(buf, 512, &read), vst3::kResultOk);
    pieces.push_back(read);
  } while (read > 0);
  EXPECT_EQ(pieces, (std::vector<vst3::int32>{128, 128, 44, 0}));
}

TEST(HostMemoryStream, AnswersBothInterfacesAndFUnknownWithOneIdentity)
{
  auto s = MakeCom<MemoryStream>(std::vector<std::uint8_t>(10));
  auto sizeable = QueryInterface<vst3::ISizeableStream>(s.Get());
  ASSERT_TRUE(sizeable);
  vst3::int64 size = 0;
  ASSERT_EQ(sizeable->getStreamSize(size), vst3::kResultOk);
  EXPECT_EQ(size, 10);
  ASSERT_EQ(sizeable->setStreamSize(4), vst3::kResultOk);
  EXPECT_EQ(s->Bytes().size(), 4u);
  EXPECT_NE(sizeable->setStreamSize(-1), vst3::kResultOk);

  auto a = QueryInterface<vst3::FUnknown>(static_cast<vst3::IBStream*>(s.Get()));
  auto b = QueryInterface<vst3::FUnknown>(sizeable.Get());
  EXPECT_EQ(a.Get(), b.Get());
  EXPECT_EQ(s->RefCount(), 4u) << "the creation reference and three queried ones";

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(s->queryInterface(vst3::IPluginBase::iid, &none), vst3::kNoInterface);
  EXPECT_EQ(none, nullptr);
}
