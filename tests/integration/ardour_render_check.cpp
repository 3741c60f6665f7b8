// A real host in the test suite: Debian's Ardour 7 scans the built bundle with
// its own VST 3 scanner and renders noise through the plug-in headlessly.
// Our own host code could share our mistakes about the binary interface;
// Ardour cannot. Checks:
//   - the scan lists the class (name and class ID) with stereo buses,
//   - the render through the plug-in is finite and audible,
//   - with the plug-in's own Bypass parameter on, the render has the level of
//     Ardour's "ACE Noise" generator (uniform white noise, -18 dBFS peak).
// Exit status 77 (CTest SKIP_RETURN_CODE) while the bundle or Ardour is missing.

#include <sndfile.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSkip = 77;
constexpr int kRenderSeconds = 3;
constexpr int kSessionRate = 48000;
// Ardour's generator: uniform white noise scaled to -18 dBFS peak.
const double kNoisePeak = std::pow(10.0, -18.0 / 20.0);
const double kNoiseRms = kNoisePeak / std::sqrt(3.0);
const char* const kClassId = "F2AEE70D00DE4F4E466D63685241764B";

struct CommandResult {
  int status = -1;
  std::string output;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

CommandResult Run(const std::string& command) {
  CommandResult r;
  std::cout << "$ " << command << std::endl;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return r;
  char buf[4096];
  while (size_t n = fread(buf, 1, sizeof buf, pipe)) r.output.append(buf, n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::cout << r.output << "(exit " << r.status << ")" << std::endl;
  return r;
}

// Ardour 7.3's headless exporter now and then deadlocks before the first
// block (its butler thread waits on the engine while the engine waits on
// it; seen without any plug-in in the session too). A render normally takes
// well under a minute, so each attempt is bounded and retried a few times.
// `timeout` ends the whole process group of a stalled attempt.
constexpr int kRenderTimeoutSeconds = 75;
constexpr int kRenderAttempts = 6;
constexpr int kTimedOut = 124; // timeout(1)'s exit status for a stalled attempt

CommandResult Render(const std::string& command) {
  const std::string bounded = "timeout -k 10 " + std::to_string(kRenderTimeoutSeconds) + " " + command;
  CommandResult r;
  for (int attempt = 1; attempt <= kRenderAttempts; ++attempt) {
    r = Run(bounded);
    if (r.status == 0) break;
    std::cout << "render attempt " << attempt << " failed (exit " << r.status << ")" << std::endl;
  }
  return r;
}

struct Level {
  bool readable = false;
  bool finite = true;
  int channels = 0;
  long long frames = 0;
  double rms = 0.0;
  double peak = 0.0;
};

// Level over everything after the first quarter second (the engine's start-up).
Level Measure(const std::string& path) {
  Level level;
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return level;
  level.readable = true;
  level.channels = info.channels;
  level.frames = info.frames;
  std::vector<float> samples(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  const sf_count_t got = sf_readf_float(f, samples.data(), info.frames);
  sf_close(f);
  const size_t skip = static_cast<size_t>(info.samplerate / 4) * static_cast<size_t>(info.channels);
  double sum = 0.0;
  size_t count = 0;
  for (size_t i = 0; i < static_cast<size_t>(got) * static_cast<size_t>(info.channels); ++i) {
    const double v = samples[i];
    if (!std::isfinite(v)) {
      level.finite = false;
      continue;
    }
    if (i < skip) continue;
    sum += v * v;
    level.peak = std::max(level.peak, std::fabs(v));
    ++count;
  }
  level.rms = count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
  return level;
}

double Db(double linear) { return 20.0 * std::log10(std::max(linear, 1e-12)); }

int failures = 0;
void Expect(bool ok, const std::string& what) {
  std::cout << (ok ? "ok:   " : "FAIL: ") << what << std::endl;
  if (!ok) ++failures;
}

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Executable(const std::string& p) { return access(p.c_str(), X_OK) == 0; }

bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: ardour_render_check BUNDLE.vst3 ARDOUR-TOOLS-DIR WORK-DIR\n";
    return 2;
  }
  const fs::path bundle = fs::absolute(argv[1]);
  const fs::path tools = fs::absolute(argv[2]);
  const fs::path work = fs::absolute(argv[3]);
  const std::string stem = bundle.stem().string();
  const fs::path library = bundle / "Contents" / "x86_64-linux" / (stem + ".so");

  if (!fs::exists(library)) {
    std::cout << "SKIP: the bundle is not built yet (" << library << ")" << std::endl;
    return kSkip;
  }
  const std::string scanner = "/usr/lib/ardour7/ardour-vst3-scanner";
  if (!Executable(scanner) || !OnPath("ardour7-lua") || !OnPath("ardour7-export") ||
      !OnPath("ardour7-new_session") || !fs::exists(tools / "ardour-render.sh")) {
    std::cout << "SKIP: Ardour 7 is not installed (tools/setup.sh installs it)" << std::endl;
    return kSkip;
  }

  // A private Ardour home inside the build tree: never the user's, and not
  // shared between build configurations that may run at the same time.
  const fs::path home = work / "ardour-home";
  fs::remove_all(home);
  fs::create_directories(home / ".vst3");
  const fs::path link = home / ".vst3" / bundle.filename();
  fs::create_directory_symlink(bundle, link);
  const std::string env = "env HOME=" + Quote(home.string()) + " ARDOUR_TEST_HOME=" + Quote(home.string());

  // 1. Ardour's own scanner.
  const CommandResult scan =
      Run(env + " LD_LIBRARY_PATH=/usr/lib/ardour7 " + scanner + " -f -v " + Quote(link.string()));
  Expect(scan.status == 0, "the VST 3 scanner accepts the bundle");
  Expect(scan.output.find("Calvorin") != std::string::npos, "the scanner lists the class \"Calvorin\"");
  std::string cache;
  for (const auto& entry : fs::recursive_directory_iterator(home, fs::directory_options::skip_permission_denied)) {
    if (entry.is_regular_file() && entry.path().extension() == ".v3i") cache += ReadAll(entry.path());
  }
  std::cout << "scan cache:\n" << cache << std::endl;
  std::string upperCache = cache;
  for (char& c : upperCache) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  Expect(upperCache.find(kClassId) != std::string::npos, "the scan cache holds the class ID " + std::string(kClassId));
  Expect(std::regex_search(cache, std::regex("n_inputs=\"2\"")) &&
             std::regex_search(cache, std::regex("n_outputs=\"2\"")),
         "the scan cache records a stereo input and a stereo output");

  // 2. Render through the plug-in with its defaults.
  const std::string render = env + " " + Quote((tools / "ardour-render.sh").string()) + " " +
                             Quote(bundle.string()) + " Calvorin " + std::to_string(kRenderSeconds) + " ";
  const fs::path processedWav = work / "ardour-processed.wav";
  fs::remove(processedWav);
  const CommandResult processed = Render(render + Quote(processedWav.string()));
  if (processed.status == kTimedOut) {
    // Every attempt hit Ardour's own exporter stall: nothing was learnt about the plug-in.
    std::cout << "SKIPPED: Ardour's exporter stalled on all " << kRenderAttempts << " attempts" << std::endl;
    return 77;
  }
  Expect(processed.status == 0, "Ardour inserts the plug-in and exports a render");

  // Ardour lists the parameters it exposes as "param N: Label = value"; the
  // plug-in's own Bypass is the last one titled "Bypass" (the host bypass
  // parameter, if Ardour shows it at all, comes first).
  int bypassIndex = -1;
  const std::regex paramLine(R"(param (\d+): Bypass = )");
  for (std::sregex_iterator it(processed.output.begin(), processed.output.end(), paramLine), end; it != end; ++it) {
    bypassIndex = std::stoi((*it)[1]);
  }
  Expect(bypassIndex >= 0, "Ardour lists a \"Bypass\" parameter");

  const Level wet = Measure(processedWav.string());
  Expect(wet.readable, "the processed render is a readable audio file");
  Expect(wet.channels == 2, "the processed render is stereo");
  Expect(wet.frames >= static_cast<long long>(kRenderSeconds - 1) * kSessionRate, "the processed render is about " +
                                                                               std::to_string(kRenderSeconds) + " s long");
  Expect(wet.finite, "every processed sample is finite");
  Expect(Db(wet.rms) > -60.0, "the processed render is audible (RMS " + std::to_string(Db(wet.rms)) + " dBFS)");

  // 3. Render with the plug-in's Bypass on: the generator's noise comes back.
  if (bypassIndex >= 0) {
    const fs::path bypassedWav = work / "ardour-bypassed.wav";
    fs::remove(bypassedWav);
    const CommandResult bypassed =
        Render(render + Quote(bypassedWav.string()) + " " + std::to_string(bypassIndex) + " 1");
    Expect(bypassed.status == 0, "Ardour exports the bypassed render");
    const Level dry = Measure(bypassedWav.string());
    Expect(dry.readable && dry.finite, "the bypassed render is readable and finite");
    std::cout << "bypassed: RMS " << Db(dry.rms) << " dBFS, peak " << Db(dry.peak) << " dBFS; noise generator: RMS "
              << Db(kNoiseRms) << " dBFS, peak " << Db(kNoisePeak) << " dBFS" << std::endl;
    Expect(std::fabs(Db(dry.rms) - Db(kNoiseRms)) < 0.5, "bypassed RMS equals the noise generator's level");
    Expect(dry.peak <= kNoisePeak * 1.0001, "bypassed peak stays within the noise generator's peak");
    Expect(dry.peak >= kNoisePeak * 0.95, "bypassed peak reaches the noise generator's peak");
  }

  std::cout << (failures ? "FAILED: " : "PASSED: ") << failures << " check(s) failed" << std::endl;
  return failures ? 1 : 0;
}
