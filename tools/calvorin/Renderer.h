#pragma once

#include "tools/calvorin/AudioFile.h"
#include "tools/calvorin/Automation.h"
#include "tools/calvorin/EffectHost.h"
#include "tools/calvorin/LevelAnalysis.h"
#include "tools/calvorin/ParameterAssignment.h"

#include <atomic>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace calvorin::cli
{

constexpr int kMaxFileChannels = 2;

struct RenderRequest
{
  std::string inputPath;
  std::string outputPath;
  std::optional<int> presetIndex;
  std::vector<ResolvedSetting> settings; // applied in order, after the preset
  std::vector<AutomationCurve> automations; // played from the first block on
  int blockFrames = 512;
  std::optional<SamplePrecision> precision; // unset: 64-bit for 64-bit float files, else 32-bit
  std::ostream* progressStream = nullptr;   // progress bar target, or none
  // Told each setting's adjustment (ResolvedSetting) as it is applied, then
  // each curve's, once the files are open and the plug-in is ready.
  std::function<void(const std::string&)> notify;
  const std::atomic<bool>* cancel = nullptr; // set (for example by Ctrl-C) to stop early
};

struct RenderReport
{
  AudioFormat format;       // the input's
  AudioFormat outputFormat; // what was written
  SamplePrecision precision = SamplePrecision::k32;
  long long frames = 0;
  double inputPeakDb = kSilenceDb;
  double inputRmsDb = kSilenceDb;
  double outputPeakDb = kSilenceDb;
  double outputRmsDb = kSilenceDb;
  long long inputNonFinite = 0; // NaN or infinite samples, left out of the figures
  long long outputNonFinite = 0;
  LevelChange change;
  double hopSeconds = kLevelHopSeconds;
  std::vector<double> inputWindowDb;
  std::vector<double> outputWindowDb;
};

enum class RenderStatus
{
  kDone,
  kFailed,
  kCancelled
};

// Streams the input file through the effect block by block into the output
// file (the format its extension names, at the input's rate and channels; see
// OutputFormat.h), measuring levels on the way. The output appears only when
// everything succeeded.
RenderStatus RenderFile(EffectHost& host, const RenderRequest& request, RenderReport& report, std::string& error);

} // namespace calvorin::cli
