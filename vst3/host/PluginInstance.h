#pragma once

// One plug-in instance set up the way hosts do it: create the component,
// initialize it with the host context, use it as the controller when it is
// one (single component), otherwise create, initialize and connect the
// controller class it names. Then hand the controller the component handler
// and the component's state. Destruction terminates and releases in reverse.

#include "vst3/abi/Vst3.h"
#include "vst3/host/ComPtr.h"
#include "vst3/host/Module.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vst3host
{

// A controller parameter as the host lists it, strings in UTF-8.
struct ParameterRecord
{
  vst3::int32 index = 0;
  vst3::ParamID id = 0;
  std::string title;
  std::string shortTitle;
  std::string units;
  vst3::int32 stepCount = 0;
  double defaultNormalized = 0.0;
  vst3::UnitID unitId = 0;
  vst3::int32 flags = 0;
};

class PluginInstance
{
public:
  // Null with a message in error when any step a host relies on fails.
  static std::unique_ptr<PluginInstance> Create(const Module& module, const ClassInfo& cls,
                                                vst3::FUnknown* hostContext, std::string& error);
  ~PluginInstance();

  PluginInstance(const PluginInstance&) = delete;
  PluginInstance& operator=(const PluginInstance&) = delete;

  vst3::IComponent* Component() const { return mComponent.Get(); }
  vst3::IAudioProcessor* Processor() const { return mProcessor.Get(); }
  vst3::IEditController* Controller() const { return mController.Get(); }
  // Optional interfaces; null when the plug-in does not offer them.
  vst3::IUnitInfo* UnitInfo() const { return mUnitInfo.Get(); }
  vst3::IMidiMapping* MidiMapping() const { return mMidiMapping.Get(); }
  bool IsSingleComponent() const { return mSingleComponent; }

  vst3::tresult SetComponentHandler(vst3::IComponentHandler* handler);

  std::vector<ParameterRecord> Parameters() const;
  // The first parameter with this title (UTF-8); false when there is none.
  bool FindParameter(const std::string& title, ParameterRecord& out) const;
  // getParamStringByValue as UTF-8; empty when the controller refuses.
  std::string ValueToString(vst3::ParamID id, double normalized) const;
  bool StringToValue(vst3::ParamID id, const std::string& text, double& normalized) const;

  // Component state through a memory stream.
  vst3::tresult GetState(std::vector<std::uint8_t>& bytes) const;
  // Component setState, then the same bytes to the controller's
  // setComponentState (the order hosts use to load a project or preset).
  vst3::tresult SetState(const std::vector<std::uint8_t>& bytes) const;

  // terminate() on every initialized object (idempotent; the destructor calls it).
  void Terminate();

private:
  PluginInstance() = default;

  ComPtr<vst3::IComponent> mComponent;
  ComPtr<vst3::IAudioProcessor> mProcessor;
  ComPtr<vst3::IEditController> mController;
  ComPtr<vst3::IUnitInfo> mUnitInfo;
  ComPtr<vst3::IMidiMapping> mMidiMapping;
  ComPtr<vst3::IConnectionPoint> mComponentConnection;
  ComPtr<vst3::IConnectionPoint> mControllerConnection;
  bool mSingleComponent = false;
  bool mComponentInitialized = false;
  bool mControllerInitialized = false;
};

} // namespace vst3host
