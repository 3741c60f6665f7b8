#include "vst3/host/PluginInstance.h"

#include "vst3/host/ComObject.h"
#include "vst3/host/MemoryStream.h"
#include "vst3/host/Strings.h"

namespace vst3host
{

std::unique_ptr<PluginInstance> PluginInstance::Create(const Module& module, const ClassInfo& cls,
                                                       vst3::FUnknown* hostContext, std::string& error)
{
  std::unique_ptr<PluginInstance> p(new PluginInstance());
  p->mComponent = module.CreateInstance<vst3::IComponent>(cls.cid.data());
  if (!p->mComponent) {
    error = "the factory cannot create an IComponent of class " + cls.cidText;
    return nullptr;
  }
  if (p->mComponent->initialize(hostContext) != vst3::kResultOk) {
    error = "initialize of the component failed";
    return nullptr; // not initialized: no terminate, only the release
  }
  p->mComponentInitialized = true;

  p->mProcessor = QueryInterface<vst3::IAudioProcessor>(p->mComponent);
  if (!p->mProcessor) {
    error = "the component offers no IAudioProcessor";
    return nullptr;
  }

  p->mController = QueryInterface<vst3::IEditController>(p->mComponent);
  if (p->mController) {
    p->mSingleComponent = true;
  } else {
    vst3::TUID controllerCid{};
    if (p->mComponent->getControllerClassId(controllerCid) == vst3::kResultOk) {
      p->mController = module.CreateInstance<vst3::IEditController>(controllerCid);
      if (p->mController) {
        if (p->mController->initialize(hostContext) != vst3::kResultOk) {
          error = "initialize of the controller failed";
          p->mController.Reset();
          return nullptr;
        }
        p->mControllerInitialized = true;
        p->mComponentConnection = QueryInterface<vst3::IConnectionPoint>(p->mComponent);
        p->mControllerConnection = QueryInterface<vst3::IConnectionPoint>(p->mController);
        if (p->mComponentConnection && p->mControllerConnection) {
          p->mComponentConnection->connect(p->mControllerConnection.Get());
          p->mControllerConnection->connect(p->mComponentConnection.Get());
        }
      }
    }
  }

  if (p->mController) {
    p->mUnitInfo = QueryInterface<vst3::IUnitInfo>(p->mController);
    p->mMidiMapping = QueryInterface<vst3::IMidiMapping>(p->mController);
    // Start the controller from the component's state, as hosts do (also
    // for a single component, whose controller half may mirror it).
    std::vector<std::uint8_t> state;
    if (p->GetState(state) == vst3::kResultOk) {
      auto stream = MakeCom<MemoryStream>(std::move(state));
      p->mController->setComponentState(stream.Get());
    }
  }
  return p;
}

PluginInstance::~PluginInstance()
{
  Terminate();
}

void PluginInstance::Terminate()
{
  if (mController)
    mController->setComponentHandler(nullptr);
  if (mComponentConnection && mControllerConnection) {
    mComponentConnection->disconnect(mControllerConnection.Get());
    mControllerConnection->disconnect(mComponentConnection.Get());
  }
  mComponentConnection.Reset();
  mControllerConnection.Reset();
  if (mControllerInitialized && mController)
    mController->terminate();
  mControllerInitialized = false;
  if (mComponentInitialized && mComponent)
    mComponent->terminate();
  mComponentInitialized = false;
  mUnitInfo.Reset();
  mMidiMapping.Reset();
  mController.Reset();
  mProcessor.Reset();
  mComponent.Reset();
}

vst3::tresult PluginInstance::SetComponentHandler(vst3::IComponentHandler* handler)
{
  return mController ? mController->setComponentHandler(handler) : vst3::kNotInitialized;
}

std::vector<ParameterRecord> PluginInstance::Parameters() const
{
  std::vector<ParameterRecord> out;
  if (!mController)
    return out;
  const vst3::int32 n = mController->getParameterCount();
  for (vst3::int32 i = 0; i < n; ++i) {
    vst3::ParameterInfo info{};
    if (mController->getParameterInfo(i, info) != vst3::kResultOk)
      continue;
    ParameterRecord r;
    r.index = i;
    r.id = info.id;
    r.title = Utf16ToUtf8(info.title);
    r.shortTitle = Utf16ToUtf8(info.shortTitle);
    r.units = Utf16ToUtf8(info.units);
    r.stepCount = info.stepCount;
    r.defaultNormalized = info.defaultNormalizedValue;
    r.unitId = info.unitId;
    r.flags = info.flags;
    out.push_back(std::move(r));
  }
  return out;
}

bool PluginInstance::FindParameter(const std::string& title, ParameterRecord& out) const
{
  for (ParameterRecord& r : Parameters()) {
    if (r.title == title) {
      out = std::move(r);
      return true;
    }
  }
  return false;
}

std::string PluginInstance::ValueToString(vst3::ParamID id, double normalized) const
{
  vst3::String128 text{};
  if (!mController || mController->getParamStringByValue(id, normalized, text) != vst3::kResultOk)
    return {};
  return Utf16ToUtf8(text);
}

bool PluginInstance::StringToValue(vst3::ParamID id, const std::string& text, double& normalized) const
{
  if (!mController)
    return false;
  std::u16string wide = Utf8ToUtf16(text);
  return mController->getParamValueByString(id, wide.data(), normalized) == vst3::kResultOk;
}

vst3::tresult PluginInstance::GetState(std::vector<std::uint8_t>& bytes) const
{
  if (!mComponent)
    return vst3::kNotInitialized;
  auto stream = MakeCom<MemoryStream>();
  const vst3::tresult r = mComponent->getState(stream.Get());
  bytes = stream->Bytes();
  return r;
}

vst3::tresult PluginInstance::SetState(const std::vector<std::uint8_t>& bytes) const
{
  if (!mComponent)
    return vst3::kNotInitialized;
  auto stream = MakeCom<MemoryStream>(bytes);
  const vst3::tresult r = mComponent->setState(stream.Get());
  if (mController) {
    auto copy = MakeCom<MemoryStream>(bytes);
    mController->setComponentState(copy.Get());
  }
  return r;
}

} // namespace vst3host
