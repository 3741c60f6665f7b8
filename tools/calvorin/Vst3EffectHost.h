#pragma once

#include "tools/calvorin/EffectHost.h"

#include <memory>
#include <string>

namespace calvorin::cli
{

// The effect host over a VST 3 bundle, driven through the project's own host
// code exactly as a DAW drives a plug-in: module, factory, instance with a
// host context and component handler, bus arrangements, processing set-up
// and process() with parameter queues. Never links the engine directly.
class Vst3EffectHost final : public EffectHost
{
public:
  // Null with a message when the bundle does not load or has no audio effect.
  static std::unique_ptr<Vst3EffectHost> Open(const std::string& bundlePath, std::string& error);
  ~Vst3EffectHost() override;

  EffectClass Class() override;
  std::vector<HostParameter> Parameters() override;
  std::vector<std::string> PresetNames() override;
  bool ValueToText(int id, double normalized, std::string& text) override;
  bool TextToValue(int id, const std::string& text, double& normalized) override;
  bool Prepare(double sampleRate, int maxBlockFrames, int nChannels, SamplePrecision precision,
               std::string& error) override;
  bool LoadPreset(int index, std::string& error) override;
  bool SetParameter(int id, double normalized) override;
  double ParameterValue(int id) override;
  bool AddPoint(int id, int offset, double normalized) override;
  void Process(float* const* inputs, float* const* outputs, int nFrames) override;
  void Process(double* const* inputs, double* const* outputs, int nFrames) override;
  void Stop() override;
  bool SaveEditorSnapshot(const std::string& path, float scale, std::string& error) override;

private:
  struct Parts;
  explicit Vst3EffectHost(std::unique_ptr<Parts> parts);

  template <typename Sample>
  void ProcessBlock(Sample* const* inputs, Sample* const* outputs, int nFrames);

  std::unique_ptr<Parts> mParts;
};

} // namespace calvorin::cli
