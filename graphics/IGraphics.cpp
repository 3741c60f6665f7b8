#include "graphics/IGraphics.h"

#include "graphics/CairoStart.h"

#include "graphics/ICornerResizerControl.h"
#include "graphics/IControl.h"
#include "graphics/IPanelControl.h"
#include "graphics/IPopupMenu.h"
#include "graphics/PopupMenuControl.h"
#include "graphics/ResourceCache.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace igraphics
{

namespace
{

// Beyond this many dirty rectangles one covering rectangle is cheaper to draw.
constexpr std::size_t kMaxRegions = 16;

} // namespace

IGraphics::IGraphics(iplug::IEditorDelegate& dlg, int w, int h, int fps, float scale)
  : mDelegate(dlg), mWidth(std::max(w, 1)), mHeight(std::max(h, 1)), mInitialWidth(mWidth), mInitialHeight(mHeight),
    mFPS(fps > 0 ? fps : 60), mDrawScale(scale > 0.f ? scale : 1.f), mPromptMenu(std::make_unique<IPopupMenu>())
{
  StartCairo();
  RebuildBackbuffer();
}

IGraphics::~IGraphics()
{
  RemoveAllControls();
  if (mBackbuffer)
    cairo_surface_destroy(mBackbuffer);
}

// --- IEditorContext

void IGraphics::SetParameterValueFromDelegate(int paramIdx, double normValue)
{
  for (auto& c : mControls)
  {
    for (int v = 0; v < c->NVals(); ++v)
    {
      if (c->GetParamIdx(v) == paramIdx)
        c->SetValueFromDelegate(normValue, v);
    }
  }
}

void IGraphics::SetControlValueFromDelegate(int ctrlTag, double normValue)
{
  if (IControl* c = GetControlWithTag(ctrlTag))
    c->SetValueFromDelegate(normValue, 0);
}

void IGraphics::SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData)
{
  if (IControl* c = GetControlWithTag(ctrlTag))
    c->OnMsgFromDelegate(msgTag, dataSize, pData);
}

void* IGraphics::OpenWindow(void*)
{
  return nullptr;
}

void IGraphics::CloseWindow()
{
  RemoveAllControls();
}

void IGraphics::Resize(int width, int height, float scale)
{
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (!(scale > 0.f) || !std::isfinite(scale))
    scale = mDrawScale;
  scale = std::clamp(scale, kMinScale, kMaxScale);
  if (width == mWidth && height == mHeight && scale == mDrawScale)
    return;

  mWidth = width;
  mHeight = height;
  mDrawScale = scale;
  RebuildBackbuffer();
  for (auto& c : mControls)
    c->OnRescale();
  if (mCornerResizer)
    mCornerResizer->OnRescale();
  OnSurfaceResized();
  DrawAll();
  if (mHostResizeFunc)
    mHostResizeFunc(mWidth, mHeight, mDrawScale);
}

// --- Surface

void IGraphics::SetScreenScale(float scale)
{
  if (!(scale > 0.f) || !std::isfinite(scale) || scale == mScreenScale)
    return;
  mScreenScale = scale;
  RebuildBackbuffer();
  OnSurfaceResized();
  DrawAll();
}


void IGraphics::RebuildBackbuffer()
{
  if (mBackbuffer)
    cairo_surface_destroy(mBackbuffer);
  mBackbuffer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, PixelWidth(), PixelHeight());
}

// --- Controls

IControl* IGraphics::AttachControl(IControl* pControl, int ctrlTag, const char* group)
{
  if (!pControl)
    return nullptr;
  std::unique_ptr<IControl> owned(pControl);
  if (ctrlTag >= 0)
  {
    if (mCtrlTags.count(ctrlTag))
      return nullptr; // each tag can be taken once; the control is dropped
    mCtrlTags.emplace(ctrlTag, pControl);
  }
  pControl->SetTag(ctrlTag);
  pControl->SetDelegate(&mDelegate);
  pControl->SetGraphics(this);
  pControl->OnInit();
  pControl->OnResize();
  pControl->OnRescale();
  pControl->SetGroup(group ? group : "");
  mControls.push_back(std::move(owned));
  pControl->OnAttached();
  return pControl;
}

IControl* IGraphics::AttachPanelBackground(const IFill& fill)
{
  auto* panel = new IPanelControl(IBounds(0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight)), fill);
  panel->SetDelegate(&mDelegate);
  panel->SetGraphics(this);
  panel->OnInit();
  panel->OnResize();
  panel->OnRescale();
  mControls.insert(mControls.begin(), std::unique_ptr<IControl>(panel));
  panel->OnAttached();
  return panel;
}

ICornerResizerControl* IGraphics::AttachCornerResizer(ICornerResizerControl* pControl, EUIResizerMode mode)
{
  std::unique_ptr<ICornerResizerControl> owned(pControl);
  if (!pControl || mCornerResizer)
    return nullptr;
  mResizerMode = mode;
  mCornerResizer = std::move(owned);
  pControl->SetDelegate(&mDelegate);
  pControl->SetGraphics(this);
  // No OnRescale here: the handle keeps the rectangle it was made with until
  // the scale changes.
  pControl->OnInit();
  pControl->OnResize();
  pControl->OnAttached();
  return pControl;
}

IControl* IGraphics::GetControl(int idx) const
{
  return idx >= 0 && idx < NControls() ? mControls[idx].get() : nullptr;
}

IControl* IGraphics::GetControlWithTag(int ctrlTag) const
{
  auto it = mCtrlTags.find(ctrlTag);
  return it == mCtrlTags.end() ? nullptr : it->second;
}

int IGraphics::GetControlIdx(const IControl* pControl) const
{
  for (int i = 0; i < NControls(); ++i)
  {
    if (mControls[i].get() == pControl)
      return i;
  }
  return -1;
}

void IGraphics::ForAllControls(const std::function<void(IControl&)>& func)
{
  for (auto& c : mControls)
    func(*c);
}

void IGraphics::ForControlWithParam(int paramIdx, const std::function<void(IControl&)>& func)
{
  for (auto& c : mControls)
  {
    if (c->LinkedToParam(paramIdx))
      func(*c);
  }
}

void IGraphics::RemoveAllControls()
{
  mCapturedMap.clear();
  mMouseOver = nullptr;
  mResizingInProcess = false;
  mPopupControl.reset();
  mClosedPopups.clear();
  mCtrlTags.clear();
  // Reverse order of creation.
  while (!mControls.empty())
    mControls.pop_back();
  mCornerResizer.reset();
}

// --- Frame loop

bool IGraphics::IsDirty(std::vector<IBounds>& regions)
{
  regions.clear();
  auto collect = [&regions](IControl& c) {
    if (c.IsDirty())
      regions.push_back(c.GetRECT().GetPadded(0.75f));
  };
  for (std::size_t i = 0; i < mControls.size(); ++i)
    collect(*mControls[i]);
  if (mCornerResizer)
    collect(*mCornerResizer);
  if (mPopupControl)
    collect(*mPopupControl);
  return !regions.empty();
}

bool IGraphics::OnFrame()
{
  std::vector<IBounds> regions;
  regions.swap(mPendingRegions);
  mClosedPopups.clear();
  if (mPopupControl && mPopupControl->IsClosed())
  {
    regions.push_back(mPopupControl->MenuBounds().GetPadded(0.75f));
    ForgetControl(mPopupControl.get());
    mPopupControl.reset();
  }
  std::vector<IBounds> dirty;
  IsDirty(dirty);
  regions.insert(regions.end(), dirty.begin(), dirty.end());
  if (regions.empty())
    return false;

  for (auto& c : mControls)
    c->SetClean();
  if (mCornerResizer)
    mCornerResizer->SetClean();
  if (mPopupControl)
    mPopupControl->SetClean();

  DrawRegions(regions);
  return true;
}

void IGraphics::DrawRegions(const std::vector<IBounds>& regions)
{
  const IBounds surface(0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight));
  std::vector<IBounds> clipped;
  for (const IBounds& r : regions)
  {
    const IBounds c = r.Intersect(surface);
    if (c.HasArea())
      clipped.push_back(c);
  }
  if (clipped.size() > kMaxRegions)
  {
    IBounds all = clipped.front();
    for (const IBounds& r : clipped)
      all = all.Union(r);
    clipped.assign(1, all);
  }

  std::vector<IBounds> pixelRegions;
  const float s = GetTotalScale();
  for (const IBounds& r : clipped)
  {
    DrawRegion(r);
    const IBounds px = r.GetScaled(s).GetPixelAligned().Intersect(
      IBounds(0.f, 0.f, static_cast<float>(PixelWidth()), static_cast<float>(PixelHeight())));
    pixelRegions.push_back(px);
  }
  if (!pixelRegions.empty())
    PresentRegions(pixelRegions);
}

void IGraphics::SetAllControlsDirty()
{
  for (auto& c : mControls)
    c->SetDirty(false);
  if (mCornerResizer)
    mCornerResizer->SetDirty(false);
}

void IGraphics::DrawAll()
{
  DrawRegions({IBounds(0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight))});
}

void IGraphics::DrawRegion(const IBounds& region)
{
  if (!mBackbuffer || cairo_surface_status(mBackbuffer) != CAIRO_STATUS_SUCCESS)
    return;
  cairo_t* cr = cairo_create(mBackbuffer);
  const double s = GetTotalScale();
  cairo_scale(cr, s, s);
  // Whole pixels, so that edges left from earlier frames are covered.
  const IBounds px = region.GetScaled(static_cast<float>(s)).GetPixelAligned();
  cairo_rectangle(cr, px.L / s, px.T / s, px.W() / s, px.H() / s);
  cairo_clip(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0., 0., 0., 1.);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);

  mCr = cr;
  const IBounds drawn = px.GetScaled(static_cast<float>(1. / s));
  auto drawOne = [this, &drawn, cr](IControl& c) {
    if (c.IsHidden() || !c.GetRECT().GetPadded(1.f).Intersects(drawn))
      return;
    cairo_save(cr);
    c.Draw(*this);
    cairo_restore(cr);
  };
  for (auto& c : mControls)
    drawOne(*c);
  if (mCornerResizer)
    drawOne(*mCornerResizer);
  if (mPopupControl && !mPopupControl->IsClosed())
    drawOne(*mPopupControl);
  mCr = nullptr;
  cairo_destroy(cr);
  cairo_surface_flush(mBackbuffer);
}

bool IGraphics::SavePNG(const std::string& path)
{
  DrawAll();
  if (!mBackbuffer)
    return false;
  return cairo_surface_write_to_png(mBackbuffer, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

IRgba IGraphics::ReadPixel(int px, int py) const
{
  if (!mBackbuffer || px < 0 || py < 0 || px >= cairo_image_surface_get_width(mBackbuffer) ||
      py >= cairo_image_surface_get_height(mBackbuffer))
    return COLOR_TRANSPARENT;
  cairo_surface_flush(mBackbuffer);
  const unsigned char* data = cairo_image_surface_get_data(mBackbuffer);
  const int stride = cairo_image_surface_get_stride(mBackbuffer);
  const uint32_t v = *reinterpret_cast<const uint32_t*>(data + py * stride + px * 4);
  const int a = static_cast<int>(v >> 24);
  auto un = [a](uint32_t c) { return a == 0 ? 0 : static_cast<int>((c * 255 + a / 2) / a); };
  return {a, un((v >> 16) & 0xff), un((v >> 8) & 0xff), un(v & 0xff)};
}

void IGraphics::ForgetControl(const IControl* pControl)
{
  for (auto it = mCapturedMap.begin(); it != mCapturedMap.end();)
    it = it->second == pControl ? mCapturedMap.erase(it) : std::next(it);
  if (mMouseOver == pControl)
    mMouseOver = nullptr;
}

// --- Cursor

void IGraphics::HideMouseCursor(bool hide, bool lock)
{
  mCursorHidden = hide;
  mCursorLocked = hide && lock;
}

ECursor IGraphics::SetMouseCursor(ECursor cursor)
{
  const ECursor previous = mCursor;
  mCursor = cursor;
  return previous;
}

// --- Popup menu

void IGraphics::CreatePopupMenu(IControl& receiver, IPopupMenu& menu, const IBounds& bounds, int valIdx)
{
  if (mPopupControl)
  {
    mPopupControl->OnMouseDown(-1.f, -1.f, {}); // dismisses the one already open
    mPendingRegions.push_back(mPopupControl->MenuBounds().GetPadded(0.75f));
    ForgetControl(mPopupControl.get());
    // Kept until the next frame: this may run inside the old popup's own handler.
    mClosedPopups.push_back(std::move(mPopupControl));
  }
  menu.SetChosenItemIdx(-1);
  mPopupControl = std::make_unique<PopupMenuControl>(receiver, menu, bounds, valIdx, static_cast<float>(mWidth),
                                                     static_cast<float>(mHeight));
  mPopupControl->SetDelegate(&mDelegate);
  mPopupControl->SetGraphics(this);
  mPopupControl->SetDirty(false);
}

bool IGraphics::IsPopupMenuOpen() const
{
  return mPopupControl && !mPopupControl->IsClosed();
}

// --- Resources

bool IGraphics::LoadFont(const char* name, const char* fileName)
{
  if (!name || !fileName)
    return false;
  return ResourceCache::Get().LoadFont(name, fileName);
}

ISVG IGraphics::LoadSVG(const char* fileName, const char* units, float dpi)
{
  if (!fileName)
    return {};
  return ResourceCache::Get().LoadSVG(fileName, units ? units : "px", dpi);
}

} // namespace igraphics
