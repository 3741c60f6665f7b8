#pragma once

// Host context menus that an editor may extend for a parameter.

#include "vst3/abi/ParameterChanges.h"

#include <cstddef>

namespace vst3
{

class IPlugView;

struct IContextMenuItem
{
  enum Flags : int32
  {
    kIsSeparator = 1 << 0,
    kIsDisabled = 1 << 1,
    kIsChecked = 1 << 2,
    kIsGroupStart = 1 << 3 | kIsDisabled,
    kIsGroupEnd = 1 << 4 | kIsSeparator
  };

  String128 name;
  int32 tag;
  int32 flags;
};

class IContextMenuTarget : public FUnknown
{
public:
  virtual tresult VST3_CALL executeMenuItem(int32 tag) = 0; // slot 3

  VST3_DECLARE_IID(0x3CDF2E75, 0x85D34144, 0xBF86D36B, 0xD7C4894D)
  VST3_INTERFACE_DESTRUCTOR(IContextMenuTarget)
};

class IContextMenu : public FUnknown
{
public:
  using Item = IContextMenuItem;

  virtual int32 VST3_CALL getItemCount() = 0;                                               // slot 3
  virtual tresult VST3_CALL getItem(int32 index, Item& item, IContextMenuTarget** target) = 0;  // slot 4
  virtual tresult VST3_CALL addItem(const Item& item, IContextMenuTarget* target) = 0;      // slot 5
  virtual tresult VST3_CALL removeItem(const Item& item, IContextMenuTarget* target) = 0;   // slot 6
  virtual tresult VST3_CALL popup(UCoord x, UCoord y) = 0;                                  // slot 7

  VST3_DECLARE_IID(0x2E93C863, 0x0C9C4588, 0x97DBECF5, 0xAD17817D)
  VST3_INTERFACE_DESTRUCTOR(IContextMenu)
};

class IComponentHandler3 : public FUnknown
{
public:
  // Returns a new reference (or null) that the caller releases after popup().
  virtual IContextMenu* VST3_CALL createContextMenu(IPlugView* plugView, const ParamID* paramID) = 0; // slot 3

  VST3_DECLARE_IID(0x69F11617, 0xD26B400D, 0xA4B6B964, 0x7B6EBBAB)
  VST3_INTERFACE_DESTRUCTOR(IComponentHandler3)
};

static_assert(sizeof(IContextMenuItem) == 264 && offsetof(IContextMenuItem, tag) == 256);

} // namespace vst3
