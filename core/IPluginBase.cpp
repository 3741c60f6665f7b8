#include "core/IPluginBase.h"

#include "core/NumberText.h"

#include <cstring>

namespace iplug
{

namespace
{

constexpr const char* kUserPresetText = "user preset";

void CopyPresetName(char* dest, const char* src)
{
  std::size_t n = std::strlen(src);
  if (n > static_cast<std::size_t>(PresetSlot::kMaxNameLen))
    n = PresetSlot::kMaxNameLen;
  std::memcpy(dest, src, n);
  dest[n] = '\0';
}

} // namespace

IPluginBase::IPluginBase(int nParams, int nPresets)
  : IGEditorDelegate(nParams)
{
  const int n = nPresets > 0 ? nPresets : 0;
  for (int i = 0; i < n; ++i)
    mPresets.push_back(std::make_unique<PresetSlot>());
}

IPluginBase::~IPluginBase()
{
  while (!mPresets.empty())
    mPresets.pop_back();
}

bool IPluginBase::SerializeParams(StateBlob& chunk) const
{
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = GetParam(i)->GetValue();
    if (chunk.Append(v) <= 0)
      return false;
  }
  return true;
}

int IPluginBase::UnserializeParams(const StateBlob& chunk, int startPos)
{
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    double v = 0.0;
    pos = chunk.ReadAt(v, pos);
    GetParam(i)->SetValue(v);
  }
  NotifyAllParams(ParamSource::Preset);
  return pos;
}

bool IPluginBase::SaveState(StateBlob& chunk) const
{
  return SerializeParams(chunk);
}

int IPluginBase::LoadState(const StateBlob& chunk, int startPos)
{
  return UnserializeParams(chunk, startPos);
}

bool IPluginBase::AddFactoryPresetValues(const char* name, std::initializer_list<double> values)
{
  if (static_cast<int>(values.size()) != NParams())
    return false;

  for (auto& slot : mPresets)
  {
    if (slot->initialised)
      continue;

    slot->initialised = true;
    CopyPresetName(slot->name, name ? name : "");
    slot->chunk.Clear();
    int i = 0;
    for (double v : values)
    {
      const IParam::EParamType type = GetParam(i)->Type();
      if (type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum)
        v = static_cast<double>(static_cast<int>(v));
      slot->chunk.Append(v);
      ++i;
    }
    return true;
  }
  return false;
}

bool IPluginBase::LoadPreset(int index)
{
  if (index < 0 || index >= NPresets())
    return false;

  PresetSlot& slot = *mPresets[static_cast<std::size_t>(index)];
  bool success;
  if (slot.initialised)
  {
    success = LoadState(slot.chunk, 0) > 0;
  }
  else
  {
    slot.initialised = true;
    int k = 0;
    for (const auto& other : mPresets)
    {
      if (std::strstr(other->name, kUserPresetText))
        ++k;
    }
    const std::string name = std::string(kUserPresetText) + " " + FormatInteger(k + 1);
    CopyPresetName(slot.name, name.c_str());
    slot.chunk.Clear();
    success = SaveState(slot.chunk);
  }

  if (success)
  {
    mCurrentPresetIdx = index;
    OnPresetsModified();
    SyncEditorFromParams();
  }
  return success;
}

const char* IPluginBase::GetPresetName(int index) const
{
  const PresetSlot* slot = GetPreset(index);
  return slot ? slot->name : "";
}

const PresetSlot* IPluginBase::GetPreset(int index) const
{
  if (index < 0 || index >= NPresets())
    return nullptr;
  return mPresets[static_cast<std::size_t>(index)].get();
}

void IPluginBase::SetHost(const char* name, int version)
{
  mHostName = name ? name : "";
  if (mHostName.size() > 127)
    mHostName.resize(127);
  mHost = IdentifyHost(mHostName.c_str());
  mHostVersion = version;
  OnHostKnown();
}

} // namespace iplug
