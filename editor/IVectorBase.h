#pragma once

// Mix-in for vector-drawn controls: holds the look, the widget/label/value
// rectangles, the label and value texts and the click-splash state, and
// draws the shared pieces (background, label, value, pressable shape).

#include "editor/IVLook.h"
#include "graphics/IControl.h"

#include <string>

namespace igraphics
{

enum class EVShape
{
  Rectangle = 0,
  Ellipse = 1,
  Triangle = 2,
  EndsRounded = 3,
  AllRounded = 4
};

class IVectorBase
{
public:
  IVectorBase(IControl* control, const IVLook& look);
  virtual ~IVectorBase() = default;

  virtual void SetStyle(const IVLook& look);
  virtual void DrawBackground(IGraphics& g, const IBounds& bounds);
  virtual void DrawWidget(IGraphics& g) = 0;
  virtual void DrawLabel(IGraphics& g);
  virtual void DrawValue(IGraphics& g, bool mouseOver);
  virtual void DrawPressableShape(IGraphics& g, EVShape shape, const IBounds& bounds, bool pressed, bool mouseOver,
                                  bool disabled);

  // Splits a control rectangle into widget, label and value rectangles from
  // the look's show-label and show-value flags; returns the widget bounds.
  IBounds MakeRects(const IBounds& parent);

  const IVLook& GetLook() const { return mStyle; }
  const IColor& GetColor(EVColor slot) const { return mStyle.GetColor(slot); }
  void SetColor(EVColor slot, const IColor& color) { mStyle.colors[static_cast<size_t>(slot)] = color; }

  void SetLabelStr(const char* label) { mLabelStr = label ? label : ""; }
  void SetValueStr(const char* value) { mValueStr = value ? value : ""; }
  const std::string& GetLabelStr() const { return mLabelStr; }
  const std::string& GetValueStr() const { return mValueStr; }

  const IBounds& GetWidgetBounds() const { return mWidgetBounds; }
  const IBounds& GetLabelBounds() const { return mLabelBounds; }
  const IBounds& GetValueBounds() const { return mValueBounds; }

  // Click splash: radius grows with an animation's progress.
  void SetSplashPoint(float x, float y) { mSplashX = x; mSplashY = y; }
  void SetSplashRadius(float fraction) { mSplashRadius = fraction * mMaxSplashRadius; }
  float GetSplashRadius() const { return mSplashRadius; }

protected:
  IControl* mControl;
  IVLook mStyle;
  bool mLabelInWidget = false;
  bool mValueInWidget = false;
  float mSplashRadius = 0.f;
  float mSplashX = 0.f;
  float mSplashY = 0.f;
  float mMaxSplashRadius = 50.f;
  float mTrackSize = 2.f;
  float mValueDisplayFrac = 0.66f;
  IBounds mWidgetBounds;
  IBounds mLabelBounds;
  IBounds mValueBounds;
  EVShape mShape = EVShape::Rectangle;
  std::string mLabelStr;
  std::string mValueStr;
};

} // namespace igraphics
