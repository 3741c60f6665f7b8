#pragma once

// What the plug-in side needs from an open editor: the drawing context
// (igraphics::IGraphics) implements this, so the core never depends on graphics.
// All calls run on the editor's (UI) thread.

namespace iplug
{

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
};

} // namespace iplug
