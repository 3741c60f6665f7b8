#include "vst3/IPlugVST3.h"

#include "vst3/HostTimerSource.h"
#include "vst3/IPlugVST3View.h"
#include "vst3/abi/HostApplication.h"
#include "vst3/base/StringConvert.h"

#include <cstring>

namespace iplug
{

namespace
{
// A state far larger than any this plug-in writes is not ours.
constexpr int kMaxStateBytes = 1 << 24;
} // namespace

IPlugVST3::IPlugVST3(const Config& config) : IPlugAPIBase(config), IPlugVST3ProcessorBase(config, *this) {}

IPlugVST3::~IPlugVST3()
{
  StopIdleTicks();
}

void IPlugVST3::StopIdleTicks()
{
  // The timer must stop before its source goes.
  GetIdleTimer().Stop();
  mTimerSource.reset();
  mViewTimerSource.reset();
}

void IPlugVST3::StartViewIdleTicks(const ViewRunLoop& loop)
{
  if (GetIdleTimer().IsRunning())
    return; // the host's loop from initialize already drives it
  mViewTimerSource = loop.MakeTimerSource();
  if (mViewTimerSource && !StartIdleTimer(*mViewTimerSource))
    mViewTimerSource.reset();
}

void IPlugVST3::StopViewIdleTicks()
{
  if (!mViewTimerSource)
    return;
  GetIdleTimer().Stop();
  mViewTimerSource.reset();
}

vst3::tresult IPlugVST3::queryInterface(const vst3::TUID queriedIid, void** obj)
{
  if (!obj)
    return vst3::kInvalidArgument;
  *obj = nullptr;
  if (!queriedIid)
    return vst3::kNoInterface;
  if (vst3::QueryInterfaceAs<vst3::IMidiMapping>(this, queriedIid, obj) ||
      vst3::QueryInterfaceAs<vst3::IProgramListData>(this, queriedIid, obj) ||
      vst3::QueryInterfaceAs<vst3::ChannelContext::IInfoListener>(this, queriedIid, obj) ||
      vst3::QueryInterfaceAs<IEnginePath>(this, queriedIid, obj))
    return vst3::kResultOk;
  return SingleComponentEffect::queryInterface(queriedIid, obj);
}

vst3::tresult IPlugVST3::setEnginePath(vst3::int32 path)
{
  return ChooseEnginePath(path) ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::uint32 IPlugVST3::addRef() { return SingleComponentEffect::addRef(); }
vst3::uint32 IPlugVST3::release() { return SingleComponentEffect::release(); }

vst3::tresult IPlugVST3::initialize(vst3::FUnknown* context)
{
  if (SingleComponentEffect::initialize(context) != vst3::kResultOk)
    return vst3::kResultFalse;
  MakeBuses(*this);
  InitializeController(*this, *this, GetPlugType() == 1, DoesMIDIIn());
  IdentifyHostFrom(context);
  OnHostKnown();
  NotifyAllParams(ParamSource::Reset);
  mTimerSource = MakeHostTimerSource(context);
  if (mTimerSource)
    StartIdleTimer(*mTimerSource);
  return vst3::kResultOk;
}

void IPlugVST3::IdentifyHostFrom(vst3::FUnknown* context)
{
  if (GetHost() != kHostUninit || !context)
    return;
  void* p = nullptr;
  if (context->queryInterface(vst3::IHostApplication::iid, &p) != vst3::kResultOk || !p)
    return;
  auto* app = static_cast<vst3::IHostApplication*>(p);
  vst3::String128 name{};
  if (app->getName(name) == vst3::kResultOk)
  {
    char narrow[128];
    vst3::NarrowLowBytes(name, 128, narrow, 128);
    SetHost(narrow, 0);
  }
  app->release();
}

vst3::tresult IPlugVST3::terminate()
{
  StopIdleTicks(); // releases the host's run loop
  ForgetControllerParameters();
  return SingleComponentEffect::terminate();
}

vst3::tresult IPlugVST3::setActive(vst3::TBool state)
{
  OnActivate(state != 0);
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                            vst3::SpeakerArrangement* outputs, vst3::int32 numOuts)
{
  return SetBusArrangements(*this, inputs, numIns, outputs, numOuts);
}

vst3::tresult IPlugVST3::canProcessSampleSize(vst3::int32 symbolicSampleSize)
{
  return (symbolicSampleSize == vst3::kSample32 || symbolicSampleSize == vst3::kSample64) ? vst3::kResultTrue
                                                                                          : vst3::kResultFalse;
}

vst3::uint32 IPlugVST3::getLatencySamples() { return static_cast<vst3::uint32>(GetLatency()); }

vst3::tresult IPlugVST3::setupProcessing(vst3::ProcessSetup& setup)
{
  if (canProcessSampleSize(setup.symbolicSampleSize) != vst3::kResultTrue)
    return vst3::kResultFalse;
  const vst3::tresult result = SetupProcessing(setup);
  if (result == vst3::kResultOk) {
    mProcessSetup = setup;
    mProcessingIsSetUp = true;
  }
  return result;
}

vst3::tresult IPlugVST3::setProcessing(vst3::TBool state)
{
  if (!state)
    OnReset();
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::process(vst3::ProcessData& data)
{
  PrepareProcessContext(data);
  SetOffline(mProcessSetup.processMode == vst3::kOffline);
  ApplyMarkedParamChanges(); // changes made on other threads since the last block
  ProcessParameterChanges(data);
  // Buffers are read as the sample size agreed at set-up; a block that claims
  // another size would be read as the wrong type, past the host's memory.
  // Before any set-up the block's own size is the only one there is (the
  // block then only receives silence).
  const vst3::int32 sampleSize = mProcessingIsSetUp ? mProcessSetup.symbolicSampleSize : data.symbolicSampleSize;
  if (data.numSamples > 0 && data.symbolicSampleSize != sampleSize)
  {
    FinishParamPoints();
    return vst3::kInvalidArgument;
  }
  ProcessAudio(data, *this, sampleSize);
  FinishParamPoints();
  return vst3::kResultOk;
}

vst3::uint32 IPlugVST3::getTailSamples() { return GetTailSamples(); }

vst3::tresult IPlugVST3::getComponentStreamState(vst3::IBStream* state)
{
  if (!state)
    return vst3::kInvalidArgument;
  StateBlob chunk;
  if (!SaveState(chunk))
    return vst3::kResultFalse;
  return WriteComponentState(chunk, state);
}

vst3::tresult IPlugVST3::WriteComponentState(StateBlob& chunk, vst3::IBStream* state)
{
  vst3::int32 written = 0;
  state->write(chunk.GetData(), chunk.Size(), &written);
  vst3::int32 bypass = GetBypassed() ? 1 : 0; // little-endian on every target
  state->write(&bypass, sizeof(bypass), &written);
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::setComponentStreamState(vst3::IBStream* state)
{
  if (!state)
    return vst3::kInvalidArgument;
  StateBlob chunk;
  const bool keepReadingOnError = GetHost() == kHostWaveLab;
  while (chunk.Size() < kMaxStateBytes)
  {
    char buffer[128];
    vst3::int32 nRead = 0;
    const vst3::tresult result = state->read(buffer, sizeof(buffer), &nRead);
    nRead = std::clamp(nRead, 0, static_cast<vst3::int32>(sizeof(buffer)));
    if (result != vst3::kResultOk && !keepReadingOnError)
      break;
    if (nRead <= 0)
      break;
    chunk.AppendBytes(buffer, nRead);
  }

  // A chunk without every parameter would leave the plug-in half restored.
  if (chunk.Size() < NParams() * static_cast<int>(sizeof(double)))
    return vst3::kResultFalse;
  const int pos = LoadState(chunk, 0);
  if (pos < 0)
    return vst3::kResultFalse;

  ExportParamValues();

  vst3::int32 bypass = 0;
  const bool hasBypass = chunk.ReadAt(bypass, pos) >= 0;
  if (hasBypass)
  {
    if (vst3::Parameter* exported = mParameters.getParameter(kBypassParamID))
      exported->setNormalized(static_cast<double>(bypass));
  }
  SyncEditorFromParams();
  return hasBypass ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult IPlugVST3::setComponentState(vst3::IBStream*) { return vst3::kResultOk; }
vst3::tresult IPlugVST3::setControllerState(vst3::IBStream*) { return vst3::kResultOk; }
vst3::tresult IPlugVST3::getControllerState(vst3::IBStream*) { return vst3::kResultOk; }

vst3::tresult IPlugVST3::setParamNormalized(vst3::ParamID id, vst3::ParamValue value)
{
  vst3::Parameter* exported = mParameters.getParameter(id);
  if (!exported)
    return vst3::kResultFalse;
  if (id >= kBypassParamID || id >= static_cast<vst3::ParamID>(NParams()))
  {
    exported->setNormalized(value); // a parameter of the host's alone
  }
  else
  {
    const int idx = static_cast<int>(id);
    GetParam(idx)->SetFromNormalized(value);
    ExportParamValue(idx);
    OnParamUpdate(idx, ParamSource::Host);
    ShowParamInEditor(idx, value, true);
  }
  return vst3::kResultOk;
}

vst3::IPlugView* IPlugVST3::createView(vst3::FIDString name)
{
  if (!name || std::strcmp(name, vst3::ViewType::kEditor) != 0)
    return nullptr;
  return new IPlugVST3View(*this); // remembers itself as our view
}

IPlugVST3View* IPlugVST3::GetView() const
{
  for (IPlugVST3View* view : mViews)
    if (view->IsAttached())
      return view;
  return mViews.empty() ? nullptr : mViews.back();
}

bool IPlugVST3::ResizeHostView(int width, int height)
{
  if (!HasUI())
    return true;
  if (width != GetEditorWidth() || height != GetEditorHeight())
    if (IPlugVST3View* view = GetView())
      view->RequestHostResize(width, height);
  SetEditorSize(width, height);
  return true;
}

vst3::tresult IPlugVST3::setKnobMode(vst3::KnobMode) { return vst3::kResultOk; }

vst3::tresult IPlugVST3::getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex, vst3::String128 name)
{
  if (!name)
    return vst3::kInvalidArgument;
  if (listId != kPresetProgramListID || NPresets() < 1)
    return vst3::kResultFalse;
  vst3::WidenBytes(GetPresetName(programIndex), name, 128); // "" outside the list
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::programDataSupported(vst3::ProgramListID listId)
{
  return listId == kPresetProgramListID && NPresets() > 0 ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult IPlugVST3::getProgramData(vst3::ProgramListID listId, vst3::int32 programIndex, vst3::IBStream* data)
{
  if (programDataSupported(listId) != vst3::kResultTrue)
    return vst3::kResultFalse;
  const PresetSlot* slot = GetPreset(programIndex);
  if (!data || !slot)
    return vst3::kInvalidArgument;

  // The chunk getState would write after recalling the slot, built without
  // recalling it: each stored value constrained as the recall would store it.
  // Recalling an empty slot captures the current values, so its state is the
  // current one.
  StateBlob chunk;
  if (!slot->initialised)
  {
    if (!SaveState(chunk))
      return vst3::kResultFalse;
    return WriteComponentState(chunk, data);
  }
  int pos = 0;
  for (int i = 0; i < NParams(); ++i)
  {
    double value = 0.0;
    pos = slot->chunk.ReadAt(value, pos);
    if (pos < 0)
      return vst3::kResultFalse; // a recall of this slot would fail as well
    chunk.Append(GetParam(i)->FitToRange(value));
  }
  return WriteComponentState(chunk, data);
}

vst3::tresult IPlugVST3::setProgramData(vst3::ProgramListID, vst3::int32, vst3::IBStream*)
{
  return vst3::kNotImplemented; // factory presets are never overwritten
}

vst3::tresult IPlugVST3::getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16 channel,
                                                     vst3::CtrlNumber midiControllerNumber, vst3::ParamID& id)
{
  if (busIndex != 0 || channel != 0)
    return vst3::kResultFalse;
  id = kMidiCCParamStartID + static_cast<vst3::ParamID>(kMidiCCsPerChannel * channel + midiControllerNumber);
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::setChannelContextInfos(vst3::IAttributeList* list) { return SetChannelContextInfos(list); }

void IPlugVST3::HostBeginEdit(int paramIdx) { beginEdit(static_cast<vst3::ParamID>(paramIdx)); }

void IPlugVST3::HostPerformEdit(int paramIdx, double normalizedValue)
{
  ExportParamValue(paramIdx); // the host may read the controller's value back at once
  performEdit(static_cast<vst3::ParamID>(paramIdx), normalizedValue);
}

void IPlugVST3::HostEndEdit(int paramIdx) { endEdit(static_cast<vst3::ParamID>(paramIdx)); }

void IPlugVST3::ParamEditedInEditor(int paramIdx, double normalizedValue)
{
  IPlugAPIBase::ParamEditedInEditor(paramIdx, normalizedValue);
  ExportParamValue(paramIdx); // the edit stands even when the host answered with another value
}

void IPlugVST3::ExportParamValue(int paramIdx)
{
  const IParam* param = GetParam(paramIdx);
  vst3::Parameter* exported = mParameters.getParameter(static_cast<vst3::ParamID>(paramIdx));
  if (param && exported)
    exported->setNormalized(param->GetValueNormalized());
}

void IPlugVST3::ExportParamValues()
{
  for (int i = 0; i < NParams(); ++i)
    ExportParamValue(i);
}

void IPlugVST3::ResendAllParamsToHost()
{
  startGroupEdit(); // each perform-edit exports its value first
  for (int i = 0; i < NParams(); ++i)
    HostPerformEdit(i, GetParam(i)->GetValueNormalized());
  finishGroupEdit();
}

void IPlugVST3::NotifyParamDetailsChanged() { restartComponent(vst3::kParamTitlesChanged); }

void IPlugVST3::SetLatencySamples(int samples)
{
  IPlugProcessor::SetLatencySamples(samples);
  restartComponent(vst3::kLatencyChanged);
}

} // namespace iplug
