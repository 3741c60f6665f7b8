#pragma once

#include <string>
#include <vector>

namespace igraphics
{

// The entries of a popup menu and, after it closed, the chosen one.
class IPopupMenu
{
public:
  struct Item
  {
    std::string text;
    bool enabled = true;
    bool checked = false;
  };

  IPopupMenu() = default;
  explicit IPopupMenu(std::vector<std::string> items)
  {
    for (auto& t : items)
      AddItem(std::move(t));
  }

  void AddItem(std::string text, bool enabled = true, bool checked = false)
  {
    mItems.push_back({std::move(text), enabled, checked});
  }
  void Clear()
  {
    mItems.clear();
    mChosen = -1;
  }

  int NItems() const { return static_cast<int>(mItems.size()); }
  const Item* GetItem(int idx) const { return idx >= 0 && idx < NItems() ? &mItems[idx] : nullptr; }
  Item* GetItem(int idx) { return idx >= 0 && idx < NItems() ? &mItems[idx] : nullptr; }
  void CheckItemAlone(int idx)
  {
    for (int i = 0; i < NItems(); ++i)
      mItems[i].checked = (i == idx);
  }

  int GetChosenItemIdx() const { return mChosen; }
  void SetChosenItemIdx(int idx) { mChosen = idx; }

private:
  std::vector<Item> mItems;
  int mChosen = -1;
};

} // namespace igraphics
