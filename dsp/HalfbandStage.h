#pragma once

#include <array>

namespace iplug
{

// A polyphase half-band stage: two parallel paths of six first-order all-pass
// sections. Path A runs the even coefficients, path B the odd ones. The same
// stage serves as the upsampler (both paths fed the same sample) and as the
// downsampler (the paths' outputs averaged).
class HalfbandStage
{
public:
  static constexpr int kNumCoefficients = 12;
  static constexpr int kSectionsPerPath = kNumCoefficients / 2;
  static constexpr std::array<double, kNumCoefficients> kCoefficients = {
    0.036681502163648017, 0.13654762463195794, 0.27463175937945444, 0.4231386174365671,
    0.5610986978791953,   0.6775400499741618,  0.769741833863227,   0.8398896248496389,
    0.892260818003879,    0.9315419599631839,  0.9620945483780842,  0.9878163707328959,
  };

  // Audio thread: steps two independent stages (left and right channel) in one
  // pass, replacing each stage's two path inputs by its two path outputs. The
  // four all-pass chains are independent; interleaving them keeps the
  // pipelines busy without changing any chain's arithmetic.
  static void StepTwo(HalfbandStage& s1, double& pathA1, double& pathB1, HalfbandStage& s2, double& pathA2,
                      double& pathB2)
  {
    double a1 = pathA1, b1 = pathB1, a2 = pathA2, b2 = pathB2;
    for (int section = 0; section < kSectionsPerPath; ++section)
    {
      const int ia = 2 * section;
      const int ib = ia + 1;
      const double ka = kCoefficients[ia];
      const double kb = kCoefficients[ib];
      const double ya1 = (a1 - s1.mOutputs[ia]) * ka + s1.mInputs[ia];
      const double yb1 = (b1 - s1.mOutputs[ib]) * kb + s1.mInputs[ib];
      const double ya2 = (a2 - s2.mOutputs[ia]) * ka + s2.mInputs[ia];
      const double yb2 = (b2 - s2.mOutputs[ib]) * kb + s2.mInputs[ib];
      s1.mInputs[ia] = a1;
      s1.mOutputs[ia] = ya1;
      s1.mInputs[ib] = b1;
      s1.mOutputs[ib] = yb1;
      s2.mInputs[ia] = a2;
      s2.mOutputs[ia] = ya2;
      s2.mInputs[ib] = b2;
      s2.mOutputs[ib] = yb2;
      a1 = ya1;
      b1 = yb1;
      a2 = ya2;
      b2 = yb2;
    }
    pathA1 = a1;
    pathB1 = b1;
    pathA2 = a2;
    pathB2 = b2;
  }

  void Reset()
  {
    mInputs = {};
    mOutputs = {};
  }

  // Clears all memories when any is NaN or infinite; returns whether it did.
  bool ResetIfNotFinite();

private:
  std::array<double, kNumCoefficients> mInputs{};  // previous section inputs
  std::array<double, kNumCoefficients> mOutputs{}; // previous section outputs
};

} // namespace iplug
