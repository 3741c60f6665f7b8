#include "vst3/IPlugVST3View.h"

#include "vst3/IPlugVST3.h"
#include "vst3/ViewKeyRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace iplug
{

const char* IPlugVST3View::NativePlatformType()
{
#if defined(_WIN32)
  return vst3::kPlatformTypeHWND;
#else
  return vst3::kPlatformTypeX11EmbedWindowID;
#endif
}

IPlugVST3View::IPlugVST3View(IPlugVST3& owner) : mOwner(owner)
{
  mOwner.addRef();
  mOwner.RememberView(this);
}

IPlugVST3View::~IPlugVST3View()
{
  // A host that releases the view without removing it still gets its window back.
  if (mAttached)
    removed();
  mRunLoop.reset();
  if (mFrame)
    mFrame->release();
  mOwner.ForgetView(this);
  mOwner.release();
}

vst3::tresult IPlugVST3View::queryInterface(const vst3::TUID queried, void** obj)
{
  if (!obj)
    return vst3::kInvalidArgument;
  *obj = nullptr;
  if (!queried)
    return vst3::kNoInterface;
  if (vst3::QueryInterfaceAs<vst3::IPlugViewContentScaleSupport>(this, queried, obj) ||
      vst3::QueryInterfaceAs<vst3::IPlugView>(this, queried, obj) ||
      vst3::QueryInterfaceAs<IEditorSnapshot>(this, queried, obj))
    return vst3::kResultOk;
  if (vst3::IidEqual(queried, vst3::FUnknown::iid))
  {
    addRef();
    *obj = static_cast<vst3::FUnknown*>(static_cast<vst3::IPlugView*>(this));
    return vst3::kResultOk;
  }
  return vst3::kNoInterface;
}

vst3::uint32 IPlugVST3View::addRef() { return mRefs.Add(); }

vst3::uint32 IPlugVST3View::release()
{
  const vst3::uint32 left = mRefs.Remove();
  if (left == 0)
    delete this;
  return left;
}

vst3::tresult IPlugVST3View::isPlatformTypeSupported(vst3::FIDString type)
{
  if (!mOwner.HasUI() || !type)
    return vst3::kResultFalse;
  return std::strcmp(type, NativePlatformType()) == 0 ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult IPlugVST3View::attached(void* parent, vst3::FIDString type)
{
  if (!mOwner.HasUI())
    return vst3::kResultFalse;
  if (!parent)
    return vst3::kInvalidArgument; // no window to open inside
  if (mAttached)
    return vst3::kResultFalse; // one window per view
  if (const IPlugVST3View* open = mOwner.GetView(); open && open != this && open->IsAttached())
    return vst3::kResultFalse; // one editor per plug-in: another view shows it
  mParent = parent;
  if (!type || std::strcmp(type, NativePlatformType()) != 0)
    return vst3::kResultOk; // a window type we cannot open inside: nothing is shown

  mOwner.AttachEditor(parent);
  mAttached = true;
  if (IEditorContext* context = mOwner.GetEditorContext())
  {
    if (mHostContentScale && mContentScale != context->GetScreenScale())
      context->SetScreenScale(mContentScale);
    FollowEditorSize();
    if (mRunLoop)
    {
      mRunLoop->Register(*context);
      mOwner.StartViewIdleTicks(*mRunLoop);
    }
  }
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3View::removed()
{
  if (mOwner.HasUI() && mAttached)
  {
    // The loop must not call into the window while or after it goes.
    if (mRunLoop)
      mRunLoop->Unregister();
    mOwner.StopViewIdleTicks();
    mOwner.DetachEditor();
  }
  mAttached = false;
  mParent = nullptr;
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3View::onWheel(float) { return vst3::kResultFalse; }

vst3::tresult IPlugVST3View::onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers)
{
  return mOwner.OnKeyDown(MakeViewKeyRecord(key, keyCode, modifiers)) ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult IPlugVST3View::onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers)
{
  return mOwner.OnKeyUp(MakeViewKeyRecord(key, keyCode, modifiers)) ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult IPlugVST3View::getSize(vst3::ViewRect* size)
{
  if (!mOwner.HasUI())
    return vst3::kResultFalse;
  if (!size)
    return vst3::kInvalidArgument;
  *size = EditorRect();
  // What the host now expects: opening at this size asks it for nothing more.
  mOwner.SetEditorSize(size->right, size->bottom);
  return vst3::kResultOk;
}

vst3::ViewRect IPlugVST3View::EditorRect() const
{
  // Hosts size their window from this before the editor opens, so it is the
  // size the editor draws (at the content scale the host set), not the
  // configured one.
  int width = mOwner.GetEditorWidth(), height = mOwner.GetEditorHeight();
  mOwner.GetEditorPixelSize(mContentScale, width, height);
  return vst3::ViewRect{0, 0, width, height};
}

vst3::tresult IPlugVST3View::onSize(vst3::ViewRect* newSize)
{
  if (newSize)
    mRect = *newSize;
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3View::onFocus(vst3::TBool) { return vst3::kResultFalse; }

vst3::tresult IPlugVST3View::setFrame(vst3::IPlugFrame* frame)
{
  if (frame)
    frame->addRef();
  if (mFrame)
    mFrame->release();
  mFrame = frame;
  // Hosts take the frame away before they close the view: the loop stays
  // until the editor's registrations are undone.
  if (frame && !(mRunLoop && mRunLoop->IsRegistered()))
    if (auto loop = ViewRunLoop::FromFrame(frame))
    {
      mRunLoop = std::move(loop);
      // A host that hands over its frame only after attached still gets a
      // drawing, live editor.
      if (mAttached)
        if (IEditorContext* context = mOwner.GetEditorContext())
        {
          mRunLoop->Register(*context);
          mOwner.StartViewIdleTicks(*mRunLoop);
        }
    }
  return vst3::kResultTrue;
}

vst3::tresult IPlugVST3View::canResize()
{
  return mOwner.HasUI() && mOwner.GetHostResizeEnabled() ? vst3::kResultTrue : vst3::kResultFalse;
}

vst3::tresult IPlugVST3View::checkSizeConstraint(vst3::ViewRect* rect)
{
  if (!rect)
    return vst3::kInvalidArgument;
  const int w = rect->right - rect->left;
  const int h = rect->bottom - rect->top;
  // The configured limits, widened to hold the size the editor draws.
  const vst3::ViewRect drawn = EditorRect();
  const int minW = std::min(mOwner.GetMinWidth(), drawn.right), maxW = std::max(mOwner.GetMaxWidth(), drawn.right);
  const int minH = std::min(mOwner.GetMinHeight(), drawn.bottom), maxH = std::max(mOwner.GetMaxHeight(), drawn.bottom);
  if (w < minW || w > maxW || h < minH || h > maxH)
  {
    rect->right = rect->left + std::min(maxW, std::max(w, minW));
    rect->bottom = rect->top + std::min(maxH, std::max(h, minH));
  }
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3View::setContentScaleFactor(ScaleFactor factor)
{
  if (!(factor > 0.f) || !std::isfinite(factor))
    return vst3::kResultOk;
  mContentScale = factor; // honoured when the editor opens
  mHostContentScale = true;
  if (mAttached)
    if (IEditorContext* context = mOwner.GetEditorContext())
    {
      context->SetScreenScale(factor);
      FollowEditorSize();
    }
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3View::renderPng(const char* utf8Path)
{
  if (!utf8Path || !*utf8Path)
    return vst3::kInvalidArgument;
  if (!mOwner.HasUI())
    return vst3::kResultFalse;
  return mOwner.RenderEditorSnapshot(utf8Path, mContentScale) ? vst3::kResultOk : vst3::kResultFalse;
}

void IPlugVST3View::FollowEditorSize()
{
  const IEditorContext* context = mOwner.GetEditorContext();
  if (!context)
    return;
  mOwner.ResizeFromEditor(context->PixelWidth(), context->PixelHeight(), true);
}

void IPlugVST3View::RequestHostResize(int width, int height)
{
  if (!mFrame)
    return;
  vst3::ViewRect rect{0, 0, width, height};
  mFrame->resizeView(this, &rect);
}

} // namespace iplug
