#include "tools/calvorin/OutputFormat.h"
#include "tests/tools/SndfileFormats.h"

#include <gtest/gtest.h>
#include <sndfile.h>

using namespace calvorin::cli;
using calvorin::test::LibsndfileHas;

TEST(OutputFormat, TheExtensionNamesTheContainerAndTheSampleTypeIsKeptOrTheNearest)
{
  struct Case
  {
    int input;
    const char* path;
    int output; // 0: refused, with this message
    const char* error = "";
  };
  const Case cases[] = {
      {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "dir.flac/x.WAV", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
      {SF_FORMAT_WAV | SF_FORMAT_DOUBLE, "x.aif", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE},
      {SF_FORMAT_WAV | SF_FORMAT_ULAW, "x.aiff", SF_FORMAT_AIFF | SF_FORMAT_ULAW}, // companded: kept
      {SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, "x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16}, // coded: decoded
      {SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, "x.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_U8, "x.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_S8},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "x.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_32, "x.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {SF_FORMAT_WAV | SF_FORMAT_DOUBLE, "x.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "x.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
      {SF_FORMAT_OGG | SF_FORMAT_OPUS, "x.oga", SF_FORMAT_OGG | SF_FORMAT_OPUS},
      {SF_FORMAT_OGG | SF_FORMAT_VORBIS, "x.w64", SF_FORMAT_W64 | SF_FORMAT_FLOAT},
      {SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, "x.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "x.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_24, "x.caf", SF_FORMAT_CAF | SF_FORMAT_PCM_24},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "x.xyz", 0, "cannot write 'x.xyz': no format has the extension .xyz"},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "x.flac/out", 0, "cannot write 'x.flac/out': no extension names its format"},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.path);
    const AudioFormat input{44100, 2, c.input, 1000};
    AudioFormat output;
    std::string error;
    const bool writable = c.output != 0 && LibsndfileHas(c.output & SF_FORMAT_TYPEMASK);
    ASSERT_EQ(ChooseOutputFormat(c.path, input, output, error), writable) << error;
    if (writable)
    {
      EXPECT_EQ(output.format, c.output);
      EXPECT_EQ(output.sampleRate, 44100);
      EXPECT_EQ(output.channels, 2);
      continue;
    }
    // Unknown, or not in this libsndfile: one message naming what it writes.
    EXPECT_EQ(error.rfind(c.output ? "cannot write 'x." : c.error, 0), 0u) << error;
    EXPECT_NE(error.find("writes .wav, .aiff, .aif, .caf, .w64, .rf64, .au"), std::string::npos) << error;
  }
}
