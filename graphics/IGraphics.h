#pragma once

#include "core/IEditorContext.h"
#include "graphics/ECursor.h"
#include "graphics/IBlendMode.h"
#include "graphics/IBounds.h"
#include "graphics/IColor.h"
#include "graphics/IFill.h"
#include "graphics/IMouseKeys.h"
#include "graphics/ISVG.h"
#include "graphics/ITextStyle.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct _cairo;
struct _cairo_surface;
struct _cairo_font_face;

namespace iplug
{
class IEditorDelegate;
}

namespace igraphics
{

class IControl;
class IPopupMenu;
class PopupMenuControl;
class ICornerResizerControl;

// What dragging the corner handle does: change the draw scale, or the size.
enum class EUIResizerMode : int { Scale = 0, Size = 1 };

// The editor's drawing context. It owns the controls, runs the frame loop,
// turns mouse and key events into control calls and offers the drawing
// operations the controls use. Drawing goes into a backbuffer (a cairo image
// surface at the current scale); this class alone is the offscreen editor, and
// a platform window derives from it and presents the backbuffer.
// Angles are degrees from twelve o'clock, clockwise; lengths in editor units.
// UI thread only.
class IGraphics : public iplug::IEditorContext
{
public:
  IGraphics(iplug::IEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f);
  ~IGraphics() override;
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // --- IEditorContext
  void SetParameterValueFromDelegate(int paramIdx, double normValue) override;
  void SetControlValueFromDelegate(int ctrlTag, double normValue) override;
  void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData) override;
  void* OpenWindow(void* pParent) override;  // offscreen: no window, nullptr
  void CloseWindow() override;               // removes every control
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  float GetDrawScale() const override { return mDrawScale; }
  void Resize(int width, int height, float scale) override;

  // --- Surface
  int FPS() const { return mFPS; }
  float GetScreenScale() const override { return mScreenScale; }
  void SetScreenScale(float scale) override;
  float GetTotalScale() const { return mDrawScale * mScreenScale; }
  // The backbuffer is PixelWidth() x PixelHeight() pixels.
  iplug::IEditorDelegate* GetDelegate() const { return &mDelegate; }

  // --- Controls
  // Takes ownership. A tag >= 0 that is already taken rejects the control: it
  // is deleted and nullptr is returned.
  IControl* AttachControl(IControl* pControl, int ctrlTag = -1, const char* group = "");
  // A panel filling the whole surface, inserted at the front of the list.
  IControl* AttachPanelBackground(const IFill& fill);
  // Installs the corner handle apart from the list, only when none exists yet
  // (otherwise the new one is deleted). Takes ownership.
  ICornerResizerControl* AttachCornerResizer(ICornerResizerControl* pControl, EUIResizerMode mode = EUIResizerMode::Scale);
  ICornerResizerControl* GetCornerResizer() const { return mCornerResizer.get(); }
  EUIResizerMode GetResizerMode() const { return mResizerMode; }

  int NControls() const { return static_cast<int>(mControls.size()); }
  IControl* GetControl(int idx) const;
  IControl* GetControlWithTag(int ctrlTag) const;
  int GetControlIdx(const IControl* pControl) const;
  void ForAllControls(const std::function<void(IControl&)>& func);
  void ForControlWithParam(int paramIdx, const std::function<void(IControl&)>& func);
  void RemoveAllControls();

  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  bool MouseOverEnabled() const { return mEnableMouseOver; }

  // --- Frame loop
  // Polls every control's IsDirty and collects the rectangles of the dirty
  // ones, grown by 0.75 on every side. True when any were found.
  bool IsDirty(std::vector<IBounds>& regions);
  // One frame: poll, mark every control clean, redraw the dirty regions into
  // the backbuffer and present them. True when something was redrawn.
  bool OnFrame();
  void SetAllControlsDirty();
  // Has the next frame redraw this area, for a control that moves away from it.
  void RedrawRegion(const IBounds& bounds) { mPendingRegions.push_back(bounds.GetPadded(0.75f)); }
  // Redraws the whole surface into the backbuffer and presents it.
  void DrawAll();
  // Redraws the whole surface and writes it as a PNG. False on failure.
  bool SavePNG(const std::string& path) override;
  // A backbuffer pixel, unpremultiplied; transparent outside the surface.
  IRgba ReadPixel(int px, int py) const;

  // --- Mouse and keys, in editor units (window pixels / total scale)
  void OnMouseDown(float x, float y, const IMouseKeys& mod);
  void OnMouseUp(float x, float y, const IMouseKeys& mod);
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseKeys& mod);
  // Hover. True when a control is under the mouse.
  bool OnMouseOver(float x, float y, const IMouseKeys& mod);
  // The mouse left the surface.
  void OnMouseOut();
  void OnMouseDblClick(float x, float y, const IMouseKeys& mod);
  // delta in whole notches, positive away from the user.
  void OnMouseWheel(float x, float y, const IMouseKeys& mod, float delta);
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  // Keys the host forwards, at the point of the last press.
  bool OnKeyDownFromDelegate(const iplug::IKeyRecord& key) override;
  bool OnKeyUpFromDelegate(const iplug::IKeyRecord& key) override;
  bool OnKeyUp(float x, float y, const IKeyPress& key);
  // A platform wheel delta (120 per notch) in whole notches, towards zero.
  static int WheelNotches(int platformDelta) { return platformDelta / 120; }

  // The position of the last single press; (-1, -1) before the first.
  void GetMouseDownPoint(float& x, float& y) const { x = mMouseDownX; y = mMouseDownY; }
  bool IsControlCaptured(const IControl* pControl) const;
  std::vector<IControl*> GetCapturedControls() const;
  void ReleaseMouseCapture();
  IControl* GetMouseOverControl() const { return mMouseOver; }

  // The corner handle calls this on a press; the next drags resize.
  void StartResizeGesture();
  bool IsResizing() const { return mResizingInProcess; }
  // The size the surface had when it was made.
  int InitialWidth() const { return mInitialWidth; }
  int InitialHeight() const { return mInitialHeight; }

  // --- Cursor (a window overrides these; offscreen only the state is kept)
  virtual void HideMouseCursor(bool hide = true, bool lock = true);
  bool IsCursorHidden() const { return mCursorHidden; }
  bool IsCursorLocked() const { return mCursorLocked; }
  // Returns the previous shape.
  virtual ECursor SetMouseCursor(ECursor cursor);
  ECursor GetMouseCursor() const { return mCursor; }
  // Moves the pointer to a point of the surface, in editor units.
  virtual void MoveMouseCursor(float /*x*/, float /*y*/) {}

  // --- Run-loop wiring for hosts that drive the editor (no threads of our own).
  // The view registers this file descriptor with the host's run loop and calls
  // OnPlatformEventsReadable when it is readable, and OnPlatformTimer every
  // kPlatformTimerMs. Offscreen there is no descriptor.
  static constexpr int kPlatformTimerMs = 16;
  int GetPlatformEventFd() const override { return -1; }
  void OnPlatformEventsReadable() override {}
  void OnPlatformTimer() override { OnFrame(); }

  // --- Popup menu, drawn inside the surface under the given rectangle. The
  // menu must outlive the popup; the receiver gets OnPopupMenuSelection.
  void CreatePopupMenu(IControl& receiver, IPopupMenu& menu, const IBounds& bounds, int valIdx = 0);
  bool IsPopupMenuOpen() const;
  // The menu object reused for context menus and the preset menu.
  IPopupMenu& GetPromptMenu() { return *mPromptMenu; }

  // --- Hooks the host view installs
  // Shows the host's context menu for a parameter at a point (editor units);
  // true when the host showed one.
  void SetHostContextMenuFunc(std::function<bool(int paramIdx, float x, float y)> f) { mHostContextMenuFunc = std::move(f); }
  // Told after every resize: surface size and draw scale.
  void SetHostResizeFunc(std::function<void(int w, int h, float scale)> f) { mHostResizeFunc = std::move(f); }

  // --- Resources (process-wide caches)
  bool LoadFont(const char* name, const char* fileName);
  ISVG LoadSVG(const char* fileName, const char* units = "px", float dpi = 72.f);

  // --- Drawing; a null blend is opaque source-over. Valid only while drawing.
  void DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlendMode* pBlend = nullptr, float thickness = 1.f);
  void DrawRect(const IColor& color, const IBounds& bounds, const IBlendMode* pBlend = nullptr, float thickness = 1.f);
  void DrawRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius = 5.f, const IBlendMode* pBlend = nullptr, float thickness = 1.f);
  void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlendMode* pBlend = nullptr, float thickness = 1.f);
  void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlendMode* pBlend = nullptr, float thickness = 1.f);
  void DrawRadialLine(const IColor& color, float cx, float cy, float angle, float rMin, float rMax, const IBlendMode* pBlend = nullptr, float thickness = 1.f);
  void DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3, const IBlendMode* pBlend = nullptr, float thickness = 1.f);
  void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3, const IBlendMode* pBlend = nullptr);
  void FillRect(const IColor& color, const IBounds& bounds, const IBlendMode* pBlend = nullptr);
  void FillRoundRect(const IColor& color, const IBounds& bounds, float cornerRadius = 5.f, const IBlendMode* pBlend = nullptr);
  void FillCircle(const IColor& color, float cx, float cy, float r, const IBlendMode* pBlend = nullptr);
  void FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2, const IBlendMode* pBlend = nullptr);
  void DrawText(const ITextStyle& text, const char* str, const IBounds& bounds, const IBlendMode* pBlend = nullptr);
  // The bounds str would take when drawn into bounds with this style.
  IBounds MeasureText(const ITextStyle& text, const char* str, const IBounds& bounds);
  // Scales the image into bounds, keeping its aspect ratio, centred.
  void DrawSVG(const ISVG& svg, const IBounds& bounds, const IBlendMode* pBlend = nullptr);

  // --- Path operations on one current path
  void PathClear();
  void PathClose();
  void PathMoveTo(float x, float y);
  void PathLineTo(float x, float y);
  // Runs clockwise from a1 to a2 when a2 > a1, otherwise anticlockwise.
  void PathArc(float cx, float cy, float r, float a1, float a2);
  void PathCircle(float cx, float cy, float r);
  void PathRect(const IBounds& bounds);
  void PathRoundRect(const IBounds& bounds, float ctl, float ctr, float cbl, float cbr);
  void PathRoundRect(const IBounds& bounds, float r) { PathRoundRect(bounds, r, r, r, r); }
  void PathStroke(const IFill& fill, float thickness = 1.f, const IStrokeOptions& options = {}, const IBlendMode* pBlend = nullptr);
  void PathFill(const IFill& fill, const IFillOptions& options = {}, const IBlendMode* pBlend = nullptr);

  // Points of the ray at angle (degrees from twelve o'clock, clockwise).
  static void PointOnCircle(float cx, float cy, float r, float angle, float& x, float& y);

protected:
  // Platform hooks. Called after the backbuffer was redrawn in these regions
  // (pixel coordinates); a window copies them to the screen.
  virtual void PresentRegions(const std::vector<IBounds>& /*pixelRegions*/) {}
  // The surface or scale changed; a window adapts its size.
  virtual void OnSurfaceResized() {}

  _cairo_surface* Backbuffer() const { return mBackbuffer; }
  // Draws the controls that touch region (editor units) into the backbuffer.
  void DrawRegion(const IBounds& region);

private:
  IControl* GetMouseControl(float x, float y, bool mouseDown, bool mouseOver = false, int touchID = 0);
  void UpdateMouseOver(float x, float y, const IMouseKeys& mod);
  void ClearMouseOver();
  // Drops every pointer the mouse state holds to a control about to go away.
  void ForgetControl(const IControl* pControl);
  void RebuildBackbuffer();
  void ApplySource(const IFill& fill, const IBlendMode* pBlend);
  void ApplyColor(const IColor& color, const IBlendMode* pBlend);
  void Stroke(float thickness, const IStrokeOptions& options);
  _cairo_font_face* FontFor(const ITextStyle& text);
  void DrawRegions(const std::vector<IBounds>& regions);

  iplug::IEditorDelegate& mDelegate;
  int mWidth;
  int mHeight;
  const int mInitialWidth;
  const int mInitialHeight;
  int mFPS;
  float mDrawScale;
  float mScreenScale = 1.f;
  // Draw scales outside this range are clamped (a zero or negative scale would
  // divide by zero when mapping the mouse).
  static constexpr float kMinScale = 0.25f;
  static constexpr float kMaxScale = 4.f;

  std::vector<std::unique_ptr<IControl>> mControls;
  std::unordered_map<int, IControl*> mCtrlTags;
  std::unique_ptr<ICornerResizerControl> mCornerResizer;
  EUIResizerMode mResizerMode = EUIResizerMode::Scale;
  std::unique_ptr<PopupMenuControl> mPopupControl;
  std::vector<std::unique_ptr<PopupMenuControl>> mClosedPopups;
  std::unique_ptr<IPopupMenu> mPromptMenu;

  float mMouseDownX = -1.f;
  float mMouseDownY = -1.f;
  std::map<int, IControl*> mCapturedMap; // by touch id
  IControl* mMouseOver = nullptr;
  bool mCursorHidden = false;
  bool mCursorLocked = false;
  ECursor mCursor = ECursor::ARROW;
  bool mEnableMouseOver = false;
  bool mResizingInProcess = false;

  std::function<bool(int, float, float)> mHostContextMenuFunc;
  std::function<void(int, int, float)> mHostResizeFunc;

  std::vector<IBounds> mPendingRegions; // uncovered by controls that went away or moved

  _cairo_surface* mBackbuffer = nullptr;
  _cairo* mCr = nullptr; // only while drawing
};

} // namespace igraphics
