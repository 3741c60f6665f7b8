#pragma once

// The editor view the controller creates and the host embeds in its window.
// It draws nothing itself: opening, closing, sizing, scaling and keys go to
// the plug-in's editor delegate and its drawing context. It holds one
// reference on its owner for its whole life. UI thread only.

#include "vst3/IEditorSnapshot.h"
#include "vst3/ViewRunLoop.h"
#include "vst3/abi/PlugView.h"
#include "vst3/base/RefCount.h"

#include <memory>

namespace iplug
{

class IPlugVST3;

class IPlugVST3View final : public vst3::IPlugView,
                            public vst3::IPlugViewContentScaleSupport,
                            public IEditorSnapshot
{
public:
  // The platform's window type: the parent handed to attached is one of these.
  static const char* NativePlatformType();

  explicit IPlugVST3View(IPlugVST3& owner);
  IPlugVST3View(const IPlugVST3View&) = delete;
  IPlugVST3View& operator=(const IPlugVST3View&) = delete;

  // FUnknown
  vst3::tresult VST3_CALL queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_CALL addRef() override;
  vst3::uint32 VST3_CALL release() override;

  // IPlugView
  vst3::tresult VST3_CALL isPlatformTypeSupported(vst3::FIDString type) override;
  vst3::tresult VST3_CALL attached(void* parent, vst3::FIDString type) override;
  vst3::tresult VST3_CALL removed() override;
  vst3::tresult VST3_CALL onWheel(float distance) override;
  vst3::tresult VST3_CALL onKeyDown(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
  vst3::tresult VST3_CALL onKeyUp(vst3::char16 key, vst3::int16 keyCode, vst3::int16 modifiers) override;
  vst3::tresult VST3_CALL getSize(vst3::ViewRect* size) override;
  vst3::tresult VST3_CALL onSize(vst3::ViewRect* newSize) override;
  vst3::tresult VST3_CALL onFocus(vst3::TBool state) override;
  vst3::tresult VST3_CALL setFrame(vst3::IPlugFrame* frame) override;
  vst3::tresult VST3_CALL canResize() override;
  vst3::tresult VST3_CALL checkSizeConstraint(vst3::ViewRect* rect) override;

  // IPlugViewContentScaleSupport
  vst3::tresult VST3_CALL setContentScaleFactor(ScaleFactor factor) override;

  // IEditorSnapshot
  vst3::tresult VST3_CALL renderPng(const char* utf8Path) override;

  // Asks the host frame (when there is one) to make the view this size.
  void RequestHostResize(int width, int height);

  bool IsAttached() const { return mAttached; }
  const vst3::ViewRect& GetRect() const { return mRect; }

private:
  ~IPlugVST3View();
  // Brings the host's size of the view in line with the editor's window size.
  void FollowEditorSize();
  // The editor window's size: the open editor's, else the one it opens at.
  vst3::ViewRect EditorRect() const;

  vst3::RefCount mRefs;
  IPlugVST3& mOwner;
  vst3::ViewRect mRect{};
  void* mParent = nullptr;
  vst3::IPlugFrame* mFrame = nullptr;
  std::unique_ptr<ViewRunLoop> mRunLoop;
  float mContentScale = 1.f;
  // The host set a content scale: it wins over what the window system says.
  bool mHostContentScale = false;
  bool mAttached = false;
};

} // namespace iplug
