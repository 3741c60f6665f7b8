#include "editor/IVSwitchControl.h"

#include "core/IParam.h"
#include "graphics/IGraphics.h"

namespace igraphics
{

IVSwitchControl::IVSwitchControl(const IBounds& bounds, int paramIdx, const char* label, const IVLook& look,
                                 bool valueInButton)
  : ISwitchControlBase(bounds, paramIdx)
  , IVectorBase(this, look)
{
  SetLabelStr(label);
  mValueInWidget = valueInButton;
}

void IVSwitchControl::OnInit()
{
  ISwitchControlBase::OnInit();
  UpdateValueStr();
}

void IVSwitchControl::Draw(IGraphics& g)
{
  DrawBackground(g, mRECT);
  DrawLabel(g);
  DrawWidget(g);
  DrawValue(g, false);
}

void IVSwitchControl::DrawWidget(IGraphics& g)
{
  DrawPressableShape(g, mShape, mWidgetBounds, mMouseDown, GetMouseIsOver(), IsDisabled());
}

void IVSwitchControl::OnResize()
{
  SetTargetRECT(MakeRects(mRECT));
  IControl::SetDirty(false);
}

bool IVSwitchControl::IsHit(float x, float y) const
{
  return mWidgetBounds.Contains(x, y);
}

void IVSwitchControl::SetDirty(bool triggerAction, int valIdx)
{
  IControl::SetDirty(triggerAction, valIdx);
  UpdateValueStr();
}

void IVSwitchControl::UpdateValueStr()
{
  if (const iplug::IParam* param = GetParam())
  {
    std::string text;
    param->FormatValue(GetValue(), true, text);
    SetValueStr(text.c_str());
  }
}

} // namespace igraphics
