#include "editor/PresetControl.h"

#include "core/IParam.h"
#include "core/IPluginBase.h"
#include "editor/Button.h"
#include "editor/ColorShift.h"
#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"

#include <cmath>
#include <cstdio>

namespace igraphics
{

namespace
{
// Arrow half-sizes as fractions of the zone width and the control height.
constexpr float kArrowHalfWidthFrac = 0.0825f;
constexpr float kArrowHalfHeightFrac = 0.165f;
constexpr int kOutlineAlpha = 127;
constexpr size_t kNameChars = 32; // including the terminating zero
// Hosts that keep values as 32-bit floats send each value back, so rounded,
// after a preset load; a normalised difference this small is that echo.
constexpr double kHostEchoTolerance = 1e-6;
} // namespace

PresetControl::PresetControl(const IBounds& bounds, const IVLook& look)
  : IControl(bounds)
  , IVectorBase(this, look)
  , mMenu(std::make_unique<IPopupMenu>())
{
}

PresetControl::~PresetControl()
{
  if (mPluginLink && *mPluginLink == this)
    *mPluginLink = nullptr;
}

void PresetControl::SetPluginLink(PresetControl** link)
{
  mPluginLink = link;
  if (mPluginLink)
    *mPluginLink = this;
}

iplug::IPluginBase* PresetControl::GetPlugin() const
{
  return dynamic_cast<iplug::IPluginBase*>(GetDelegate());
}

void PresetControl::OnAttached()
{
  const IBounds& r = mRECT;
  mLeftZone = IBounds(r.L, r.T, r.L + kArrowZoneWidth, r.B);
  mRightZone = IBounds(r.R - kArrowZoneWidth, r.T, r.R, r.B);
  mNameZone = IBounds(r.L + kArrowZoneWidth, r.T, r.R - kArrowZoneWidth, r.B);

  IGraphics* g = GetUI();
  if (!g)
    return;

  auto makeButton = [&](const IBounds& zone, const char* label, AnimationEndFunc work) {
    auto* button = new Button(zone, SplashClickAction, label, mStyle);
    button->SetAnimationEndActionFunction(std::move(work));
    return static_cast<Button*>(g->AttachControl(button));
  };

  makeButton(mLeftZone, "", [this](IControl*) { StepPreset(-1); });
  makeButton(mRightZone, "", [this](IControl*) { StepPreset(+1); });
  mNameButton = makeButton(mNameZone, kCustomName, [this](IControl*) { OpenPresetMenu(); });
}

void PresetControl::StepPreset(int direction)
{
  iplug::IPluginBase* plug = GetPlugin();
  if (!plug || plug->NPresets() <= 0)
    return;
  int index = plug->GetCurrentPresetIdx() + direction;
  if (index < 0)
    index = plug->NPresets() - 1;
  else if (index >= plug->NPresets())
    index = 0;
  RestorePreset(index);
}

void PresetControl::OpenPresetMenu()
{
  iplug::IPluginBase* plug = GetPlugin();
  IGraphics* g = GetUI();
  if (!plug || !g || !mNameButton)
    return;
  mMenu->Clear();
  const int current = plug->GetCurrentPresetIdx();
  for (int i = 0; i < plug->NPresets(); ++i)
    mMenu->AddItem(plug->GetPresetName(i), true, i == current);
  g->CreatePopupMenu(*this, *mMenu, mNameButton->GetRECT());
}

void PresetControl::OnPopupMenuSelection(IPopupMenu* menu, int /*valIdx*/)
{
  if (!menu)
    return;
  const int chosen = menu->GetChosenItemIdx();
  if (chosen >= 0 && chosen < menu->NItems())
    RestorePreset(chosen);
}

void PresetControl::RestorePreset(int index)
{
  iplug::IPluginBase* plug = GetPlugin();
  if (!plug)
    return;
  plug->LoadPresetFromEditor(index);
  mLoadedHere = true;
  if (mNameButton)
  {
    char name[kNameChars] = {};
    if (index >= 0 && index < plug->NPresets())
      std::snprintf(name, sizeof(name), "%s", plug->GetPresetName(index));
    mNameButton->SetLabelStr(name);
    mNameButton->SetDirty(false);
  }
}

void PresetControl::OnParamChanged(int paramIdx, int bypassParamIdx)
{
  if (paramIdx == bypassParamIdx || !mLoadedHere || HoldsPresetValue(paramIdx))
    return;
  if (mNameButton)
  {
    mNameButton->SetLabelStr(kCustomName);
    mNameButton->SetDirty(false);
  }
  if (iplug::IPluginBase* plug = GetPlugin())
    plug->SetCurrentPresetIdx(0);
  mLoadedHere = false;
}

bool PresetControl::HoldsPresetValue(int paramIdx) const
{
  const iplug::IPluginBase* plug = GetPlugin();
  const iplug::PresetSlot* slot = plug ? plug->GetPreset(plug->GetCurrentPresetIdx()) : nullptr;
  const iplug::IParam* param = plug ? plug->GetParam(paramIdx) : nullptr;
  double stored = 0.0;
  if (!slot || !param || slot->chunk.ReadAt(stored, paramIdx * static_cast<int>(sizeof(double))) < 0)
    return false;
  const double preset = param->RealToNorm(param->FitToRange(stored));
  return std::fabs(param->GetValueNormalized() - preset) <= kHostEchoTolerance;
}

const char* PresetControl::GetDisplayedName() const
{
  return mNameButton ? mNameButton->GetLabelStr().c_str() : "";
}

void PresetControl::Draw(IGraphics& g)
{
  DrawWidget(g);
}

void PresetControl::DrawWidget(IGraphics& g)
{
  const IColor k = WithAlpha(GetColor(kFR), kOutlineAlpha);
  const IBounds& r = mRECT;
  g.DrawRoundRect(k, r, r.H() * 0.5f, nullptr, 1.f);

  const float hw = kArrowHalfWidthFrac * mLeftZone.W();
  const float hh = kArrowHalfHeightFrac * r.H();
  const float lx = mLeftZone.MW();
  const float ly = mLeftZone.MH();
  g.FillTriangle(k, lx - hw, ly, lx + hw, ly - hh, lx + hw, ly + hh);
  const float rx = mRightZone.MW();
  const float ry = mRightZone.MH();
  g.FillTriangle(k, rx + hw, ry, rx - hw, ry - hh, rx - hw, ry + hh);
}

} // namespace igraphics
