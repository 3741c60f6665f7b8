#pragma once

// The editor view a controller creates and the host embeds, and the host's
// frame around it.

#include "vst3/abi/FUnknown.h"

namespace vst3
{

struct ViewRect
{
  int32 left;
  int32 top;
  int32 right;
  int32 bottom;

  int32 getWidth() const { return right - left; }
  int32 getHeight() const { return bottom - top; }
};

// Platform types for isPlatformTypeSupported / attached.
constexpr const char* kPlatformTypeHWND = "HWND";
constexpr const char* kPlatformTypeHIView = "HIView";
constexpr const char* kPlatformTypeNSView = "NSView";
constexpr const char* kPlatformTypeUIView = "UIView";
constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

class IPlugFrame;

class IPlugView : public FUnknown
{
public:
  virtual tresult VST3_CALL isPlatformTypeSupported(FIDString type) = 0;            // slot 3
  virtual tresult VST3_CALL attached(void* parent, FIDString type) = 0;             // slot 4
  virtual tresult VST3_CALL removed() = 0;                                          // slot 5
  virtual tresult VST3_CALL onWheel(float distance) = 0;                            // slot 6
  virtual tresult VST3_CALL onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0; // slot 7
  virtual tresult VST3_CALL onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;   // slot 8
  virtual tresult VST3_CALL getSize(ViewRect* size) = 0;                            // slot 9
  virtual tresult VST3_CALL onSize(ViewRect* newSize) = 0;                          // slot 10
  virtual tresult VST3_CALL onFocus(TBool state) = 0;                               // slot 11
  virtual tresult VST3_CALL setFrame(IPlugFrame* frame) = 0;                        // slot 12
  virtual tresult VST3_CALL canResize() = 0;                                        // slot 13
  virtual tresult VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;                // slot 14

  VST3_DECLARE_IID(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29)
  VST3_INTERFACE_DESTRUCTOR(IPlugView)
};

class IPlugFrame : public FUnknown
{
public:
  virtual tresult VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) = 0; // slot 3

  VST3_DECLARE_IID(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3)
  VST3_INTERFACE_DESTRUCTOR(IPlugFrame)
};

class IPlugViewContentScaleSupport : public FUnknown
{
public:
  using ScaleFactor = float;

  virtual tresult VST3_CALL setContentScaleFactor(ScaleFactor factor) = 0; // slot 3

  VST3_DECLARE_IID(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F)
  VST3_INTERFACE_DESTRUCTOR(IPlugViewContentScaleSupport)
};

// Key modifiers passed to onKeyDown / onKeyUp.
enum KeyModifier : int16
{
  kShiftKey = 1 << 0,
  kAlternateKey = 1 << 1,
  kCommandKey = 1 << 2,
  kControlKey = 1 << 3
};

static_assert(sizeof(ViewRect) == 16);

} // namespace vst3
