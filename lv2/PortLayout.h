#pragma once

// The plug-in's LV2 ports in index order: stereo audio in, stereo audio out,
// one control input per parameter, the host's enable switch, the latency
// output, then two level outputs per meter (processed, dry) for the editor.
// The indices are part of the plug-in's description that hosts store: new
// ports only ever go at the end.

#include <string>

namespace iplug
{

class PortLayout
{
public:
  static constexpr int kNumAudioIns = 2;
  static constexpr int kNumAudioOuts = 2;
  static constexpr int kNumMeters = 4;         // Low, Mid, High, output
  static constexpr int kValuesPerMeter = 2;    // processed (output) level, dry (input) level

  explicit PortLayout(int nParams) : mNParams(nParams) {}

  int NParams() const { return mNParams; }
  static int AudioIn(int channel) { return channel; }
  static int AudioOut(int channel) { return kNumAudioIns + channel; }
  static constexpr int kFirstParamPort = kNumAudioIns + kNumAudioOuts;
  int Param(int paramIdx) const { return kFirstParamPort + paramIdx; }
  int Enabled() const { return kFirstParamPort + mNParams; }
  int Latency() const { return Enabled() + 1; }
  int Meter(int meterTag, int value) const { return Latency() + 1 + meterTag * kValuesPerMeter + value; }
  int NPorts() const { return Meter(kNumMeters, 0); }

  // The parameter index of a port, or -1 when it is no parameter's.
  int ParamOfPort(int port) const
  {
    return port >= kFirstParamPort && port < kFirstParamPort + mNParams ? port - kFirstParamPort : -1;
  }
  // The meter tag and value of a level port; false when it is none.
  bool MeterOfPort(int port, int& meterTag, int& value) const
  {
    const int i = port - Meter(0, 0);
    if (i < 0 || i >= kNumMeters * kValuesPerMeter)
      return false;
    meterTag = i / kValuesPerMeter;
    value = i % kValuesPerMeter;
    return true;
  }

  // A port symbol from a name: lower-case ASCII letters and digits, every
  // other run of characters one '_' ("Pre-gain Low" -> "pre_gain_low").
  static std::string SymbolFromName(const char* name);

private:
  int mNParams;
};

} // namespace iplug
