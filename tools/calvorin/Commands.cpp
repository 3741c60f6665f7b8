#include "tools/calvorin/Commands.h"

#include "core/Utf8Path.h"
#include "tools/calvorin/AudioFile.h"
#include "tools/calvorin/DemoSignal.h"
#include "tools/calvorin/LevelPlot.h"
#include "tools/calvorin/ParameterAssignment.h"
#include "tools/calvorin/Renderer.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace calvorin::cli
{

namespace
{

std::string Format(const char* pattern, double value)
{
  char text[64];
  std::snprintf(text, sizeof(text), pattern, value);
  return text;
}

std::string Db(double db)
{
  return db <= kSilenceDb ? "-inf" : Format("%.1f", db);
}

int Fail(Console& console, const std::string& message)
{
  console.err << "calvorin: " << message << "\n";
  return kExitFailure;
}

std::string Pad(std::string text, size_t width)
{
  if (text.size() < width)
    text.append(width - text.size(), ' ');
  return text;
}

void PrintSummary(const RenderReport& report, const std::string& outputPath, Console& console)
{
  const double seconds = static_cast<double>(report.frames) / report.format.sampleRate;
  const int written = report.outputFormat.format;
  console.out << "wrote " << outputPath << " (" << DescribeFormat(written) << ", " << report.outputFormat.sampleRate
              << " Hz, " << (report.outputFormat.channels == 1 ? "mono" : "stereo") << ", " << Format("%.2f", seconds)
              << " s, processed in " << (report.precision == SamplePrecision::k64 ? "64" : "32") << "-bit)\n";
  if ((written & SF_FORMAT_SUBMASK) != (report.format.format & SF_FORMAT_SUBMASK))
    console.out << "  written as " << SampleTypeName(written) << ": " << ContainerName(written) << " files hold no "
                << SampleTypeName(report.format.format) << " samples\n";
  console.out << "            peak dBFS   RMS dBFS\n";
  console.out << "  input     " << Pad(Db(report.inputPeakDb), 12) << Db(report.inputRmsDb) << "\n";
  console.out << "  output    " << Pad(Db(report.outputPeakDb), 12) << Db(report.outputRmsDb) << "\n";
  const std::pair<const char*, long long> nonFinite[] = {{"input", report.inputNonFinite},
                                                         {"output", report.outputNonFinite}};
  for (const auto& [stream, count] : nonFinite)
    if (count > 0)
      console.out << "  the " << stream << " held " << count
                  << " non-finite samples (NaN or infinite); its figures are of the finite ones\n";
  if (!report.change.valid)
  {
    console.out << "  too little audible signal to compare quiet and loud passages\n";
    return;
  }
  const double quiet = report.change.quietRaisedDb;
  const double loud = report.change.loudLoweredDb;
  console.out << "  quiet passages " << (quiet >= 0.0 ? "raised" : "lowered") << " by " << Format("%.1f", std::abs(quiet))
              << " dB, loud passages " << (loud >= 0.0 ? "lowered" : "raised") << " by " << Format("%.1f", std::abs(loud))
              << " dB (400 ms RMS)\n";
}

std::string FileSize(const std::filesystem::path& path)
{
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(path, ec);
  if (ec)
    return "?";
  if (bytes >= 1024 * 1024)
    return Format("%.1f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  return Format("%.0f KiB", static_cast<double>(bytes) / 1024.0);
}

} // namespace

std::string FileNameForPreset(const std::string& presetName, int index)
{
  std::string name;
  for (char c : presetName)
  {
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    const bool keep = (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9');
    if (keep)
      name += lower;
    else if (!name.empty() && name.back() != '-')
      name += '-';
  }
  while (!name.empty() && name.back() == '-')
    name.pop_back();
  return name.empty() ? "preset-" + std::to_string(index) : name;
}

int RunInfo(EffectHost& host, Console& console)
{
  const EffectClass effect = host.Class();
  console.out << effect.name << " " << effect.version << " by " << effect.vendor << "\n";
  console.out << "Sub-categories: " << effect.subCategories << "\n";
  const std::vector<HostParameter> parameters = host.Parameters();
  size_t titleWidth = 6;
  for (const HostParameter& p : parameters)
    titleWidth = std::max(titleWidth, p.title.size() + 2);
  console.out << "Parameters (" << parameters.size() << "):\n";
  console.out << "  " << Pad("ID", 7) << Pad("Title", titleWidth) << Pad("Units", 7) << Pad("Steps", 7)
              << Pad("Flags", 7) << "Default\n";
  for (const HostParameter& p : parameters)
  {
    std::string defaultText;
    if (!host.ValueToText(p.id, p.defaultNormalized, defaultText))
      defaultText = Format("%.4f", p.defaultNormalized) + " (normalised)";
    console.out << "  " << Pad(std::to_string(p.id), 7) << Pad(p.title, titleWidth) << Pad(p.units, 7)
                << Pad(std::to_string(p.stepCount), 7) << Pad(std::to_string(p.flags), 7) << defaultText;
    if (!p.units.empty())
      console.out << " " << p.units;
    console.out << "\n";
  }
  const std::vector<std::string> presets = host.PresetNames();
  console.out << "Presets (" << presets.size() << "):\n";
  for (size_t i = 0; i < presets.size(); ++i)
    console.out << "  " << i << "  " << presets[i] << "\n";
  return kExitOk;
}

int RunRender(EffectHost& host, const RenderArguments& args, Console& console)
{
  RenderRequest request;
  request.inputPath = args.inputPath;
  request.outputPath = args.outputPath;
  request.blockFrames = args.blockFrames;
  if (args.precisionBits)
    request.precision = *args.precisionBits == 64 ? SamplePrecision::k64 : SamplePrecision::k32;
  request.progressStream = console.progress ? &console.err : nullptr;
  request.cancel = console.cancel;
  // Said, and the render goes on with the value the plug-in uses.
  request.notify = [&console](const std::string& adjustment) { console.err << "calvorin: " << adjustment << "\n"; };

  std::string error;
  if (args.preset)
  {
    int index = 0;
    if (!ResolvePreset(host.PresetNames(), *args.preset, index, error))
      return Fail(console, error);
    request.presetIndex = index;
  }
  const std::vector<HostParameter> parameters = host.Parameters();
  for (const ParameterSetting& setting : args.settings)
  {
    ResolvedSetting resolved;
    if (!ResolveSetting(host, parameters, setting, resolved, error))
      return Fail(console, error);
    request.settings.push_back(resolved);
  }
  for (const AutomationArgument& automation : args.automations)
  {
    AutomationCurve curve;
    if (!ResolveAutomation(host, parameters, automation, request.automations, curve, error))
      return Fail(console, error);
    request.automations.push_back(std::move(curve));
  }

  RenderReport report;
  switch (RenderFile(host, request, report, error))
  {
  case RenderStatus::kDone:
    PrintSummary(report, args.outputPath, console);
    return kExitOk;
  case RenderStatus::kCancelled:
    console.err << "calvorin: " << error << "\n";
    return kExitCancelled;
  case RenderStatus::kFailed:
    break;
  }
  return Fail(console, error);
}

int RunDemo(EffectHost& host, const std::string& directory, Console& console)
{
  namespace fs = std::filesystem;
  const fs::path dir = iplug::PathFromUtf8(directory);
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir))
    return Fail(console, "cannot create the folder '" + directory + "'" + (ec ? ": " + ec.message() : ""));

  std::string error;
  std::vector<double> left, right;
  SynthesizeDemoSignal(kDemoSampleRate, left, right);
  const fs::path inputPath = dir / "input.wav";
  {
    AudioFileWriter writer;
    const AudioFormat format{static_cast<int>(kDemoSampleRate), 2, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0};
    const double* channels[2] = {left.data(), right.data()};
    if (!writer.Open(iplug::Utf8FromPath(inputPath), format, error) ||
        !writer.Write(channels, static_cast<int>(left.size()), error) || !writer.Commit(error))
      return Fail(console, error);
  }
  std::vector<fs::path> written{inputPath};

  std::vector<std::string> presets = host.PresetNames();
  const bool noPresets = presets.empty();
  if (noPresets)
    presets.push_back("output");
  for (size_t i = 0; i < presets.size(); ++i)
  {
    const std::string base = FileNameForPreset(presets[i], static_cast<int>(i));
    RenderRequest request;
    request.inputPath = iplug::Utf8FromPath(inputPath);
    request.outputPath = iplug::Utf8FromPath(dir / iplug::PathFromUtf8(base + ".wav"));
    if (!noPresets)
      request.presetIndex = static_cast<int>(i);
    request.progressStream = nullptr;
    request.cancel = console.cancel;
    RenderReport report;
    const RenderStatus status = RenderFile(host, request, report, error);
    if (status == RenderStatus::kCancelled)
    {
      console.err << "calvorin: " << error << "\n";
      return kExitCancelled;
    }
    if (status == RenderStatus::kFailed)
      return Fail(console, error);
    written.push_back(iplug::PathFromUtf8(request.outputPath));

    const fs::path plotPath = dir / iplug::PathFromUtf8(base + ".png");
    const std::string title = "Calvorin demo, preset " + presets[i] + ": level over time, input vs output";
    if (!WriteLevelPlot(iplug::Utf8FromPath(plotPath), title, report.hopSeconds, report.inputWindowDb, report.outputWindowDb,
                        error))
      return Fail(console, error);
    written.push_back(plotPath);

    // The editor as it looks with this preset's values.
    const fs::path editorPath = dir / iplug::PathFromUtf8(base + "-editor.png");
    if (!noPresets && !host.LoadPreset(static_cast<int>(i), error))
      return Fail(console, error);
    if (!host.SaveEditorSnapshot(iplug::Utf8FromPath(editorPath), 1.f, error))
      return Fail(console, error);
    written.push_back(editorPath);

    console.out << presets[i] << ": output peak " << Db(report.outputPeakDb) << " dBFS, RMS " << Db(report.outputRmsDb)
                << " dBFS";
    if (report.change.valid)
      console.out << "; quiet passages " << Format("%+.1f", report.change.quietRaisedDb) << " dB, loud passages "
                  << Format("%+.1f", -report.change.loudLoweredDb) << " dB";
    console.out << "\n";
  }

  console.out << "demo written to " << directory << ":\n";
  for (const fs::path& path : written)
    console.out << "  " << Pad(iplug::Utf8FromPath(path), 40) << " " << FileSize(path) << "\n";
  return kExitOk;
}

int RunSnapshot(EffectHost& host, const SnapshotArguments& args, Console& console)
{
  std::string error;
  if (args.preset)
  {
    int index = 0;
    if (!ResolvePreset(host.PresetNames(), *args.preset, index, error) || !host.LoadPreset(index, error))
      return Fail(console, error);
  }
  const std::vector<HostParameter> parameters = host.Parameters();
  for (const ParameterSetting& setting : args.settings)
  {
    ResolvedSetting resolved;
    if (!ResolveSetting(host, parameters, setting, resolved, error))
      return Fail(console, error);
    if (!resolved.adjustment.empty())
      console.err << "calvorin: " << resolved.adjustment << "\n";
    if (!host.SetParameter(resolved.id, resolved.normalized))
      return Fail(console, "the plug-in refused the value of " + resolved.title);
  }
  if (!host.SaveEditorSnapshot(args.outputPath, args.scale, error))
    return Fail(console, error);
  console.out << "editor written to " << args.outputPath << " (" << FileSize(iplug::PathFromUtf8(args.outputPath)) << ")\n";
  return kExitOk;
}

int RunCalvorin(const std::vector<std::string>& args, const HostFactory& openHost, Console& console)
{
  std::string error;
  const std::optional<CommandLine> command = ParseCommandLine(args, error);
  if (!command)
  {
    if (args.empty())
      console.err << UsageText();
    else
      console.err << "calvorin: " << error << " ('calvorin help' shows the usage)\n";
    return kExitUsage;
  }
  if (command->kind == CommandKind::kHelp)
  {
    console.out << UsageText();
    return kExitOk;
  }

  std::unique_ptr<EffectHost> host = openHost(command->bundlePath, error);
  if (!host)
    return Fail(console, error);

  switch (command->kind)
  {
  case CommandKind::kInfo:
    return RunInfo(*host, console);
  case CommandKind::kRender:
    return RunRender(*host, command->render, console);
  case CommandKind::kDemo:
    return RunDemo(*host, command->demoDirectory, console);
  case CommandKind::kSnapshot:
    return RunSnapshot(*host, command->snapshot, console);
  case CommandKind::kHelp:
    break;
  }
  return kExitOk;
}

} // namespace calvorin::cli
