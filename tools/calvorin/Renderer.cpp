#include "tools/calvorin/Renderer.h"

#include "core/Utf8Path.h"
#include "tools/calvorin/OutputFormat.h"
#include "tools/calvorin/ProgressBar.h"

#include <filesystem>
#include <memory>
#include <system_error>

namespace calvorin::cli
{

namespace
{

// Planar buffers for one block in both sample precisions.
struct BlockBuffers
{
  BlockBuffers(int nChannels, int nFrames)
  {
    const size_t n = static_cast<size_t>(nFrames);
    for (int c = 0; c < nChannels; ++c)
    {
      in64.emplace_back(n, 0.0);
      out64.emplace_back(n, 0.0);
      in32.emplace_back(n, 0.0f);
      out32.emplace_back(n, 0.0f);
    }
    for (int c = 0; c < nChannels; ++c)
    {
      in64Ptrs.push_back(in64[static_cast<size_t>(c)].data());
      out64Ptrs.push_back(out64[static_cast<size_t>(c)].data());
      in32Ptrs.push_back(in32[static_cast<size_t>(c)].data());
      out32Ptrs.push_back(out32[static_cast<size_t>(c)].data());
    }
  }

  std::vector<std::vector<double>> in64, out64;
  std::vector<std::vector<float>> in32, out32;
  std::vector<double*> in64Ptrs, out64Ptrs;
  std::vector<float*> in32Ptrs, out32Ptrs;
};

bool SamePath(const std::string& a, const std::string& b)
{
  std::error_code ec;
  return std::filesystem::equivalent(iplug::PathFromUtf8(a), iplug::PathFromUtf8(b), ec) && !ec;
}

// Opens the input for reading; it must be another file than the output, mono
// or stereo.
bool OpenInput(AudioFileReader& reader, const RenderRequest& request, std::string& error)
{
  if (SamePath(request.inputPath, request.outputPath))
  {
    error = "the output file must not be the input file '" + request.inputPath + "'";
    return false;
  }
  if (!reader.Open(request.inputPath, error))
    return false;
  if (reader.Format().channels > kMaxFileChannels)
  {
    error = "'" + request.inputPath + "' has " + std::to_string(reader.Format().channels) +
            " channels; only mono and stereo files can be rendered";
    return false;
  }
  return true;
}

// The preset, then the settings in the order given.
bool ApplyParameters(EffectHost& host, const RenderRequest& request, std::string& error)
{
  if (request.presetIndex && !host.LoadPreset(*request.presetIndex, error))
    return false;
  for (const ResolvedSetting& setting : request.settings)
  {
    if (!host.SetParameter(setting.id, setting.normalized))
    {
      error = "the plug-in refused the value of " + setting.title;
      return false;
    }
    if (!setting.adjustment.empty() && request.notify)
      request.notify(setting.adjustment);
  }
  return true;
}

// One block through the plug-in at the render's precision: in64 to out64,
// through the 32-bit buffers when the plug-in processes single precision.
void ProcessBlock(EffectHost& host, BlockBuffers& buffers, SamplePrecision precision, int nChannels, int n)
{
  if (precision == SamplePrecision::k64)
  {
    host.Process(buffers.in64Ptrs.data(), buffers.out64Ptrs.data(), n);
    return;
  }
  for (int c = 0; c < nChannels; ++c)
    for (int i = 0; i < n; ++i)
      buffers.in32Ptrs[static_cast<size_t>(c)][i] = static_cast<float>(buffers.in64Ptrs[static_cast<size_t>(c)][i]);
  host.Process(buffers.in32Ptrs.data(), buffers.out32Ptrs.data(), n);
  for (int c = 0; c < nChannels; ++c)
    for (int i = 0; i < n; ++i)
      buffers.out64Ptrs[static_cast<size_t>(c)][i] = buffers.out32Ptrs[static_cast<size_t>(c)][i];
}

void ReportLevels(LevelMeter& inputMeter, LevelMeter& outputMeter, RenderReport& report)
{
  inputMeter.Finish();
  outputMeter.Finish();
  report.inputPeakDb = inputMeter.PeakDb();
  report.inputRmsDb = inputMeter.RmsDb();
  report.outputPeakDb = outputMeter.PeakDb();
  report.outputRmsDb = outputMeter.RmsDb();
  report.inputNonFinite = inputMeter.NonFiniteSamples();
  report.outputNonFinite = outputMeter.NonFiniteSamples();
  report.hopSeconds = inputMeter.HopSeconds();
  report.inputWindowDb = inputMeter.WindowDb();
  report.outputWindowDb = outputMeter.WindowDb();
  report.change = CompareLevels(report.inputWindowDb, report.outputWindowDb);
}

} // namespace

RenderStatus RenderFile(EffectHost& host, const RenderRequest& request, RenderReport& report, std::string& error)
{
  AudioFileReader reader;
  if (!OpenInput(reader, request, error))
    return RenderStatus::kFailed;
  const AudioFormat format = reader.Format();

  report = RenderReport{};
  report.format = format;
  if (!ChooseOutputFormat(request.outputPath, format, report.outputFormat, error))
    return RenderStatus::kFailed;
  report.precision = request.precision.value_or(IsDoubleFloat(format.format) ? SamplePrecision::k64
                                                                             : SamplePrecision::k32);
  // The output is opened first: a destination that cannot be written fails
  // before anything else is said.
  AudioFileWriter writer;
  if (!writer.Open(request.outputPath, report.outputFormat, error))
    return RenderStatus::kFailed;
  const int block = std::max(request.blockFrames, 1);
  if (!host.Prepare(format.sampleRate, block, format.channels, report.precision, error))
    return RenderStatus::kFailed;

  // Ends processing on every way out.
  struct StopOnExit
  {
    EffectHost& host;
    ~StopOnExit() { host.Stop(); }
  } stopOnExit{host};

  if (!ApplyParameters(host, request, error))
    return RenderStatus::kFailed;
  AutomationPlayer automation;
  if (!automation.Start(host, request.automations, format.sampleRate, error))
    return RenderStatus::kFailed;
  for (const AutomationCurve& curve : request.automations)
  {
    for (const std::string& adjustment : curve.adjustments)
    {
      if (request.notify)
        request.notify(adjustment);
    }
  }

  const double seconds = static_cast<double>(format.frames) / format.sampleRate;
  std::unique_ptr<ProgressBar> progress;
  if (request.progressStream && seconds > kProgressMinSeconds)
    progress = std::make_unique<ProgressBar>(*request.progressStream, true, "rendering");

  LevelMeter inputMeter(format.sampleRate, format.channels);
  LevelMeter outputMeter(format.sampleRate, format.channels);
  BlockBuffers buffers(format.channels, block);
  for (;;)
  {
    if (request.cancel && request.cancel->load())
    {
      writer.Abort();
      error = "cancelled; no output written";
      return RenderStatus::kCancelled;
    }
    const int n = reader.Read(buffers.in64Ptrs.data(), block);
    if (n <= 0)
      break;
    inputMeter.Add(buffers.in64Ptrs.data(), n);
    if (!automation.SendBlock(host, report.frames, n, error))
    {
      writer.Abort();
      return RenderStatus::kFailed;
    }
    ProcessBlock(host, buffers, report.precision, format.channels, n);
    outputMeter.Add(buffers.out64Ptrs.data(), n);
    if (!writer.Write(buffers.out64Ptrs.data(), n, error))
      return RenderStatus::kFailed;
    report.frames += n;
    if (progress && format.frames > 0)
      progress->Update(static_cast<double>(report.frames) / static_cast<double>(format.frames));
  }
  if (progress)
    progress->Finish();

  if (!writer.Commit(error))
    return RenderStatus::kFailed;
  ReportLevels(inputMeter, outputMeter, report);
  return RenderStatus::kDone;
}

} // namespace calvorin::cli
