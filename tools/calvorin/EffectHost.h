#pragma once

#include <string>
#include <vector>

namespace calvorin::cli
{

enum class SamplePrecision
{
  k32,
  k64
};

// One parameter as a host sees it through the controller.
struct HostParameter
{
  int id = 0;
  std::string title;
  std::string units;
  int stepCount = 0; // 0: continuous
  int flags = 0;
  double defaultNormalized = 0.0;
};

// The effect's class as the host's factory describes it.
struct EffectClass
{
  std::string name;
  std::string vendor;
  std::string version;
  std::string subCategories; // '|'-separated, as hosts file the plug-in
};

// What the command-line tool needs from a loaded effect. The real realisation
// drives a VST 3 bundle the way a host does; tests use an in-process fake.
class EffectHost
{
public:
  virtual ~EffectHost() = default;

  virtual EffectClass Class() = 0;
  virtual std::vector<HostParameter> Parameters() = 0;
  virtual std::vector<std::string> PresetNames() = 0;
  // The plug-in's own value <-> text conversions (normalised values).
  virtual bool ValueToText(int id, double normalized, std::string& text) = 0;
  virtual bool TextToValue(int id, const std::string& text, double& normalized) = 0;

  // Sets up processing; false with a message when the effect refuses.
  virtual bool Prepare(double sampleRate, int maxBlockFrames, int nChannels, SamplePrecision precision,
                       std::string& error) = 0;
  // After Prepare: recall a factory preset, change one parameter. Changes
  // reach the signal path with the next processed block.
  virtual bool LoadPreset(int index, std::string& error) = 0;
  virtual bool SetParameter(int id, double normalized) = 0;
  // A parameter's normalised value as the controller holds it.
  virtual double ParameterValue(int id) = 0;
  // While processing: a point of the parameter's automation queue in the
  // next processed block, at frame `offset` of it. False when the queue is full.
  virtual bool AddPoint(int id, int offset, double normalized) = 0;
  // nFrames at most the prepared block size; one pointer per prepared channel.
  virtual void Process(float* const* inputs, float* const* outputs, int nFrames) = 0;
  virtual void Process(double* const* inputs, double* const* outputs, int nFrames) = 0;
  // Ends processing; Prepare may follow again.
  virtual void Stop() = 0;

  // Draws the effect's editor, with the current parameter values, into a PNG
  // of its size times scale. False with a message when it cannot.
  virtual bool SaveEditorSnapshot(const std::string& path, float scale, std::string& error) = 0;
};

} // namespace calvorin::cli
