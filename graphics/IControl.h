#pragma once

#include "graphics/IBlendMode.h"
#include "graphics/IBounds.h"
#include "graphics/IColor.h"
#include "graphics/IMouseKeys.h"
#include "graphics/ITextStyle.h"

#include <functional>
#include <string>
#include <vector>

namespace iplug
{
class IEditorDelegate;
class IParam;
}

namespace igraphics
{

class IGraphics;
class IControl;
class IPopupMenu;

using ActionFunc = std::function<void(IControl*)>;
using AnimationFunc = std::function<void(IControl*)>;
using AnimationEndFunc = std::function<void(IControl*)>;

inline constexpr int kNoParameter = -1;
inline constexpr int kNoTag = -1;

// Direction of travel of knobs, sliders and meters.
enum class EDirection : int
{
  Vertical = 0,
  Horizontal = 1
};

// One value slot of a control, optionally bound to a plug-in parameter.
struct ParamLink
{
  int paramIdx = kNoParameter;
  double value = 0.;
};

// Base of every element of the editor: a rectangle that draws itself, reacts
// to the mouse and holds normalised values. The drawing context owns attached
// controls; a control's pointers to the delegate and the context are not owning.
// UI thread only.
class IControl
{
public:
  explicit IControl(const IBounds& bounds, int paramIdx = kNoParameter, ActionFunc action = nullptr);
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // Mouse and keys, in editor units.
  virtual void OnMouseDown(float x, float y, const IMouseKeys& mod);
  virtual void OnMouseUp(float /*x*/, float /*y*/, const IMouseKeys& /*mod*/) {}
  virtual void OnMouseDrag(float /*x*/, float /*y*/, float /*dX*/, float /*dY*/, const IMouseKeys& /*mod*/) {}
  // Default: the value under the mouse goes back to its default.
  virtual void OnMouseDblClick(float x, float y, const IMouseKeys& mod);
  virtual void OnMouseWheel(float /*x*/, float /*y*/, const IMouseKeys& /*mod*/, float /*delta*/) {}
  virtual bool OnKeyDown(float /*x*/, float /*y*/, const IKeyPress& /*key*/) { return false; }
  virtual bool OnKeyUp(float /*x*/, float /*y*/, const IKeyPress& /*key*/) { return false; }
  virtual void OnMouseOver(float x, float y, const IMouseKeys& mod);
  virtual void OnMouseOut();

  // The chosen entry of a popup menu opened for this control; nullptr when the
  // menu was dismissed without a choice.
  virtual void OnPopupMenuSelection(IPopupMenu* /*pSelectedMenu*/, int /*valIdx*/) {}
  virtual void OnMsgFromDelegate(int /*msgTag*/, int /*dataSize*/, const void* /*pData*/) {}

  // Lifecycle hooks called by the drawing context on attach, in this order.
  virtual void OnInit() {}
  virtual void OnResize() {}
  virtual void OnRescale() {}
  virtual void OnAttached() {}

  virtual void Draw(IGraphics& g) = 0;

  virtual bool IsHit(float x, float y) const;
  // The value slot under a point: the only one of a single-value control,
  // -1 for a multi-value control unless a subclass knows better.
  virtual int GetValIdxForPos(float x, float y) const;

  // Value change from the user: clamps, marks dirty and, with triggerAction,
  // tells the delegate and the other controls bound to the same parameter.
  virtual void SetDirty(bool triggerAction = true, int valIdx = kNoValIdx);
  virtual void SetClean() { mDirty = false; }
  // Runs the animation step, when one is installed (which keeps the control dirty).
  virtual bool IsDirty();

  // Value change from the plug-in; ignored while the user holds the control.
  virtual void SetValueFromDelegate(double value, int valIdx = 0);
  virtual void SetValue(double value, int valIdx = 0);
  // Bound values take their parameter's default (all of them for valIdx < 0
  // on a multi-value control), then SetDirty with action.
  virtual void SetValueToDefault(int valIdx = kNoValIdx);
  // Stores and reports a value typed or chosen by the user, when it differs.
  virtual void SetValueFromUserInput(double value, int valIdx = 0);
  // Sets a value from a pointer position inside bounds (quantised to 0.001,
  // clamped to minClip..maxClip) and reports it with SetDirty(true, valIdx).
  virtual void SnapToMouse(float x, float y, EDirection direction, const IBounds& bounds, int valIdx = kNoValIdx,
                           double minClip = 0., double maxClip = 1.);
  double GetValue(int valIdx = 0) const;
  int NVals() const { return static_cast<int>(mVals.size()); }
  int GetParamIdx(int valIdx = 0) const;
  // The parameter bound to a value slot; nullptr when unbound or unattached.
  const iplug::IParam* GetParam(int valIdx = 0) const;
  void SetParamIdx(int paramIdx, int valIdx = 0);
  // Adds value slots so that there are n (never removes any).
  void SetNVals(int n);
  bool LinkedToParam(int paramIdx) const;

  virtual void Hide(bool hide);
  virtual void SetDisabled(bool disable);
  virtual void OnEndAnimation();

  bool IsHidden() const { return mHide; }
  bool IsDisabled() const { return mDisabled; }
  bool GetIgnoreMouse() const { return mIgnoreMouse; }
  void SetIgnoreMouse(bool ignore) { mIgnoreMouse = ignore; }
  bool GetMouseOverWhenDisabled() const { return mMouseOverWhenDisabled; }
  void SetMouseOverWhenDisabled(bool allow) { mMouseOverWhenDisabled = allow; }
  bool GetMouseEventsWhenDisabled() const { return mMouseEventsWhenDisabled; }
  void SetMouseEventsWhenDisabled(bool allow) { mMouseEventsWhenDisabled = allow; }
  bool GetMouseIsOver() const { return mMouseIsOver; }
  bool GetPromptDisabled() const { return mPromptDisabled; }
  void DisablePrompt(bool disable) { mPromptDisabled = disable; }
  // Double-clicks arrive as presses instead.
  bool GetDblAsSingleClick() const { return mDblAsSingleClick; }
  void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }

  const IBounds& GetRECT() const { return mRECT; }
  const IBounds& GetTargetRECT() const { return mTargetRECT; }
  void SetRECT(const IBounds& bounds) { mRECT = bounds; }
  void SetTargetRECT(const IBounds& bounds) { mTargetRECT = bounds; }
  void SetTargetAndDrawRECTs(const IBounds& bounds) { mRECT = mTargetRECT = bounds; }
  void SetPosition(float x, float y);
  void SetSize(float w, float h);

  const ITextStyle& GetText() const { return mText; }
  virtual void SetText(const ITextStyle& text) { mText = text; }
  const IBlendMode& GetBlend() const { return mBlend; }
  const std::string& GetGroup() const { return mGroup; }
  void SetGroup(const std::string& group) { mGroup = group; }
  int GetTag() const { return mTag; }

  void SetActionFunction(ActionFunc f) { mActionFunc = std::move(f); }
  void SetAnimationEndActionFunction(AnimationEndFunc f) { mAnimationEndActionFunc = std::move(f); }
  ActionFunc GetActionFunction() const { return mActionFunc; }
  void SetAnimation(AnimationFunc f, int durationMs);
  AnimationFunc GetAnimationFunction() const { return mAnimationFunc; }
  double GetAnimationProgress() const;

  iplug::IEditorDelegate* GetDelegate() const { return mDelegate; }
  IGraphics* GetUI() const { return mGraphics; }
  // Set by the drawing context on attach.
  void SetDelegate(iplug::IEditorDelegate* pDelegate) { mDelegate = pDelegate; }
  void SetGraphics(IGraphics* pGraphics) { mGraphics = pGraphics; }
  void SetTag(int tag) { mTag = tag; }
  void SetMouseIsOver(bool over) { mMouseIsOver = over; }

  static constexpr int kNoValIdx = -1;

protected:
  IBounds mRECT;
  IBounds mTargetRECT;
  std::string mGroup;
  ITextStyle mText;
  IBlendMode mBlend;
  bool mDirty = true;
  bool mHide = false;
  bool mDisabled = false;
  bool mPromptDisabled = true;
  bool mMouseOverWhenDisabled = false;
  bool mMouseEventsWhenDisabled = false;
  bool mIgnoreMouse = false;
  bool mDblAsSingleClick = false;
  bool mMouseIsOver = false;
  int mTag = kNoTag;
  iplug::IEditorDelegate* mDelegate = nullptr;
  IGraphics* mGraphics = nullptr;
  ActionFunc mActionFunc;
  AnimationEndFunc mAnimationEndActionFunc;
  AnimationFunc mAnimationFunc;
  double mAnimationStartMs = 0.;
  int mAnimationDurationMs = 0;
  std::vector<ParamLink> mVals;
};

// Milliseconds from a monotonic clock, for animations.
double NowMs();

} // namespace igraphics
