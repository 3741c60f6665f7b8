#include "tools/calvorin/OutputFormat.h"

#include "core/Utf8Path.h"
#include "tools/calvorin/SndfileLibrary.h"
#include "tools/calvorin/Text.h"

#include <sndfile.h>

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace calvorin::cli
{

namespace
{

struct Container
{
  const char* extension;
  const char* name; // for messages, also where libsndfile lacks it
  int major;
  // The codings a lossy container takes, the first one for every other input;
  // empty for containers of plain samples.
  std::initializer_list<int> codecs;
  // The sample rates it takes; empty for any. (libsndfile finds out only when
  // its encoder starts, and leaks the encoder then.)
  std::initializer_list<int> rates;
};

// The containers libsndfile always has first: the list of what a build
// writes then starts the same everywhere.
constexpr Container kContainers[] = {
    {"wav", "WAV", SF_FORMAT_WAV, {}, {}},
    {"aiff", "AIFF", SF_FORMAT_AIFF, {}, {}},
    {"aif", "AIFF", SF_FORMAT_AIFF, {}, {}},
    {"caf", "CAF", SF_FORMAT_CAF, {}, {}},
    {"w64", "W64", SF_FORMAT_W64, {}, {}},
    {"rf64", "RF64", SF_FORMAT_RF64, {}, {}},
    {"au", "AU", SF_FORMAT_AU, {}, {}},
    {"flac", "FLAC", SF_FORMAT_FLAC, {}, {}},
    {"ogg", "OGG Vorbis", SF_FORMAT_OGG, {SF_FORMAT_VORBIS, SF_FORMAT_OPUS}, {}},
    {"oga", "OGG Vorbis", SF_FORMAT_OGG, {SF_FORMAT_VORBIS, SF_FORMAT_OPUS}, {}},
    {"mp3", "MP3", SF_FORMAT_MPEG, {SF_FORMAT_MPEG_LAYER_III},
     {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}},
};

// The plain sample types, from coarse to fine, and the companded ones a
// container keeps when the input has them.
constexpr int kPlainSampleTypes[] = {SF_FORMAT_PCM_U8, SF_FORMAT_PCM_S8, SF_FORMAT_PCM_16, SF_FORMAT_PCM_24,
                                     SF_FORMAT_PCM_32, SF_FORMAT_FLOAT,  SF_FORMAT_DOUBLE};
constexpr int kCompandedSampleTypes[] = {SF_FORMAT_ULAW, SF_FORMAT_ALAW};

// How finely a sample type resolves the signal: integer bits, or floating
// point of a width. Coded and companded types count as what they decode from
// (16-bit integers), perceptual codecs as what they decode to (floats).
struct Resolution
{
  bool isFloat = false;
  int bits = 16;
};

Resolution ResolutionOf(int sampleType)
{
  switch (sampleType)
  {
  case SF_FORMAT_PCM_S8:
  case SF_FORMAT_PCM_U8:
  case SF_FORMAT_DPCM_8:
    return {false, 8};
  case SF_FORMAT_DWVW_12:
    return {false, 12};
  case SF_FORMAT_ALAC_20:
    return {false, 20};
  case SF_FORMAT_PCM_24:
  case SF_FORMAT_DWVW_24:
  case SF_FORMAT_ALAC_24:
    return {false, 24};
  case SF_FORMAT_PCM_32:
  case SF_FORMAT_ALAC_32:
    return {false, 32};
  case SF_FORMAT_FLOAT:
  case SF_FORMAT_VORBIS:
  case SF_FORMAT_OPUS:
  case SF_FORMAT_MPEG_LAYER_I:
  case SF_FORMAT_MPEG_LAYER_II:
  case SF_FORMAT_MPEG_LAYER_III:
    return {true, 32};
  case SF_FORMAT_DOUBLE:
    return {true, 64};
  default:
    return {false, 16};
  }
}

bool Holds(int major, int sampleType, const AudioFormat& input)
{
  SF_INFO info{};
  info.samplerate = input.sampleRate;
  info.channels = input.channels;
  info.format = major | sampleType;
  return sf_format_check(&info) != 0;
}

// Of the plain types the container holds: the same kind (integer or float)
// at the input's resolution or the next finer, else the finest of that kind;
// with none of that kind, a float input takes the finest integer type and an
// integer input the coarsest float type.
std::optional<int> NearestPlainType(int major, const AudioFormat& input)
{
  const Resolution wanted = ResolutionOf(input.format & SF_FORMAT_SUBMASK);
  std::optional<int> finer, finest, coarsestOther, finestOther;
  for (int type : kPlainSampleTypes)
  {
    if (!Holds(major, type, input))
      continue;
    const Resolution r = ResolutionOf(type);
    if (r.isFloat == wanted.isFloat)
    {
      if (!finer && r.bits >= wanted.bits)
        finer = type;
      finest = type;
      continue;
    }
    if (!coarsestOther)
      coarsestOther = type;
    finestOther = type;
  }
  if (finer)
    return finer;
  if (finest)
    return finest;
  return wanted.isFloat ? finestOther : coarsestOther;
}

std::optional<int> SampleTypeFor(const Container& container, const AudioFormat& input)
{
  const int inputType = input.format & SF_FORMAT_SUBMASK;
  if (container.codecs.size() > 0)
  {
    const auto kept = std::find(container.codecs.begin(), container.codecs.end(), inputType);
    if (kept != container.codecs.end() && Holds(container.major, inputType, input))
      return inputType;
    return *container.codecs.begin();
  }
  const bool plain = std::find(std::begin(kPlainSampleTypes), std::end(kPlainSampleTypes), inputType) !=
                     std::end(kPlainSampleTypes);
  const bool companded = std::find(std::begin(kCompandedSampleTypes), std::end(kCompandedSampleTypes), inputType) !=
                         std::end(kCompandedSampleTypes);
  if ((plain || companded) && Holds(container.major, inputType, input))
    return inputType;
  return NearestPlainType(container.major, input);
}

} // namespace

std::string WritableExtensions()
{
  std::string list;
  for (const Container& container : kContainers)
    if (LibsndfileHas(container.major))
      list += (list.empty() ? "." : ", .") + std::string(container.extension);
  return list;
}

bool ChooseOutputFormat(const std::string& path, const AudioFormat& input, AudioFormat& output, std::string& error)
{
  std::string extension = iplug::Utf8FromPath(iplug::PathFromUtf8(path).extension());
  if (!extension.empty())
    extension.erase(0, 1);
  const Container* container = nullptr;
  for (const Container& c : kContainers)
    if (ToLower(extension) == c.extension)
      container = &c;

  const std::string cannot = "cannot write '" + path + "': ";
  if (!container)
  {
    error = cannot + (extension.empty() ? "no extension names its format" : "no format has the extension ." + extension) +
            " (calvorin writes " + WritableExtensions() + ")";
    return false;
  }
  if (!LibsndfileHas(container->major))
  {
    error = cannot + "this calvorin's libsndfile cannot write " + container->name + " files (it writes " +
            WritableExtensions() + ")";
    return false;
  }
  const auto& rates = container->rates;
  if (rates.size() > 0 && std::find(rates.begin(), rates.end(), input.sampleRate) == rates.end())
  {
    error = cannot + container->name + " files cannot hold " + std::to_string(input.sampleRate) + " Hz (only";
    for (int rate : rates)
      error += (rate == *rates.begin() ? " " : ", ") + std::to_string(rate);
    error += " Hz)";
    return false;
  }
  const std::optional<int> sampleType = SampleTypeFor(*container, input);
  if (!sampleType || !Holds(container->major, *sampleType, input))
  {
    error = cannot + container->name + " files cannot hold " + std::to_string(input.channels) + " channels at " +
            std::to_string(input.sampleRate) + " Hz";
    return false;
  }
  output = input;
  output.format = container->major | *sampleType;
  output.frames = 0;
  return true;
}

} // namespace calvorin::cli
