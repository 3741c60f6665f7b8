#include "editor/IVButtonControl.h"

#include "graphics/IGraphics.h"

namespace igraphics
{

void SplashClickAction(IControl* caller)
{
  IVectorBase* vector = dynamic_cast<IVectorBase*>(caller);
  if (vector && caller->GetUI())
  {
    float x = 0.f;
    float y = 0.f;
    caller->GetUI()->GetMouseDownPoint(x, y);
    vector->SetSplashPoint(x, y);
  }
  caller->SetAnimation(
    [vector](IControl* control) {
      const double progress = control->GetAnimationProgress();
      if (progress > 1.0)
      {
        if (vector)
          vector->SetSplashRadius(0.f);
        control->OnEndAnimation();
        return;
      }
      if (vector)
        vector->SetSplashRadius(static_cast<float>(progress));
      control->SetDirty(false);
    },
    kClickSplashMs);
}

IVButtonControl::IVButtonControl(const IBounds& bounds, ActionFunc action, const char* label, const IVLook& look,
                                 bool labelInButton, bool valueInButton, EVShape shape)
  : IButtonControlBase(bounds, action ? std::move(action) : ActionFunc(SplashClickAction))
  , IVectorBase(this, look)
{
  SetLabelStr(label);
  mLabelInWidget = labelInButton;
  mValueInWidget = valueInButton;
  mShape = shape;
}

void IVButtonControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawWidget(g);
  DrawLabel(g);
  DrawValue(g, false);
}

void IVButtonControl::DrawWidget(IGraphics& g)
{
  DrawPressableShape(g, mShape, mWidgetBounds, GetValue() > 0.5, GetMouseIsOver(), IsDisabled());
}

void IVButtonControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT));
  SetDirty(false);
}

bool IVButtonControl::IsHit(float x, float y) const
{
  return mWidgetBounds.Contains(x, y);
}

} // namespace igraphics
