#include "tools/calvorin/AudioFile.h"
#include "tools/calvorin/OutputFormat.h"
#include "tests/tools/SndfileFormats.h"
#include "tests/tools/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <fstream>

using namespace calvorin::cli;
using calvorin::test::LibsndfileHasFlac;
using calvorin::test::TempDir;

namespace
{

// Writes integer samples straight through libsndfile (not through our writer).
void WriteRawShorts(const std::string& path, int format, int rate, int channels, const std::vector<short>& samples)
{
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  sf_writef_short(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
  sf_close(file);
}

std::vector<short> ReadRawShorts(const std::string& path, SF_INFO& info)
{
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  EXPECT_NE(file, nullptr);
  std::vector<short> samples(static_cast<size_t>(info.frames * info.channels));
  if (file)
  {
    sf_readf_short(file, samples.data(), info.frames);
    sf_close(file);
  }
  return samples;
}

// Reads a whole file through our reader and writes it through our writer, in
// the format calvorin chooses for the destination.
void Copy(const std::string& from, const std::string& to)
{
  AudioFileReader reader;
  std::string error;
  ASSERT_TRUE(reader.Open(from, error)) << error;
  AudioFormat format;
  ASSERT_TRUE(ChooseOutputFormat(to, reader.Format(), format, error)) << error;
  AudioFileWriter writer;
  ASSERT_TRUE(writer.Open(to, format, error)) << error;
  std::vector<std::vector<double>> buffers(static_cast<size_t>(reader.Format().channels), std::vector<double>(100));
  std::vector<double*> ptrs;
  for (auto& b : buffers)
    ptrs.push_back(b.data());
  while (const int n = reader.Read(ptrs.data(), 100))
    ASSERT_TRUE(writer.Write(ptrs.data(), n, error)) << error;
  ASSERT_TRUE(writer.Commit(error)) << error;
}

} // namespace

TEST(AudioFiles, IntegerSamplesSurviveReadAndWriteBitForBit)
{
  TempDir dir;
  std::vector<short> samples;
  for (int i = 0; i < 999; ++i)
    samples.push_back(static_cast<short>(i * 131 % 65536 - 32768));
  samples.push_back(32767);
  samples.push_back(-32768);
  samples.push_back(0);
  WriteRawShorts(dir / "in.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, samples);

  Copy(dir / "in.wav", dir / "out.wav");
  SF_INFO info{};
  EXPECT_EQ(ReadRawShorts(dir / "out.wav", info), samples);
  EXPECT_EQ(info.samplerate, 44100);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);

  // The container follows the output's extension; the sample type stays.
  if (LibsndfileHasFlac())
  {
    Copy(dir / "in.wav", dir / "out.flac");
    info = {};
    EXPECT_EQ(ReadRawShorts(dir / "out.flac", info), samples);
    EXPECT_EQ(info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    EXPECT_EQ(dir.FileCount(), 3u); // no temporary files left
  }
}

TEST(AudioFiles, DoublesAndOutOfRangeIntegers)
{
  TempDir dir;
  AudioFileWriter writer;
  std::string error;
  const AudioFormat doubleWav{48000, 1, SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 0};
  std::vector<double> samples{0.1, -1.0 / 3.0, 1.5, 1e-300};
  const double* ptrs[1] = {samples.data()};
  ASSERT_TRUE(writer.Open(dir / "d.wav", doubleWav, error));
  ASSERT_TRUE(writer.Write(ptrs, 4, error));
  ASSERT_TRUE(writer.Commit(error));

  AudioFileReader reader;
  ASSERT_TRUE(reader.Open(dir / "d.wav", error));
  EXPECT_TRUE(IsDoubleFloat(reader.Format().format));
  EXPECT_EQ(reader.Format().frames, 4);
  std::vector<double> back(4);
  double* out[1] = {back.data()};
  EXPECT_EQ(reader.Read(out, 10), 4);
  EXPECT_EQ(back, samples);

  // Integer files clip instead of wrapping around.
  const AudioFormat pcm{48000, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0};
  const double loud[3] = {1.5, -2.0, std::nan("")};
  const double* loudPtr[1] = {loud};
  AudioFileWriter pcmWriter;
  ASSERT_TRUE(pcmWriter.Open(dir / "p.wav", pcm, error));
  ASSERT_TRUE(pcmWriter.Write(loudPtr, 3, error));
  ASSERT_TRUE(pcmWriter.Commit(error));
  SF_INFO info{};
  EXPECT_EQ(ReadRawShorts(dir / "p.wav", info), (std::vector<short>{32767, -32768, 0}));
}

TEST(AudioFiles, FailuresLeaveNothingBehind)
{
  TempDir dir;
  std::string error;
  AudioFileReader reader;
  EXPECT_FALSE(reader.Open(dir / "missing.wav", error));
  EXPECT_NE(error.find("no such file"), std::string::npos);

  std::ofstream(dir / "junk.wav") << "not audio at all";
  EXPECT_FALSE(reader.Open(dir / "junk.wav", error));
  EXPECT_NE(error.find("junk.wav"), std::string::npos);

  {
    AudioFileWriter writer;
    ASSERT_TRUE(writer.Open(dir / "out.wav", {48000, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0}, error));
    EXPECT_TRUE(std::filesystem::exists(writer.TemporaryPath()));
    // Destroyed without Commit: interrupted.
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));

  AudioFileWriter writer;
  if (LibsndfileHasFlac())
  {
    EXPECT_FALSE(writer.Open(dir / "out.flac", {48000, 2, SF_FORMAT_FLAC | SF_FORMAT_DOUBLE, 0}, error));
    EXPECT_NE(error.find("cannot hold"), std::string::npos) << error;
  }
  EXPECT_FALSE(writer.Open(dir / "no/such/folder/out.wav", {48000, 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0}, error));
  EXPECT_EQ(dir.FileCount(), 1u); // junk.wav
}
