#include "tools/calvorin/AudioFile.h"

#include "core/Utf8Path.h"
#include "tools/calvorin/PartialFile.h"
#include "tools/calvorin/Platform.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace calvorin::cli
{

namespace
{

// Bits of a linear integer sample type; 0 for everything else.
int IntegerBits(int format)
{
  switch (format & SF_FORMAT_SUBMASK)
  {
  case SF_FORMAT_PCM_S8:
  case SF_FORMAT_PCM_U8:
    return 8;
  case SF_FORMAT_PCM_16:
    return 16;
  case SF_FORMAT_PCM_24:
    return 24;
  case SF_FORMAT_PCM_32:
    return 32;
  default:
    return 0;
  }
}

std::string FormatName(int format, int command, int countCommand)
{
  int count = 0;
  sf_command(nullptr, countCommand, &count, sizeof(count));
  for (int i = 0; i < count; ++i)
  {
    SF_FORMAT_INFO info{};
    info.format = i;
    sf_command(nullptr, command, &info, sizeof(info));
    if (info.format == format)
      return info.name ? info.name : "";
  }
  return {};
}

// libsndfile's message on one line: on Windows its system errors come from
// FormatMessage with the line end still attached.
std::string OneLine(const char* message)
{
  std::string text = message ? message : "unknown error";
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  // Its codecs' messages start with this; ours already say that it failed.
  const std::string prefix = "Error : ";
  if (text.rfind(prefix, 0) == 0)
    text.erase(0, prefix.size());
  return text;
}

} // namespace

std::string ContainerName(int format)
{
  const std::string name = FormatName(format & SF_FORMAT_TYPEMASK, SFC_GET_FORMAT_MAJOR, SFC_GET_FORMAT_MAJOR_COUNT);
  return name.substr(0, name.find(" ("));
}

std::string SampleTypeName(int format)
{
  return FormatName(format & SF_FORMAT_SUBMASK, SFC_GET_FORMAT_SUBTYPE, SFC_GET_FORMAT_SUBTYPE_COUNT);
}

std::string DescribeFormat(int format)
{
  std::string major = FormatName(format & SF_FORMAT_TYPEMASK, SFC_GET_FORMAT_MAJOR, SFC_GET_FORMAT_MAJOR_COUNT);
  std::string sub = FormatName(format & SF_FORMAT_SUBMASK, SFC_GET_FORMAT_SUBTYPE, SFC_GET_FORMAT_SUBTYPE_COUNT);
  if (major.empty())
    major = "unknown container";
  if (sub.empty())
    return major;
  return major + ", " + sub;
}

bool IsDoubleFloat(int format)
{
  return (format & SF_FORMAT_SUBMASK) == SF_FORMAT_DOUBLE;
}

// ---------------------------------------------------------------------------

AudioFileReader::~AudioFileReader()
{
  if (mFile)
    sf_close(mFile);
}

bool AudioFileReader::Open(const std::string& path, std::string& error)
{
  std::error_code ec;
  const std::filesystem::path file = iplug::PathFromUtf8(path);
  if (!std::filesystem::exists(file, ec))
  {
    error = "cannot read '" + path + "': no such file";
    return false;
  }
  if (std::filesystem::is_directory(file, ec))
  {
    error = "cannot read '" + path + "': it is a folder";
    return false;
  }
  SF_INFO info{};
  mFile = OpenSoundFile(path, SFM_READ, &info);
  if (!mFile)
  {
    error = "cannot read '" + path + "': " + OneLine(sf_strerror(nullptr));
    return false;
  }
  if (info.channels < 1 || info.samplerate < 1)
  {
    error = "cannot read '" + path + "': no audio channels or no sample rate";
    return false;
  }
  mFormat = {info.samplerate, info.channels, info.format, static_cast<long long>(info.frames)};
  if (const int bits = IntegerBits(info.format))
  {
    // Read the integers themselves and scale by a power of two: exact.
    sf_command(mFile, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
    mScale = std::ldexp(1.0, -(bits - 1));
  }
  return true;
}

int AudioFileReader::Read(double* const* channels, int nFrames)
{
  if (!mFile || nFrames <= 0)
    return 0;
  const size_t nChans = static_cast<size_t>(mFormat.channels);
  mInterleaved.resize(static_cast<size_t>(nFrames) * nChans);
  const sf_count_t got = sf_readf_double(mFile, mInterleaved.data(), nFrames);
  for (sf_count_t i = 0; i < got; ++i)
    for (size_t c = 0; c < nChans; ++c)
      channels[c][i] = mInterleaved[static_cast<size_t>(i) * nChans + c] * mScale;
  return static_cast<int>(got);
}

// ---------------------------------------------------------------------------

AudioFileWriter::~AudioFileWriter()
{
  Abort();
}

bool AudioFileWriter::Open(const std::string& path, const AudioFormat& format, std::string& error)
{
  Abort();
  namespace fs = std::filesystem;
  const fs::path destination = iplug::PathFromUtf8(path);
  SF_INFO info{};
  info.samplerate = format.sampleRate;
  info.channels = format.channels;
  info.format = format.format;
  if (!sf_format_check(&info))
  {
    const std::string container = ContainerName(format.format);
    const std::string samples = SampleTypeName(format.format);
    error = "cannot write '" + path + "': a " + (container.empty() ? "file of this kind" : container + " file") +
            " cannot hold " + (samples.empty() ? "these" : samples) + " samples at " +
            std::to_string(format.sampleRate) + " Hz with " + std::to_string(format.channels) + " channels";
    return false;
  }

  mTempPath = iplug::Utf8FromPath(PartialPathFor(destination));
  mPath = path;
  mFile = OpenSoundFile(mTempPath, SFM_WRITE, &info);
  if (!mFile)
  {
    error = "cannot write '" + path + "': " + OneLine(sf_strerror(nullptr));
    // A codec that refuses the set-up (an MP3 at 96 kHz) does so after the
    // file was created.
    Abort();
    return false;
  }
  mChannels = format.channels;
  mIntegerBits = IntegerBits(info.format);
  if (mIntegerBits)
    sf_command(mFile, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  else
    sf_command(mFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  return true;
}

bool AudioFileWriter::Write(const double* const* channels, int nFrames, std::string& error)
{
  if (!mFile)
  {
    error = "cannot write '" + mPath + "': not open";
    return false;
  }
  if (nFrames <= 0)
    return true;
  const size_t nChans = static_cast<size_t>(mChannels);
  mInterleaved.resize(static_cast<size_t>(nFrames) * nChans);
  const double scale = mIntegerBits ? std::ldexp(1.0, mIntegerBits - 1) : 1.0;
  const double lowest = -scale, highest = scale - 1.0;
  for (int i = 0; i < nFrames; ++i)
  {
    for (size_t c = 0; c < nChans; ++c)
    {
      double x = channels[c][i];
      if (mIntegerBits)
        x = std::isnan(x) ? 0.0 : std::clamp(std::nearbyint(x * scale), lowest, highest);
      mInterleaved[static_cast<size_t>(i) * nChans + c] = x;
    }
  }
  if (sf_writef_double(mFile, mInterleaved.data(), nFrames) != nFrames)
  {
    error = "cannot write '" + mPath + "': " + OneLine(sf_strerror(mFile));
    return false;
  }
  return true;
}

bool AudioFileWriter::Commit(std::string& error)
{
  if (!mFile)
  {
    error = "cannot write '" + mPath + "': not open";
    return false;
  }
  const int closed = sf_close(mFile);
  mFile = nullptr;
  if (closed != 0)
  {
    error = "cannot write '" + mPath + "': " + OneLine(sf_error_number(closed));
    Abort();
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(iplug::PathFromUtf8(mTempPath), iplug::PathFromUtf8(mPath), ec);
  if (ec)
  {
    error = "cannot write '" + mPath + "': " + ec.message();
    Abort();
    return false;
  }
  mTempPath.clear();
  return true;
}

void AudioFileWriter::Abort()
{
  if (mFile)
  {
    sf_close(mFile);
    mFile = nullptr;
  }
  if (!mTempPath.empty())
  {
    std::error_code ec;
    std::filesystem::remove(iplug::PathFromUtf8(mTempPath), ec);
    mTempPath.clear();
  }
}

} // namespace calvorin::cli
