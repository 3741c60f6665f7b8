#pragma once

#include <string>
#include <vector>

// libsndfile's handle, kept out of this header.
struct sf_private_tag;

namespace calvorin::cli
{

// Rate, channel count and libsndfile format (container | sample type) of a file.
struct AudioFormat
{
  int sampleRate = 0;
  int channels = 0;
  int format = 0;
  long long frames = 0; // as reported when reading; may be 0 for streams
};

// libsndfile's names: "WAV (Microsoft), Signed 24 bit PCM" and the like.
std::string DescribeFormat(int format);
// The container's short name ("WAV", "FLAC") and the sample type's name.
std::string ContainerName(int format);
std::string SampleTypeName(int format);
bool IsDoubleFloat(int format);

// Reads a file block by block into planar double samples in -1..1. Integer
// samples are scaled by an exact power of two so that writing them back with
// AudioFileWriter reproduces the file's samples bit for bit.
class AudioFileReader
{
public:
  AudioFileReader() = default;
  ~AudioFileReader();
  AudioFileReader(const AudioFileReader&) = delete;
  AudioFileReader& operator=(const AudioFileReader&) = delete;

  bool Open(const std::string& path, std::string& error);
  const AudioFormat& Format() const { return mFormat; }
  // Reads up to nFrames frames into Format().channels planar buffers; returns
  // the frames read (0 at the end).
  int Read(double* const* channels, int nFrames);

private:
  sf_private_tag* mFile = nullptr;
  AudioFormat mFormat;
  double mScale = 1.0;
  std::vector<double> mInterleaved;
};

// Writes a file through a temporary file beside the destination; Commit
// renames it into place, anything else removes it, so no partial output is
// ever left under the destination's name.
class AudioFileWriter
{
public:
  AudioFileWriter() = default;
  ~AudioFileWriter();
  AudioFileWriter(const AudioFileWriter&) = delete;
  AudioFileWriter& operator=(const AudioFileWriter&) = delete;

  // Writes exactly the given format (OutputFormat.h chooses one for a path).
  bool Open(const std::string& path, const AudioFormat& format, std::string& error);
  bool Write(const double* const* channels, int nFrames, std::string& error);
  bool Commit(std::string& error);
  void Abort();
  const std::string& TemporaryPath() const { return mTempPath; }

private:
  sf_private_tag* mFile = nullptr;
  std::string mPath;
  std::string mTempPath;
  int mChannels = 0;
  int mIntegerBits = 0; // 0 for float and non-linear sample types
  std::vector<double> mInterleaved;
};

} // namespace calvorin::cli
