// Mouse and key dispatch of IGraphics: finding the control under the mouse,
// capture, gestures, hover tracking and the corner resize drag.

#include "graphics/IGraphics.h"

#include "core/IEditorDelegate.h"
#include "graphics/ICornerResizerControl.h"
#include "graphics/IControl.h"
#include "graphics/PopupMenuControl.h"

#include <cstring>

#include <algorithm>
#include <cmath>

namespace igraphics
{

IControl* IGraphics::GetMouseControl(float x, float y, bool mouseDown, bool mouseOver, int touchID)
{
  auto captured = mCapturedMap.find(touchID);
  if (captured != mCapturedMap.end())
    return captured->second;

  if (mPopupControl && !mPopupControl->IsClosed())
    return mPopupControl.get();

  if (mouseOver && !mEnableMouseOver)
    return nullptr;

  if (mCornerResizer && !mCornerResizer->IsHidden() && mCornerResizer->IsHit(x, y))
    return mCornerResizer.get();

  for (auto it = mControls.rbegin(); it != mControls.rend(); ++it)
  {
    IControl& c = **it;
    if (c.IsHidden() || c.GetIgnoreMouse())
      continue;
    if (c.IsDisabled())
    {
      const bool allowed = mouseOver ? c.GetMouseOverWhenDisabled() : (mouseDown && c.GetMouseEventsWhenDisabled());
      if (!allowed)
        continue;
    }
    if (c.IsHit(x, y))
      return &c;
  }
  return nullptr;
}

void IGraphics::OnMouseDown(float x, float y, const IMouseKeys& mod)
{
  mMouseDownX = x;
  mMouseDownY = y;

  IControl* c = GetMouseControl(x, y, true, false, mod.touchID);
  if (!c)
    return;

  if (mod.R)
  {
    const int valIdx = c->GetValIdxForPos(x, y);
    const int paramIdx = valIdx >= 0 ? c->GetParamIdx(valIdx) : kNoParameter;
    if (paramIdx >= 0)
    {
      // The host's menu for that parameter; the control never sees the press
      // and nothing is captured, so no gesture is left open.
      HideMouseCursor(false, false);
      if (mHostContextMenuFunc)
        mHostContextMenuFunc(paramIdx, x, y);
      return;
    }
  }

  mCapturedMap[mod.touchID] = c;
  for (int v = 0; v < c->NVals(); ++v)
  {
    const int paramIdx = c->GetParamIdx(v);
    if (paramIdx >= 0)
      mDelegate.BeginParamGesture(paramIdx);
  }
  c->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseDrag(float x, float y, float dX, float dY, const IMouseKeys& mod)
{
  if (mResizingInProcess)
  {
    if (mResizerMode == EUIResizerMode::Scale)
    {
      if (mMouseDownX > 0.f && mMouseDownY > 0.f && x > 0.f && y > 0.f)
        Resize(mWidth, mHeight, mDrawScale * std::min(x / mMouseDownX, y / mMouseDownY));
    }
    else
    {
      Resize(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), mDrawScale);
    }
    return;
  }

  if (dX == 0.f && dY == 0.f)
    return;
  // A copy: a control may release the capture while handling the drag.
  std::vector<IControl*> captured = GetCapturedControls();
  for (IControl* c : captured)
    c->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseUp(float x, float y, const IMouseKeys& mod)
{
  std::vector<IControl*> captured = GetCapturedControls();
  mCapturedMap.clear();
  for (IControl* c : captured)
  {
    c->OnMouseUp(x, y, mod);
    for (int v = 0; v < c->NVals(); ++v)
    {
      const int paramIdx = c->GetParamIdx(v);
      if (paramIdx >= 0)
        mDelegate.EndParamGesture(paramIdx);
    }
  }

  if (mResizingInProcess)
  {
    mResizingInProcess = false;
    if (mCornerResizer)
      mCornerResizer->SetDirty(false);
  }

  if (mod.touchID == 0)
    OnMouseOver(x, y, mod);
}

bool IGraphics::OnMouseOver(float x, float y, const IMouseKeys& mod)
{
  IControl* c = GetMouseControl(x, y, false, true, -1);
  if (c != mMouseOver)
  {
    if (mMouseOver)
      mMouseOver->OnMouseOut();
    mMouseOver = c;
  }
  if (c)
    c->OnMouseOver(x, y, mod);
  return c != nullptr;
}

void IGraphics::OnMouseOut()
{
  ClearMouseOver();
}

void IGraphics::ClearMouseOver()
{
  if (mMouseOver)
    mMouseOver->OnMouseOut();
  mMouseOver = nullptr;
}

void IGraphics::OnMouseDblClick(float x, float y, const IMouseKeys& mod)
{
  IControl* c = GetMouseControl(x, y, true, false, mod.touchID);
  if (!c)
    return;
  if (c->GetDblAsSingleClick())
  {
    OnMouseDown(x, y, mod);
    return;
  }
  c->OnMouseDblClick(x, y, mod);
  ReleaseMouseCapture();
}

void IGraphics::OnMouseWheel(float x, float y, const IMouseKeys& mod, float delta)
{
  if (IControl* c = GetMouseControl(x, y, true, false, mod.touchID))
    c->OnMouseWheel(x, y, mod, delta);
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key)
{
  IControl* c = GetMouseControl(x, y, true);
  return c ? c->OnKeyDown(x, y, key) : false;
}

namespace
{
IKeyPress ToKeyPress(const iplug::IKeyRecord& record)
{
  IKeyPress key;
  std::memcpy(key.utf8, record.utf8, sizeof(key.utf8));
  key.utf8[sizeof(key.utf8) - 1] = '\0';
  key.vk = record.vk;
  key.S = record.S;
  key.C = record.C;
  key.A = record.A;
  return key;
}
} // namespace

bool IGraphics::OnKeyDownFromDelegate(const iplug::IKeyRecord& record)
{
  return OnKeyDown(mMouseDownX, mMouseDownY, ToKeyPress(record));
}

bool IGraphics::OnKeyUpFromDelegate(const iplug::IKeyRecord& record)
{
  return OnKeyUp(mMouseDownX, mMouseDownY, ToKeyPress(record));
}

bool IGraphics::OnKeyUp(float x, float y, const IKeyPress& key)
{
  IControl* c = GetMouseControl(x, y, true);
  return c ? c->OnKeyUp(x, y, key) : false;
}

bool IGraphics::IsControlCaptured(const IControl* pControl) const
{
  for (const auto& [touch, c] : mCapturedMap)
  {
    if (c == pControl)
      return true;
  }
  return false;
}

std::vector<IControl*> IGraphics::GetCapturedControls() const
{
  std::vector<IControl*> out;
  for (const auto& [touch, c] : mCapturedMap)
    out.push_back(c);
  return out;
}

void IGraphics::ReleaseMouseCapture()
{
  // Gestures begun by the press are closed, so the host never sees one left open.
  std::vector<IControl*> captured = GetCapturedControls();
  mCapturedMap.clear();
  for (IControl* c : captured)
  {
    for (int v = 0; v < c->NVals(); ++v)
    {
      const int paramIdx = c->GetParamIdx(v);
      if (paramIdx >= 0)
        mDelegate.EndParamGesture(paramIdx);
    }
  }
}

void IGraphics::StartResizeGesture()
{
  mResizingInProcess = true;
  if (mCornerResizer)
    mCornerResizer->SetDirty(false);
}

} // namespace igraphics
