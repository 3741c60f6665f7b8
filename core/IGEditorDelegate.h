#pragma once

// The editor delegate that owns the open editor's drawing context. The plug-in
// installs two factory functions: one that makes the context and one that lays
// out the controls on it, and tells the size the layout draws. The size and
// scale of the last closed editor are remembered and applied when it is
// opened again.
//
// Thread notes: UI thread only.

#include "core/IEditorContext.h"
#include "core/IEditorDelegate.h"

#include <functional>
#include <memory>
#include <string>

namespace iplug
{

class IGEditorDelegate : public IEditorDelegate
{
public:
  using MakeContextFunc = std::function<std::unique_ptr<IEditorContext>()>;
  using LayoutFunc = std::function<void(IEditorContext&)>;

  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  void SetMakeContextFunc(MakeContextFunc func) { mMakeContextFunc = std::move(func); }
  void SetLayoutFunc(LayoutFunc func) { mLayoutFunc = std::move(func); }
  // The size in editor units the layout draws at draw scale 1: the editor
  // opens at it until one has been closed at another size or scale.
  void SetEditorDrawSize(int width, int height);

  // Creates the context when none exists (and lays it out once), applies the
  // remembered size and scale, and opens its window inside pParent. Returns the
  // native window handle, or nullptr when no context could be made or opened.
  virtual void* AttachEditor(void* pParent);
  // Remembers the context's size and scale, closes its window and deletes it.
  virtual void DetachEditor();

  // Writes the editor as drawn at this screen scale into a PNG, without a
  // window: the open editor as it is, otherwise a context made and laid out
  // for the picture alone (showing the current parameter values) and deleted
  // again. False when there is no editor or the file cannot be written.
  bool RenderEditorSnapshot(const std::string& path, float screenScale);

  // Key events for the open editor; false (not handled) while none is open.
  bool OnKeyDown(const IKeyRecord& key) { return mContext && mContext->OnKeyDownFromDelegate(key); }
  bool OnKeyUp(const IKeyRecord& key) { return mContext && mContext->OnKeyUpFromDelegate(key); }

  // The editor window's size in pixels: the open editor's own, else the size
  // it opens at, times screenScale. False when neither is known.
  bool GetEditorPixelSize(float screenScale, int& width, int& height) const;

  IEditorContext* GetEditorContext() const { return mContext.get(); }
  bool HasEditorContext() const { return mContext != nullptr; }

  int GetRememberedWidth() const { return mRememberedWidth; }
  int GetRememberedHeight() const { return mRememberedHeight; }
  float GetRememberedScale() const { return mRememberedScale; }

  void ShowParamInEditor(int paramIdx, double value, bool isNormalized) override;
  void SendValueToControl(int ctrlTag, double normalizedValue) override;
  void SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* pData) override;

private:
  std::unique_ptr<IEditorContext> mContext;
  MakeContextFunc mMakeContextFunc;
  LayoutFunc mLayoutFunc;
  int mRememberedWidth = 0;
  int mRememberedHeight = 0;
  float mRememberedScale = 0.f;
  bool mClosing = false;
};

} // namespace iplug
