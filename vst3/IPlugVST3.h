#pragma once

// The object a VST 3 host creates: component, audio processor and edit
// controller in one, on top of the plug-in framework bases. The plug-in class
// derives from it and adds only its audio and editor behaviour.

#include "core/IPlugAPIBase.h"
#include "core/Timer.h"
#include "vst3/IEnginePath.h"
#include "vst3/IPlugVST3ControllerBase.h"
#include "vst3/IPlugVST3ProcessorBase.h"
#include "vst3/abi/ChannelContext.h"
#include "vst3/abi/MidiMapping.h"
#include "vst3/abi/Units.h"
#include "vst3/base/SingleComponentEffect.h"

#include <vector>

namespace iplug
{

class IPlugVST3View;
class ViewRunLoop;

class IPlugVST3 : public IPlugAPIBase,
                  public IPlugVST3ProcessorBase,
                  public IPlugVST3ControllerBase,
                  public vst3::SingleComponentEffect,
                  public vst3::IMidiMapping,
                  public vst3::IProgramListData,
                  public vst3::ChannelContext::IInfoListener,
                  public IEnginePath
{
public:
  explicit IPlugVST3(const Config& config);
  ~IPlugVST3() override;

  // FUnknown: one reference count for every interface of the object.
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_CALL addRef() override;
  vst3::uint32 VST3_CALL release() override;

  // IPluginBase
  vst3::tresult VST3_CALL initialize(vst3::FUnknown* context) override;
  vst3::tresult VST3_CALL terminate() override;

  // IComponent
  vst3::tresult VST3_CALL setActive(vst3::TBool state) override;

  // IAudioProcessor
  vst3::tresult VST3_CALL setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                             vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) override;
  vst3::tresult VST3_CALL canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
  vst3::uint32 VST3_CALL getLatencySamples() override;
  vst3::tresult VST3_CALL setupProcessing(vst3::ProcessSetup& setup) override;
  vst3::tresult VST3_CALL setProcessing(vst3::TBool state) override;
  vst3::tresult VST3_CALL process(vst3::ProcessData& data) override;
  vst3::uint32 VST3_CALL getTailSamples() override;

  // IEditController
  vst3::tresult VST3_CALL setComponentState(vst3::IBStream* state) override;
  vst3::tresult VST3_CALL setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
  vst3::IPlugView* VST3_CALL createView(vst3::FIDString name) override;

  // IEditController2
  vst3::tresult VST3_CALL setKnobMode(vst3::KnobMode mode) override;

  // IUnitInfo
  vst3::tresult VST3_CALL getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                         vst3::String128 name) override;

  // IProgramListData: a factory preset's component state, so a host can
  // recall it through setState as it restores a project. Read-only list.
  vst3::tresult VST3_CALL programDataSupported(vst3::ProgramListID listId) override;
  vst3::tresult VST3_CALL getProgramData(vst3::ProgramListID listId, vst3::int32 programIndex,
                                         vst3::IBStream* data) override;
  vst3::tresult VST3_CALL setProgramData(vst3::ProgramListID listId, vst3::int32 programIndex,
                                         vst3::IBStream* data) override;

  // IMidiMapping
  vst3::tresult VST3_CALL getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16 channel,
                                                      vst3::CtrlNumber midiControllerNumber,
                                                      vst3::ParamID& id) override;

  // ChannelContext::IInfoListener
  vst3::tresult VST3_CALL setChannelContextInfos(vst3::IAttributeList* list) override;

  // IEnginePath: asks ChooseEnginePath.
  vst3::tresult VST3_CALL setEnginePath(vst3::int32 path) override;

  // Framework hooks
  void HostBeginEdit(int paramIdx) override;
  void HostPerformEdit(int paramIdx, double normalizedValue) override;
  void HostEndEdit(int paramIdx) override;
  void ParamEditedInEditor(int paramIdx, double normalizedValue) override;
  void ResendAllParamsToHost() override;
  void NotifyParamDetailsChanged() override;
  void SetLatencySamples(int samples) override;
  // Asks the host frame of the open view for the new size, then stores it.
  bool ResizeHostView(int width, int height) override;

  // The editor view the host shows: the attached one, otherwise the most
  // recently created one still alive (null when there is none). A host or
  // our snapshot may create a second view while one is open; releasing it
  // must not cut the open one off from its frame.
  IPlugVST3View* GetView() const;
  void RememberView(IPlugVST3View* view) { mViews.push_back(view); }
  void ForgetView(const IPlugVST3View* view) { std::erase(mViews, view); }
  // Runs the idle timer on the loop the view's host frame lends while the
  // editor is open, when the host gave none at initialize.
  void StartViewIdleTicks(const ViewRunLoop& loop);
  void StopViewIdleTicks();

protected:
  // Selects an IEnginePath path (kScalar, kVector) while not processing;
  // false for one the plug-in does not have (the default: none).
  virtual bool ChooseEnginePath(int /*path*/) { return false; }

  // Component state: the parameter chunk, then a 32-bit bypass word.
  vst3::tresult setComponentStreamState(vst3::IBStream* state) override;
  vst3::tresult getComponentStreamState(vst3::IBStream* state) override;
  // The controller keeps no state of its own.
  vst3::tresult setControllerState(vst3::IBStream* state) override;
  vst3::tresult getControllerState(vst3::IBStream* state) override;

private:
  // The exported parameters follow the IParams, which hold every value: the
  // controller's copy is set from them here and nowhere else. Values applied
  // from the process queues reach only the IParams, as VST 3 keeps the
  // controller's value apart from the processor's.
  void ExportParamValue(int paramIdx);
  void ExportParamValues();
  // Writes the parameter chunk, then the 32-bit bypass word.
  vst3::tresult WriteComponentState(StateBlob& chunk, vst3::IBStream* state);
  void IdentifyHostFrom(vst3::FUnknown* context);
  void StopIdleTicks();

  std::unique_ptr<TimerSource> mTimerSource; // the host's service behind the idle timer
  bool mProcessingIsSetUp = false;           // a setupProcessing call has succeeded
  std::unique_ptr<TimerSource> mViewTimerSource; // the view's loop, while the editor is open
  std::vector<IPlugVST3View*> mViews; // live views, oldest first; UI thread only
};

} // namespace iplug
