#include "core/IEditorDelegate.h"

namespace iplug
{

IEditorDelegate::IEditorDelegate(int nParams)
{
  const int n = nParams > 0 ? nParams : 0;
  mParams.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    mParams.push_back(std::make_unique<IParam>());
}

IEditorDelegate::~IEditorDelegate()
{
  // Parameters go in reverse order of creation.
  while (!mParams.empty())
    mParams.pop_back();
}

IParam* IEditorDelegate::GetParam(int paramIdx)
{
  if (paramIdx < 0 || paramIdx >= NParams())
    return nullptr;
  return mParams[static_cast<std::size_t>(paramIdx)].get();
}

const IParam* IEditorDelegate::GetParam(int paramIdx) const
{
  if (paramIdx < 0 || paramIdx >= NParams())
    return nullptr;
  return mParams[static_cast<std::size_t>(paramIdx)].get();
}

void IEditorDelegate::OnParamChange(int paramIdx, ParamSource /*source*/, int /*sampleOffset*/)
{
  OnParamChange(paramIdx);
}

void IEditorDelegate::OnParamChange(int /*paramIdx*/) {}

void IEditorDelegate::OnParamUpdate(int /*paramIdx*/, ParamSource /*source*/) {}

void IEditorDelegate::NotifyAllParams(ParamSource source)
{
  for (int i = 0; i < NParams(); ++i)
  {
    OnParamChange(i, source, -1);
    OnParamUpdate(i, source);
  }
}

void IEditorDelegate::SyncEditorFromParams()
{
  for (int i = 0; i < NParams(); ++i)
    ShowParamInEditor(i, mParams[static_cast<std::size_t>(i)]->GetValueNormalized(), true);
}

void IEditorDelegate::ShowParamInEditor(int paramIdx, double /*value*/, bool /*isNormalized*/)
{
  if (!GetParam(paramIdx))
    return;
  OnParamUpdate(paramIdx, ParamSource::EditorDelegate);
}

void IEditorDelegate::SendValueToControl(int /*ctrlTag*/, double /*normalizedValue*/) {}

void IEditorDelegate::SendMsgToControl(int /*ctrlTag*/, int /*msgTag*/, int /*dataSize*/, const void* /*pData*/) {}

void IEditorDelegate::ParamEditedInEditor(int paramIdx, double normalizedValue)
{
  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  param->SetFromNormalized(normalizedValue);
  OnParamChange(paramIdx, ParamSource::UI, -1);
  OnParamUpdate(paramIdx, ParamSource::UI);
}

void IEditorDelegate::BeginParamGesture(int /*paramIdx*/) {}

void IEditorDelegate::EndParamGesture(int /*paramIdx*/) {}

bool IEditorDelegate::ResizeFromEditor(int /*width*/, int /*height*/, bool /*needsPlatformResize*/)
{
  return true;
}

} // namespace iplug
