// The engine's cost on its scalar and vector paths, in one run: CPU
// nanoseconds per stereo sample at 48 kHz for blocks of 32, 64 and 512
// frames, for the defaults, Excite at 100 % on all bands, Bypass (the chain
// still runs), the silent tail after loud audio, and the real module's
// process() with 32-bit host buffers and a parameter queue in every block.
//
//   build/release/bench/calvorin_bench [--engine=scalar|vector|sse2|both|all]
//
// --engine picks the paths (default both: scalar and vector; sse2 is the
// vector path built for SSE2 alone; all is the three). Each path has its own
// instance; they take turns over the same input, about 4096 frames a turn,
// timed in the thread's CPU time so that other processes do not count.
// Counters: one per path (ns per stereo sample) and, with scalar and a vector
// path in the run, speedup = scalar / vector (and sse2_speedup).
//
// The sse2 path runs the lane code's SSE2 build (compiled with -mno-sse3) on
// any processor. To measure as on one without AVX, let the C library's exp
// and log, which the scalar path calls, take their SSE2 builds as well:
//
//   export GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX,-AVX2,-FMA,-SSE3,-SSSE3,-SSE4_1,-SSE4_2
//   build/release/bench/calvorin_bench --engine=all

#include "plugin/TORV.h"
#include "vst3/IEnginePath.h"
#include "vst3/host/HostApplication.h"
#include "vst3/host/Module.h"
#include "vst3/host/PluginInstance.h"
#include "vst3/host/ProcessingSession.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace
{

using iplug::EnginePath;

constexpr double kRate = 48000.0;
constexpr int kSignalFrames = 48000;
constexpr int kFramesPerTurn = 4096;

enum class Case
{
  Defaults,
  AllExcite100,
  Bypass,
  SilentTail,
  Module32,
};

struct Path
{
  const char* name;
  EnginePath path;
};

std::vector<Path> gPaths; // from --engine

double ThreadNs()
{
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// Music-like test signal: bass, mids, highs, with a level envelope.
struct Signal
{
  std::vector<double> left, right;

  explicit Signal(double gain)
    : left(kSignalFrames)
    , right(kSignalFrames)
  {
    for (size_t i = 0; i < left.size(); ++i)
    {
      const double t = static_cast<double>(i) / kRate;
      const double env = gain * (0.3 + 0.7 * std::fabs(std::sin(2 * M_PI * 2 * t)));
      left[i] = env * (0.5 * std::sin(2 * M_PI * 55 * t) + 0.2 * std::sin(2 * M_PI * 880 * t) +
                       0.05 * std::sin(2 * M_PI * 7000 * t));
      right[i] = env * (0.4 * std::sin(2 * M_PI * 82 * t) + 0.25 * std::sin(2 * M_PI * 1300 * t) +
                        0.05 * std::sin(2 * M_PI * 9500 * t));
    }
  }
};

// One path's instance, processing `count` blocks from block `index` on.
class Runner
{
public:
  virtual ~Runner() = default;
  virtual void Blocks(int index, int count) = 0;
};

// The plug-in's block function (parameters applied as a host's changes are).
class BlockRunner : public Runner
{
public:
  BlockRunner(Case c, EnginePath path, int block, const Signal& signal)
    : mSignal(&signal)
    , mOutL(static_cast<size_t>(block))
    , mOutR(static_cast<size_t>(block))
    , mBlock(block)
  {
    mPlug->SetEnginePath(path);
    mPlug->SetSampleRate(kRate);
    mPlug->NotifyAllParams(iplug::ParamSource::Reset);
    mPlug->OnReset();
    const auto set = [&](int idx, double value) {
      mPlug->GetParam(idx)->SetValue(value);
      mPlug->OnParamUpdate(idx, iplug::ParamSource::Host);
    };
    if (c == Case::AllExcite100)
      for (int idx : {kExciteLow, kExciteMid, kExciteHigh})
        set(idx, 100.0);
    if (c == Case::Bypass)
      set(kBypass, 1.0);
  }

  void SetSignal(const Signal& signal) { mSignal = &signal; }

  void Blocks(int index, int count) override
  {
    const int blocksInSignal = kSignalFrames / mBlock;
    for (int k = 0; k < count; ++k)
    {
      const size_t offset = static_cast<size_t>((index + k) % blocksInSignal) * static_cast<size_t>(mBlock);
      double* in[2] = {const_cast<double*>(mSignal->left.data()) + offset,
                       const_cast<double*>(mSignal->right.data()) + offset};
      double* out[2] = {mOutL.data(), mOutR.data()};
      mPlug->ProcessBlock(in, out, mBlock);
      mPlug->OnIdleTick();
    }
    benchmark::DoNotOptimize(mOutL.data());
    benchmark::ClobberMemory();
  }

private:
  std::unique_ptr<TORV> mPlug = std::make_unique<TORV>();
  const Signal* mSignal;
  std::vector<double> mOutL, mOutR;
  int mBlock;
};

// The built module through our host code: process() with 32-bit buffers,
// every block with a Mix point in its parameter queue.
class ModuleRunner : public Runner
{
public:
  ModuleRunner(EnginePath path, int block, const Signal& signal)
    : mBlock(block)
  {
    std::string error;
    mModule = vst3host::Module::Load(CALVORIN_BINARY_DIR "/Calvorin.vst3", error);
    vst3host::ClassInfo cls;
    if (!mModule || !mModule->FindClass(vst3::kVstAudioEffectClass, cls))
      Fail("cannot load the module: " + error);
    mHost = vst3host::MakeCom<vst3host::HostApplication>("Calvorin Bench Host");
    mInstance = vst3host::PluginInstance::Create(*mModule, cls, static_cast<vst3::IHostApplication*>(mHost.Get()), error);
    if (!mInstance)
      Fail("cannot create the plug-in: " + error);
    auto enginePath = vst3host::QueryInterface<iplug::IEnginePath>(mInstance->Component());
    const vst3::int32 wanted = path == EnginePath::Scalar ? iplug::IEnginePath::kScalar : iplug::IEnginePath::kVector;
    if (path == EnginePath::VectorSse2 || !enginePath || enginePath->setEnginePath(wanted) != vst3::kResultOk)
      Fail("the module cannot take this engine path");
    mSession = std::make_unique<vst3host::ProcessingSession>(mInstance->Component(), mInstance->Processor());
    if (mSession->Setup({kRate, block, vst3::kSample32, vst3::kRealtime}) != vst3::kResultOk ||
        mSession->Start() != vst3::kResultOk)
      Fail("the module does not start");
    mLeft.assign(signal.left.begin(), signal.left.end());
    mRight.assign(signal.right.begin(), signal.right.end());
  }

  ~ModuleRunner() override
  {
    if (mSession)
      mSession->Stop();
  }

  void Blocks(int index, int count) override
  {
    const int blocksInSignal = kSignalFrames / mBlock;
    const size_t bytes = static_cast<size_t>(mBlock) * sizeof(float);
    for (int k = 0; k < count; ++k)
    {
      const size_t offset = static_cast<size_t>((index + k) % blocksInSignal) * static_cast<size_t>(mBlock);
      std::memcpy(mSession->Inputs().Channel32(0, 0), mLeft.data() + offset, bytes);
      std::memcpy(mSession->Inputs().Channel32(0, 1), mRight.data() + offset, bytes);
      mSession->InputChanges().AddPoint(23, 0, 1.0); // Mix 100 %
      mSession->Process(mBlock);
    }
    benchmark::DoNotOptimize(mSession->Outputs().Channel32(0, 0));
    benchmark::ClobberMemory();
  }

private:
  [[noreturn]] static void Fail(const std::string& why)
  {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(1);
  }

  std::unique_ptr<vst3host::Module> mModule;
  vst3host::ComPtr<vst3host::HostApplication> mHost;
  std::unique_ptr<vst3host::PluginInstance> mInstance;
  std::unique_ptr<vst3host::ProcessingSession> mSession;
  std::vector<float> mLeft, mRight;
  int mBlock;
};

void Engine(benchmark::State& state, Case c)
{
  const int block = static_cast<int>(state.range(0));
  const Signal loud(c == Case::SilentTail ? 4.0 : 1.0);
  const Signal silence(0.0);
  std::vector<std::unique_ptr<Runner>> runners;
  for (const Path& p : gPaths)
  {
    if (c == Case::Module32)
    {
      runners.push_back(std::make_unique<ModuleRunner>(p.path, block, loud));
      continue;
    }
    auto runner = std::make_unique<BlockRunner>(c, p.path, block, loud);
    if (c == Case::SilentTail)
    {
      // Ten seconds of loud signal, then silence: the states decay towards
      // the subnormal range while the benchmark runs.
      runner->Blocks(0, 10 * kSignalFrames / block);
      runner->SetSignal(silence);
    }
    runners.push_back(std::move(runner));
  }

  std::vector<double> ns(runners.size(), 0.0);
  const int perTurn = std::max(1, kFramesPerTurn / block);
  int index = 0;
  for (auto _ : state)
  {
    for (size_t r = 0; r < runners.size(); ++r)
    {
      const double t0 = ThreadNs();
      runners[r]->Blocks(index, perTurn);
      ns[r] += ThreadNs() - t0;
    }
    index += perTurn;
  }
  const double frames = static_cast<double>(state.iterations()) * perTurn * block;
  double scalar = 0.0, vector = 0.0, sse2 = 0.0;
  for (size_t r = 0; r < runners.size(); ++r)
  {
    const double perSample = ns[r] / frames;
    state.counters[gPaths[r].name] = perSample;
    (gPaths[r].path == EnginePath::Scalar ? scalar : gPaths[r].path == EnginePath::Vector ? vector : sse2) = perSample;
  }
  if (scalar > 0.0 && vector > 0.0)
    state.counters["speedup"] = scalar / vector;
  if (scalar > 0.0 && sse2 > 0.0)
    state.counters["sse2_speedup"] = scalar / sse2;
}

// Removes --engine=... from the arguments; false for an unknown value.
bool TakeEngineFlag(int& argc, char** argv)
{
  std::string value = "both";
  int kept = 0;
  for (int i = 0; i < argc; ++i)
  {
    if (i > 0 && std::strncmp(argv[i], "--engine=", 9) == 0)
      value = argv[i] + 9;
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  const Path scalar{"scalar", EnginePath::Scalar};
  const Path vector{"vector", EnginePath::Vector};
  const Path sse2{"sse2", EnginePath::VectorSse2};
  if (value == "scalar")
    gPaths = {scalar};
  else if (value == "vector")
    gPaths = {vector};
  else if (value == "sse2")
    gPaths = {sse2};
  else if (value == "both")
    gPaths = {scalar, vector};
  else if (value == "all")
    gPaths = {scalar, vector, sse2};
  return !gPaths.empty();
}

void Register()
{
  struct Named
  {
    const char* name;
    Case c;
  };
  for (const Named& n : {Named{"Defaults", Case::Defaults}, Named{"AllExcite100", Case::AllExcite100},
                         Named{"Bypass", Case::Bypass}, Named{"SilentTail", Case::SilentTail},
                         Named{"Module32", Case::Module32}})
  {
    bool moduleRow = n.c == Case::Module32;
    for (const Path& p : gPaths)
      moduleRow = moduleRow && p.path != EnginePath::VectorSse2; // the module offers scalar and vector only
    if (n.c == Case::Module32 && !moduleRow)
      continue;
    benchmark::RegisterBenchmark((std::string("Engine/") + n.name).c_str(), Engine, n.c)
      ->Arg(32)
      ->Arg(64)
      ->Arg(512)
      ->MinTime(0.5);
  }
}

} // namespace

int main(int argc, char** argv)
{
  if (!TakeEngineFlag(argc, argv))
  {
    std::fprintf(stderr, "--engine takes scalar, vector, sse2, both or all\n");
    return 1;
  }
  Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
