#include "core/IPlugAPIBase.h"

#include <algorithm>
#include <vector>

namespace iplug
{

IPlugAPIBase::IPlugAPIBase(const Config& config)
  : IPluginBase(config.nParams, config.nPresets)
  , mUniqueID(config.uniqueID)
  , mMfrID(config.mfrID)
  , mVersion(config.vendorVersion)
  , mPluginName(config.pluginName ? config.pluginName : "")
  , mProductName(config.productName ? config.productName : "")
  , mMfrName(config.mfrName ? config.mfrName : "")
  , mBundleID(config.bundleID ? config.bundleID : "")
  , mHasUI(config.plugHasUI)
  , mHostResize(config.plugHostResize)
  , mEditorWidth(config.plugWidth)
  , mEditorHeight(config.plugHeight)
  , mMinWidth(std::min(config.plugMinWidth, config.plugMaxWidth))
  , mMaxWidth(std::max(config.plugMinWidth, config.plugMaxWidth))
  , mMinHeight(std::min(config.plugMinHeight, config.plugMaxHeight))
  , mMaxHeight(std::max(config.plugMinHeight, config.plugMaxHeight))
  , mTimer(Timer::Create([this](Timer&) { OnTimerTick(); }, kIdleTimerIntervalMs))
{
}

IPlugAPIBase::~IPlugAPIBase()
{
  // No tick may reach a half-destroyed plug-in.
  mTimer->Stop();
}

void IPlugAPIBase::OnTimerTick()
{
  // The processor queues no MIDI or system-exclusive messages for the editor,
  // so there is nothing to deliver before the idle work.
  OnIdleTick();
}

void IPlugAPIBase::ParamEditedInEditor(int paramIdx, double normalizedValue)
{
  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  param->SetFromNormalized(normalizedValue);
  HostPerformEdit(paramIdx, normalizedValue);
  OnParamChange(paramIdx, ParamSource::UI, -1);
  // Again: the host may have answered the perform-edit by setting another value.
  param->SetFromNormalized(normalizedValue);
  OnParamUpdate(paramIdx, ParamSource::UI);
}

void IPlugAPIBase::BeginParamGesture(int paramIdx)
{
  if (GetParam(paramIdx))
    HostBeginEdit(paramIdx);
}

void IPlugAPIBase::EndParamGesture(int paramIdx)
{
  if (GetParam(paramIdx))
    HostEndEdit(paramIdx);
}

bool IPlugAPIBase::ResizeFromEditor(int width, int height, bool needsPlatformResize)
{
  if (needsPlatformResize)
    return ResizeHostView(width, height);
  return true;
}

bool IPlugAPIBase::LoadPresetFromEditor(int index)
{
  std::vector<double> before(static_cast<size_t>(NParams()));
  for (int i = 0; i < NParams(); ++i)
    before[static_cast<size_t>(i)] = GetParam(i)->GetValueNormalized();
  if (!LoadPreset(index))
    return false;
  std::vector<int> changed;
  for (int i = 0; i < NParams(); ++i)
    if (GetParam(i)->GetValueNormalized() != before[static_cast<size_t>(i)])
      changed.push_back(i);
  for (int i : changed)
    HostBeginEdit(i);
  for (int i : changed)
    HostPerformEdit(i, GetParam(i)->GetValueNormalized());
  for (int i : changed)
    HostEndEdit(i);
  return true;
}

void IPlugAPIBase::ResendAllParamsToHost()
{
  for (int i = 0; i < NParams(); ++i)
    HostPerformEdit(i, GetParam(i)->GetValueNormalized());
}

void IPlugAPIBase::SetEditorSize(int width, int height)
{
  mEditorWidth = width;
  mEditorHeight = height;
}

} // namespace iplug
