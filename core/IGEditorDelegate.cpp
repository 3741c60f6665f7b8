#include "core/IGEditorDelegate.h"

#include <cmath>

namespace iplug
{

IGEditorDelegate::IGEditorDelegate(int nParams)
  : IEditorDelegate(nParams)
{
}

IGEditorDelegate::~IGEditorDelegate() = default;

void IGEditorDelegate::SetEditorDrawSize(int width, int height)
{
  if (width <= 0 || height <= 0 || mRememberedScale != 0.f)
    return; // a closed editor's size stands
  mRememberedWidth = width;
  mRememberedHeight = height;
  mRememberedScale = 1.f;
}

bool IGEditorDelegate::GetEditorPixelSize(float screenScale, int& width, int& height) const
{
  if (mContext)
  {
    width = mContext->PixelWidth();
    height = mContext->PixelHeight();
    return true;
  }
  if (mRememberedWidth <= 0 || mRememberedHeight <= 0 || !(mRememberedScale > 0.f) || !(screenScale > 0.f))
    return false;
  width = ScaledPixels(mRememberedWidth, mRememberedScale * screenScale);
  height = ScaledPixels(mRememberedHeight, mRememberedScale * screenScale);
  return true;
}

void* IGEditorDelegate::AttachEditor(void* pParent)
{
  if (!mContext)
  {
    if (!mMakeContextFunc)
      return nullptr;
    mContext = mMakeContextFunc();
    if (!mContext)
      return nullptr;
    if (mLayoutFunc)
      mLayoutFunc(*mContext);
  }

  if (mRememberedWidth != 0 && mRememberedHeight != 0 && mRememberedScale != 0.f)
    mContext->Resize(mRememberedWidth, mRememberedHeight, mRememberedScale);

  void* window = mContext->OpenWindow(pParent);
  OnUIOpen();
  return window;
}

void IGEditorDelegate::DetachEditor()
{
  if (mClosing || !mContext)
    return;

  mClosing = true;
  OnUIClose();
  mRememberedWidth = mContext->Width();
  mRememberedHeight = mContext->Height();
  mRememberedScale = mContext->GetDrawScale();
  mContext->CloseWindow();
  mContext.reset();
  mClosing = false;
}

bool IGEditorDelegate::RenderEditorSnapshot(const std::string& path, float screenScale)
{
  if (path.empty() || !(screenScale > 0.f) || !std::isfinite(screenScale))
    return false;
  if (mContext)
    return mContext->SavePNG(path); // the open editor at the host's scale
  if (!mMakeContextFunc)
    return false;
  std::unique_ptr<IEditorContext> context = mMakeContextFunc();
  if (!context)
    return false;
  if (mLayoutFunc)
    mLayoutFunc(*context);
  if (mRememberedWidth != 0 && mRememberedHeight != 0 && mRememberedScale != 0.f)
    context->Resize(mRememberedWidth, mRememberedHeight, mRememberedScale);
  context->SetScreenScale(screenScale);
  const bool written = context->SavePNG(path);
  context->CloseWindow(); // deletes the controls while the context still exists
  return written;
}

void IGEditorDelegate::ShowParamInEditor(int paramIdx, double value, bool isNormalized)
{
  const IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  if (mContext)
    mContext->SetParameterValueFromDelegate(paramIdx, isNormalized ? value : param->RealToNorm(value));
  IEditorDelegate::ShowParamInEditor(paramIdx, value, isNormalized);
}

void IGEditorDelegate::SendValueToControl(int ctrlTag, double normalizedValue)
{
  if (mContext)
    mContext->SetControlValueFromDelegate(ctrlTag, normalizedValue);
}

void IGEditorDelegate::SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  if (mContext)
    mContext->SendControlMsgFromDelegate(ctrlTag, msgTag, dataSize, pData);
}

} // namespace iplug
