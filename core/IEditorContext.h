#pragma once

// What the plug-in side needs from an open editor: the drawing context
// (igraphics::IGraphics) implements this, so the core never depends on graphics.
// All calls run on the editor's (UI) thread.

#include "core/IKeyRecord.h"

#include <cmath>
#include <string>

namespace iplug
{

// Window pixels for a length in editor units at a total scale, rounded up so
// that no drawn pixel falls outside the window.
inline int ScaledPixels(int units, float totalScale)
{
  return static_cast<int>(std::ceil(static_cast<float>(units) * totalScale));
}

class IEditorContext
{
public:
  virtual ~IEditorContext();

  // Every value slot of every control bound to paramIdx takes the value.
  virtual void SetParameterValueFromDelegate(int paramIdx, double normValue) = 0;
  // The first value slot of the control registered under ctrlTag takes the value.
  virtual void SetControlValueFromDelegate(int ctrlTag, double normValue) = 0;
  // Hands a message to the control registered under ctrlTag; ignored when there is none.
  virtual void SendControlMsgFromDelegate(int ctrlTag, int msgTag, int dataSize, const void* pData) = 0;

  // Opens the editor window inside pParent; returns the native window handle or nullptr.
  virtual void* OpenWindow(void* pParent) = 0;
  virtual void CloseWindow() = 0;

  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual float GetDrawScale() const = 0;
  virtual void Resize(int width, int height, float scale) = 0;

  // The host's content scale: window pixels per editor unit before the draw scale.
  virtual float GetScreenScale() const { return 1.f; }
  virtual void SetScreenScale(float /*scale*/) {}

  // The window's size in pixels at both scales.
  int PixelWidth() const { return ScaledPixels(Width(), GetDrawScale() * GetScreenScale()); }
  int PixelHeight() const { return ScaledPixels(Height(), GetDrawScale() * GetScreenScale()); }

  // Key events at the current mouse position; true when a control used the key.
  virtual bool OnKeyDownFromDelegate(const IKeyRecord& /*key*/) { return false; }
  virtual bool OnKeyUpFromDelegate(const IKeyRecord& /*key*/) { return false; }

  // Wiring for hosts that lend their run loop (no threads of our own): the
  // descriptor to watch (-1 when there is none), what to do when it is
  // readable, and the periodic frame callback every kPlatformTimerMs.
  static constexpr int kPlatformTimerMs = 16;
  virtual int GetPlatformEventFd() const { return -1; }
  virtual void OnPlatformEventsReadable() {}
  virtual void OnPlatformTimer() {}

  // Draws the whole editor at its current scales and writes it as a PNG
  // file. False when it cannot (no drawing, or the file cannot be written).
  virtual bool SavePNG(const std::string& /*path*/) { return false; }
};

} // namespace iplug
