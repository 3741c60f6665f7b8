#include "graphics/IControl.h"

#include "core/IEditorDelegate.h"
#include "core/IParam.h"
#include "graphics/IGraphics.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

namespace igraphics
{

double NowMs()
{
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

IControl::IControl(const IBounds& bounds, int paramIdx, ActionFunc action)
  : mRECT(bounds), mTargetRECT(bounds), mActionFunc(std::move(action))
{
  mVals.push_back({paramIdx, 0.});
}

void IControl::OnMouseDown(float, float, const IMouseKeys&)
{
  // Text entry on right-click is not offered on this platform; prompts stay off.
}

void IControl::OnMouseDblClick(float x, float y, const IMouseKeys&)
{
  SetValueToDefault(GetValIdxForPos(x, y));
}

void IControl::OnMouseOver(float, float, const IMouseKeys&)
{
  const bool wasOver = mMouseIsOver;
  mMouseIsOver = true;
  if (!wasOver)
    SetDirty(false);
}

void IControl::OnMouseOut()
{
  const bool wasOver = mMouseIsOver;
  mMouseIsOver = false;
  if (wasOver)
    SetDirty(false);
}

bool IControl::IsHit(float x, float y) const
{
  return !mTargetRECT.Empty() && mTargetRECT.Contains(x, y);
}

int IControl::GetValIdxForPos(float, float) const
{
  return NVals() == 1 ? 0 : kNoValIdx;
}

void IControl::SetDirty(bool triggerAction, int valIdx)
{
  const bool all = valIdx < 0 && NVals() > 1;
  const int first = all ? 0 : std::max(valIdx, 0);
  const int last = all ? NVals() - 1 : first;
  if (first >= NVals())
    throw std::out_of_range("IControl::SetDirty: no such value slot");

  for (int i = first; i <= last; ++i)
    mVals[i].value = std::clamp(mVals[i].value, 0., 1.);

  mDirty = true;

  if (!triggerAction)
    return;

  for (int i = first; i <= last; ++i)
  {
    const int paramIdx = mVals[i].paramIdx;
    if (paramIdx < 0)
      continue;
    const double value = mVals[i].value;
    if (mDelegate)
      mDelegate->ParamEditedInEditor(paramIdx, value);
    if (mGraphics)
    {
      mGraphics->ForControlWithParam(paramIdx, [this, paramIdx, value](IControl& other) {
        if (&other == this)
          return;
        for (int j = 0; j < other.NVals(); ++j)
        {
          if (other.GetParamIdx(j) == paramIdx)
          {
            other.SetValueFromDelegate(value, j);
            break;
          }
        }
      });
    }
  }

  if (mActionFunc)
    mActionFunc(this);
}

bool IControl::IsDirty()
{
  if (mAnimationFunc)
  {
    // A copy: the step may end the animation and clear the member.
    AnimationFunc step = mAnimationFunc;
    step(this);
    return true;
  }
  return mDirty;
}

void IControl::SetValueFromDelegate(double value, int valIdx)
{
  if (mGraphics && mGraphics->IsControlCaptured(this))
    return;
  if (GetValue(valIdx) != value)
  {
    SetValue(value, valIdx);
    SetDirty(false, kNoValIdx);
  }
}

void IControl::SetValueToDefault(int valIdx)
{
  if (NVals() == 1)
    valIdx = 0;
  const bool all = valIdx < 0;
  for (int i = 0; i < NVals(); ++i)
  {
    if (!all && i != valIdx)
      continue;
    const int paramIdx = mVals[i].paramIdx;
    const iplug::IParam* param = (mDelegate && paramIdx >= 0) ? mDelegate->GetParam(paramIdx) : nullptr;
    if (param)
      mVals[i].value = param->GetDefaultValue(true);
  }
  SetDirty(true, valIdx);
}

void IControl::SetValue(double value, int valIdx)
{
  if (valIdx < 0 || valIdx >= NVals())
    throw std::out_of_range("IControl::SetValue: no such value slot");
  mVals[valIdx].value = value;
}

double IControl::GetValue(int valIdx) const
{
  if (valIdx < 0 || valIdx >= NVals())
    throw std::out_of_range("IControl::GetValue: no such value slot");
  return mVals[valIdx].value;
}

int IControl::GetParamIdx(int valIdx) const
{
  if (valIdx < 0 || valIdx >= NVals())
    throw std::out_of_range("IControl::GetParamIdx: no such value slot");
  return mVals[valIdx].paramIdx;
}

void IControl::SetParamIdx(int paramIdx, int valIdx)
{
  if (valIdx < 0 || valIdx >= NVals())
    throw std::out_of_range("IControl::SetParamIdx: no such value slot");
  mVals[valIdx].paramIdx = paramIdx;
  SetDirty(false);
}

void IControl::SetNVals(int n)
{
  if (n > NVals())
    mVals.resize(static_cast<std::size_t>(n));
}

const iplug::IParam* IControl::GetParam(int valIdx) const
{
  const int paramIdx = GetParamIdx(valIdx);
  if (paramIdx < 0 || !mDelegate)
    return nullptr;
  return mDelegate->GetParam(paramIdx);
}

void IControl::SetValueFromUserInput(double value, int valIdx)
{
  if (GetValue(valIdx) != value)
  {
    SetValue(value, valIdx);
    SetDirty(true, valIdx);
  }
}

void IControl::SnapToMouse(float x, float y, EDirection direction, const IBounds& bounds, int valIdx, double minClip,
                           double maxClip)
{
  x = std::clamp(x, bounds.L, bounds.R);
  y = std::clamp(y, bounds.T, bounds.B);
  double value = 0.;
  if (direction == EDirection::Vertical)
    value = bounds.H() > 0.f ? 1. - static_cast<double>(y - bounds.T) / static_cast<double>(bounds.H()) : 0.;
  else
    value = bounds.W() > 0.f ? static_cast<double>(x - bounds.L) / static_cast<double>(bounds.W()) : 0.;
  value = std::clamp(std::round(value * 1000.) / 1000., minClip, maxClip);
  if (valIdx < 0)
  {
    for (int i = 0; i < NVals(); ++i)
      SetValue(value, i);
  }
  else
    SetValue(value, valIdx);
  SetDirty(true, valIdx);
}

bool IControl::LinkedToParam(int paramIdx) const
{
  return std::any_of(mVals.begin(), mVals.end(), [paramIdx](const ParamLink& l) { return l.paramIdx == paramIdx; });
}

void IControl::Hide(bool hide)
{
  mHide = hide;
  SetDirty(false);
}

void IControl::SetDisabled(bool disable)
{
  mDisabled = disable;
  mBlend.weight = disable ? 0.25f : 1.f;
  SetDirty(false);
}

void IControl::OnEndAnimation()
{
  mAnimationFunc = nullptr;
  SetDirty(false);
  if (mAnimationEndActionFunc)
    mAnimationEndActionFunc(this);
}

void IControl::SetPosition(float x, float y)
{
  x = std::max(x, 0.f);
  y = std::max(y, 0.f);
  const float w = mRECT.W(), h = mRECT.H();
  const float tx = mTargetRECT.L - mRECT.L, ty = mTargetRECT.T - mRECT.T;
  const float tw = mTargetRECT.W(), th = mTargetRECT.H();
  mRECT = {x, y, x + w, y + h};
  mTargetRECT = {x + tx, y + ty, x + tx + tw, y + ty + th};
  OnResize();
}

void IControl::SetSize(float w, float h)
{
  w = std::max(w, 0.f);
  h = std::max(h, 0.f);
  mRECT.R = mRECT.L + w;
  mRECT.B = mRECT.T + h;
  mTargetRECT.R = mTargetRECT.L + w;
  mTargetRECT.B = mTargetRECT.T + h;
  OnResize();
}

void IControl::SetAnimation(AnimationFunc f, int durationMs)
{
  mAnimationFunc = std::move(f);
  mAnimationStartMs = NowMs();
  mAnimationDurationMs = durationMs;
}

double IControl::GetAnimationProgress() const
{
  if (!mAnimationFunc)
    return 0.;
  if (mAnimationDurationMs <= 0)
    return 1.; // avoids a division by zero; an instant animation is complete
  return (NowMs() - mAnimationStartMs) / mAnimationDurationMs;
}

} // namespace igraphics
