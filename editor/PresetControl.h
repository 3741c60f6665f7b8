#pragma once

// The header's preset selector: a pill with a left arrow (previous preset),
// the current preset's name (opens the preset menu) and a right arrow (next
// preset). Three Buttons attached on top of it take the clicks; their work
// runs when their 100 ms click splash ends.

#include "editor/IVectorBase.h"
#include "graphics/IControl.h"

#include <memory>

namespace iplug
{
class IPluginBase;
}

namespace igraphics
{

class Button;
class IPopupMenu;

class PresetControl : public IControl, public IVectorBase
{
public:
  static constexpr float kArrowZoneWidth = 32.f;
  static constexpr const char* kCustomName = "CUSTOM";

  PresetControl(const IBounds& bounds, const IVLook& look);
  ~PresetControl() override;

  void OnAttached() override;
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override;
  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;

  // The editor half of the plug-in's parameter handler: after a preset was
  // chosen here, the first change of any parameter but bypassParamIdx away
  // from the preset's value shows "CUSTOM" again and resets the plug-in's
  // current preset index to 0. A host repeating the preset's value back (as a
  // 32-bit float, so rounded) changes nothing.
  void OnParamChanged(int paramIdx, int bypassParamIdx);

  // The plug-in's pointer to its selector: set here, and cleared when this
  // selector is deleted with its drawing context.
  void SetPluginLink(PresetControl** link);

  const IBounds& LeftZone() const { return mLeftZone; }
  const IBounds& RightZone() const { return mRightZone; }
  const IBounds& NameZone() const { return mNameZone; }
  Button* GetNameButton() const { return mNameButton; }
  const IPopupMenu& GetMenu() const { return *mMenu; }
  const char* GetDisplayedName() const;
  bool IsShowingLoadedPreset() const { return mLoadedHere; }

private:
  iplug::IPluginBase* GetPlugin() const;
  void StepPreset(int direction);
  void OpenPresetMenu();
  void RestorePreset(int index);
  // The parameter still has (within a host's float rounding) the value the
  // current preset gave it.
  bool HoldsPresetValue(int paramIdx) const;

  IBounds mLeftZone;
  IBounds mRightZone;
  IBounds mNameZone;
  std::unique_ptr<IPopupMenu> mMenu;
  Button* mNameButton = nullptr;
  bool mLoadedHere = false;
  PresetControl** mPluginLink = nullptr;
};

} // namespace igraphics
