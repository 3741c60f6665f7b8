#include "tools/calvorin/Vst3EffectHost.h"

#include "vst3/abi/Speakers.h"
#include "vst3/abi/Units.h"
#include "vst3/host/EditorSnapshot.h"
#include "vst3/host/ComponentHandler.h"
#include "vst3/host/HostApplication.h"
#include "vst3/host/MemoryStream.h"
#include "vst3/host/Module.h"
#include "vst3/host/PluginInstance.h"
#include "vst3/host/ProcessingSession.h"
#include "vst3/host/Strings.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>
#include <vector>

namespace calvorin::cli
{

namespace
{

constexpr const char* kAudioEffectCategory = "Audio Module Class";
// The program list the plug-in names its factory presets under.
constexpr vst3::ProgramListID kFactoryPresetList = 65537;
constexpr int kMaxPresets = 1024;

} // namespace

// Declared in destruction order reversed: the session goes first, the
// module (the loaded library) last.
struct Vst3EffectHost::Parts
{
  std::unique_ptr<vst3host::Module> module;
  vst3host::ClassInfo cls;
  vst3host::ComPtr<vst3host::HostApplication> hostContext;
  vst3host::ComPtr<vst3host::ComponentHandler> handler;
  std::unique_ptr<vst3host::PluginInstance> instance;
  std::unique_ptr<vst3host::ProcessingSession> session;
  std::vector<vst3host::ParameterRecord> parameters;
  // Changes made while not processing, sent with the first block.
  std::vector<std::pair<vst3::ParamID, double>> pending;
  int channels = 0;
};

std::unique_ptr<Vst3EffectHost> Vst3EffectHost::Open(const std::string& bundlePath, std::string& error)
{
  auto parts = std::make_unique<Parts>();
  std::string detail;
  parts->module = vst3host::Module::Load(bundlePath, detail);
  if (!parts->module)
  {
    error = "cannot load '" + bundlePath + "': " + detail;
    return nullptr;
  }
  vst3host::ClassInfo& cls = parts->cls;
  if (!parts->module->FindClass(kAudioEffectCategory, cls))
  {
    error = "'" + bundlePath + "' holds no audio effect class";
    return nullptr;
  }
  parts->hostContext = vst3host::MakeCom<vst3host::HostApplication>("calvorin");
  parts->instance = vst3host::PluginInstance::Create(
      *parts->module, cls, static_cast<vst3::IHostApplication*>(parts->hostContext.Get()), detail);
  if (!parts->instance)
  {
    error = "cannot create '" + cls.name + "' from '" + bundlePath + "': " + detail;
    return nullptr;
  }
  parts->handler = vst3host::MakeCom<vst3host::ComponentHandler>();
  parts->instance->SetComponentHandler(parts->handler.Get());
  parts->parameters = parts->instance->Parameters();
  return std::unique_ptr<Vst3EffectHost>(new Vst3EffectHost(std::move(parts)));
}

Vst3EffectHost::Vst3EffectHost(std::unique_ptr<Parts> parts) : mParts(std::move(parts)) {}

Vst3EffectHost::~Vst3EffectHost()
{
  Stop();
}

EffectClass Vst3EffectHost::Class()
{
  const vst3host::ClassInfo& c = mParts->cls;
  return {c.name, c.vendor, c.version, c.subCategories};
}

std::vector<HostParameter> Vst3EffectHost::Parameters()
{
  std::vector<HostParameter> result;
  for (const vst3host::ParameterRecord& p : mParts->parameters)
    result.push_back({static_cast<int>(p.id), p.title, p.units, p.stepCount, p.flags, p.defaultNormalized});
  return result;
}

std::vector<std::string> Vst3EffectHost::PresetNames()
{
  std::vector<std::string> names;
  vst3::IUnitInfo* units = mParts->instance->UnitInfo();
  if (!units)
    return names;
  for (int i = 0; i < kMaxPresets; ++i)
  {
    vst3::String128 name{};
    if (units->getProgramName(kFactoryPresetList, i, name) != vst3::kResultOk)
      break;
    std::string text = vst3host::Utf16ToUtf8(name);
    if (text.empty())
      break;
    names.push_back(std::move(text));
  }
  return names;
}

bool Vst3EffectHost::ValueToText(int id, double normalized, std::string& text)
{
  text = mParts->instance->ValueToString(static_cast<vst3::ParamID>(id), normalized);
  return !text.empty();
}

bool Vst3EffectHost::TextToValue(int id, const std::string& text, double& normalized)
{
  return mParts->instance->StringToValue(static_cast<vst3::ParamID>(id), text, normalized);
}

bool Vst3EffectHost::Prepare(double sampleRate, int maxBlockFrames, int nChannels, SamplePrecision precision,
                             std::string& error)
{
  Stop();
  vst3::SpeakerArrangement layout = nChannels == 1 ? vst3::SpeakerArr::kMono : vst3::SpeakerArr::kStereo;
  vst3::SpeakerArrangement inLayout = layout, outLayout = layout;
  vst3::IAudioProcessor* processor = mParts->instance->Processor();
  if (processor->setBusArrangements(&inLayout, 1, &outLayout, 1) != vst3::kResultTrue)
  {
    error = std::string("the plug-in refuses ") + (nChannels == 1 ? "mono" : "stereo") + " buses";
    return false;
  }
  auto session = std::make_unique<vst3host::ProcessingSession>(mParts->instance->Component(), processor);
  vst3host::ProcessConfig config;
  config.sampleRate = sampleRate;
  config.maxSamplesPerBlock = maxBlockFrames;
  config.symbolicSampleSize = precision == SamplePrecision::k64 ? vst3::kSample64 : vst3::kSample32;
  config.processMode = vst3::kOffline;
  if (session->Setup(config) != vst3::kResultOk)
  {
    error = "the plug-in refuses to process " + std::string(precision == SamplePrecision::k64 ? "64" : "32") +
            "-bit samples at " + std::to_string(static_cast<long long>(sampleRate)) + " Hz";
    return false;
  }
  if (session->Start() != vst3::kResultOk)
  {
    error = "the plug-in does not start processing";
    return false;
  }
  mParts->session = std::move(session);
  mParts->channels = nChannels;
  for (const auto& [id, value] : mParts->pending)
    mParts->session->InputChanges().AddPoint(id, 0, value);
  mParts->pending.clear();
  return true;
}

bool Vst3EffectHost::SaveEditorSnapshot(const std::string& path, float scale, std::string& error)
{
  const std::string failure = vst3host::RenderEditorSnapshot(*mParts->instance, path, scale);
  if (failure.empty())
    return true;
  error = "cannot draw the editor into '" + path + "': " + failure;
  return false;
}

bool Vst3EffectHost::LoadPreset(int index, std::string& error)
{
  // The plug-in exports no program-change parameter; it hands out a preset's
  // component state through IProgramListData instead, and the host restores
  // that state as it restores a project: the component's setState, then the
  // controller's setComponentState.
  vst3::IComponent* component = mParts->instance->Component();
  auto programData = vst3host::QueryInterface<vst3::IProgramListData>(component);
  if (!programData || programData->programDataSupported(kFactoryPresetList) != vst3::kResultTrue)
  {
    error = "the plug-in does not hand out its factory presets' data, so a host cannot recall them";
    return false;
  }
  auto stream = vst3host::MakeCom<vst3host::MemoryStream>();
  if (programData->getProgramData(kFactoryPresetList, index, stream.Get()) != vst3::kResultOk)
  {
    error = "the plug-in has no data for preset " + std::to_string(index);
    return false;
  }
  if (mParts->instance->SetState(stream->Bytes()) != vst3::kResultOk)
  {
    error = "the plug-in refused the data of preset " + std::to_string(index);
    return false;
  }
  // Changes queued before the recall are now stale: the state replaced them.
  mParts->pending.clear();
  if (mParts->session)
    mParts->session->InputChanges().Clear();
  return true;
}

bool Vst3EffectHost::SetParameter(int id, double normalized)
{
  // The controller learns the value as from a host edit; the processor
  // gets it in the next block's parameter queue.
  const auto paramId = static_cast<vst3::ParamID>(id);
  mParts->instance->Controller()->setParamNormalized(paramId, normalized);
  if (!mParts->session)
  {
    mParts->pending.emplace_back(paramId, normalized);
    return true;
  }
  return mParts->session->InputChanges().AddPoint(paramId, 0, normalized);
}

double Vst3EffectHost::ParameterValue(int id)
{
  return mParts->instance->Controller()->getParamNormalized(static_cast<vst3::ParamID>(id));
}

bool Vst3EffectHost::AddPoint(int id, int offset, double normalized)
{
  return mParts->session && mParts->session->InputChanges().AddPoint(static_cast<vst3::ParamID>(id), offset, normalized);
}

template <typename Sample>
void Vst3EffectHost::ProcessBlock(Sample* const* inputs, Sample* const* outputs, int nFrames)
{
  vst3host::ProcessingSession* session = mParts->session.get();
  if (!session)
    return;
  nFrames = std::min(nFrames, static_cast<int>(session->Config().maxSamplesPerBlock));
  auto channel = [](vst3host::AudioBuffers& buffers, int c) {
    if constexpr (std::is_same_v<Sample, float>)
      return buffers.Channel32(0, c);
    else
      return buffers.Channel64(0, c);
  };
  const int inChannels = std::min(mParts->channels, static_cast<int>(session->Inputs().ChannelCount(0)));
  const int outChannels = std::min(mParts->channels, static_cast<int>(session->Outputs().ChannelCount(0)));
  for (int c = 0; c < inChannels; ++c)
    std::copy(inputs[c], inputs[c] + nFrames, channel(session->Inputs(), c));
  session->Process(nFrames);
  for (int c = 0; c < outChannels; ++c)
    std::copy(channel(session->Outputs(), c), channel(session->Outputs(), c) + nFrames, outputs[c]);
  for (int c = outChannels; c < mParts->channels; ++c)
    std::fill(outputs[c], outputs[c] + nFrames, Sample(0));
}

void Vst3EffectHost::Process(float* const* inputs, float* const* outputs, int nFrames)
{
  ProcessBlock(inputs, outputs, nFrames);
}

void Vst3EffectHost::Process(double* const* inputs, double* const* outputs, int nFrames)
{
  ProcessBlock(inputs, outputs, nFrames);
}

void Vst3EffectHost::Stop()
{
  if (mParts && mParts->session)
  {
    mParts->session->Stop();
    mParts->session.reset();
  }
}

} // namespace calvorin::cli
