#include "plugin/TORVChainParams.h"
#include "tests/support/AllocationCounter.h"
#include "tests/plugin/EngineReference.h"
#include "tests/support/EnginePaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#if defined(__linux__)
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace iplug;

namespace
{

// Renders many blocks while the parameters keep changing between blocks (as
// host automation applied on the audio thread does: ramps, and jumps that
// glide) and meters are drained.
// Everything it touches was allocated before it runs.
struct RealtimeWorkload
{
  static constexpr int kBlock = 512;
  std::vector<double> inL = std::vector<double>(kBlock);
  std::vector<double> inR = std::vector<double>(kBlock);
  std::vector<double> outL = std::vector<double>(kBlock);
  std::vector<double> outR = std::vector<double>(kBlock);
  testdata::ParamSet params = testdata::MixedParams();
  ProcessingChain chain;
  long delivered = 0;

  explicit RealtimeWorkload(EnginePath path) { chain.SetEnginePath(path); }

  void Run(int blocks)
  {
    for (int b = 0; b < blocks; ++b)
    {
      // Walk every parameter through its range over the run.
      const int p = b % kNumParams;
      const double phase = 0.5 + 0.5 * std::sin(0.1 * b);
      double& value = params[static_cast<size_t>(p)];
      if (p >= kPullThresholdLow && p <= kPushThresholdHigh)
        value = -80 + 86 * phase;
      else if (p >= kWidthLow && p <= kWidthHigh)
        value = 200 * phase;
      else if ((p >= kExciteLow && p <= kExciteHigh) || p == kDepth ||
               p == kMix)
        value = 100 * phase;
      else if (p >= kModeLow && p <= kModeHigh)
        value = b % 3;
      else if (p == kBypass)
        value = (b / 26) % 4 == 0 ? 1 : 0;
      else
        value = 2 * phase - 1; // gains and Time
      // Every other change is a host's ramp, the others jump and glide.
      torv::ApplyParamValueToChain(chain, p, value, b % 2 == 1 ? kBlock / 2 : 0);

      for (int i = 0; i < kBlock; ++i)
      {
        const double n = b * kBlock + i;
        inL[i] = 0.8 * std::sin(0.013 * n) * (b % 7 == 0 ? 0.0 : 1.0);
        inR[i] = 0.5 * std::sin(0.31 * n);
      }
      double* inputs[2] = {inL.data(), inR.data()};
      double* outputs[2] = {outL.data(), outR.data()};
      chain.ProcessBlock(inputs, outputs, kBlock,
                         {params[kOutGain], params[kMix], params[kBypass]});
      chain.TransmitMeters([this](const MeterRecord&) { ++delivered; });
    }
  }
};

} // namespace

// Both engine paths.
class RealtimeSafety : public ::testing::TestWithParam<EnginePath>
{
};

INSTANTIATE_TEST_SUITE_P(EnginePaths, RealtimeSafety, testsupport::kEnginePaths, testsupport::EnginePathName);

TEST_P(RealtimeSafety, ProcessingAndParameterChangesNeverAllocate)
{
  RealtimeWorkload workload(GetParam());
  const std::size_t before = testsupport::CountedAllocations();
  {
    testsupport::AllocationScope scope;
    workload.Run(400); // every parameter walked ~15 times
  }
  EXPECT_EQ(testsupport::CountedAllocations(), before);
  EXPECT_GT(workload.delivered, 0);
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Strict seccomp allows only read, write and exit: any other system call (a
// lock that has to wait, memory mapping, time queries, logging) kills the
// child process.
TEST_P(RealtimeSafety, ProcessingMakesNoSystemCall)
{
  auto workload = std::make_unique<RealtimeWorkload>(GetParam());
  workload->Run(1); // first touch of every page outside the sandbox
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0)
  {
    if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_STRICT) != 0)
      syscall(SYS_exit, 2);
    workload->Run(1000);
    syscall(SYS_exit, 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif
