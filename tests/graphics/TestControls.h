#pragma once

// Controls and a delegate that record what reaches them, for the graphics tests.

#include "core/IEditorDelegate.h"
#include "core/IParam.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"

#include <functional>
#include <string>
#include <vector>

namespace igraphics::test
{

using Log = std::vector<std::string>;

class RecordingDelegate : public iplug::IEditorDelegate
{
public:
  // Eight parameters from 0 to 100, default 25 (0.25 normalised).
  explicit RecordingDelegate(Log& log) : IEditorDelegate(8), mLog(log)
  {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->DeclareDouble("p", 25., 0., 100., 0.);
  }
  void ParamEditedInEditor(int paramIdx, double value) override
  {
    mLog.push_back("edit " + std::to_string(paramIdx) + " " + std::to_string(value).substr(0, 4));
  }
  void BeginParamGesture(int paramIdx) override { mLog.push_back("begin " + std::to_string(paramIdx)); }
  void EndParamGesture(int paramIdx) override { mLog.push_back("end " + std::to_string(paramIdx)); }

private:
  Log& mLog;
};

// Draws through a function; records every mouse and key call under its name.
class RecordingControl : public IControl
{
public:
  RecordingControl(const IBounds& b, std::string name, Log& log, int paramIdx = kNoParameter)
    : IControl(b, paramIdx), mName(std::move(name)), mLog(log)
  {
  }

  std::function<void(IGraphics&, const IBounds&)> drawFunc;

  void Draw(IGraphics& g) override
  {
    if (drawFunc)
      drawFunc(g, mRECT);
  }
  void OnMouseDown(float, float, const IMouseKeys&) override { Add("down"); }
  void OnMouseUp(float, float, const IMouseKeys&) override { Add("up"); }
  void OnMouseDrag(float, float, float dX, float dY, const IMouseKeys&) override
  {
    Add("drag " + std::to_string(static_cast<int>(dX)) + " " + std::to_string(static_cast<int>(dY)));
  }
  void OnMouseDblClick(float, float, const IMouseKeys&) override { Add("dbl"); }
  void OnMouseWheel(float, float, const IMouseKeys&, float d) override { Add("wheel " + std::to_string(static_cast<int>(d))); }
  bool OnKeyDown(float, float, const IKeyPress& key) override
  {
    Add(std::string("key ") + key.utf8);
    return true;
  }
  void OnMouseOver(float x, float y, const IMouseKeys& mod) override
  {
    if (!mMouseIsOver)
      Add("over");
    IControl::OnMouseOver(x, y, mod);
  }
  void OnMouseOut() override
  {
    Add("out");
    IControl::OnMouseOut();
  }
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override
  {
    Add("menu " + std::to_string(menu ? menu->GetChosenItemIdx() : -1) + " " + std::to_string(valIdx));
  }
  void OnMsgFromDelegate(int msgTag, int dataSize, const void*) override
  {
    Add("msg " + std::to_string(msgTag) + " " + std::to_string(dataSize));
  }

private:
  void Add(const std::string& what) { mLog.push_back(what + " " + mName); }

  std::string mName;
  Log& mLog;
};

// Fills its rectangle with one colour.
class ColorControl : public IControl
{
public:
  ColorControl(const IBounds& b, IColor c) : IControl(b), color(c) {}
  void Draw(IGraphics& g) override { g.FillRect(color, mRECT); }
  IColor color;
};

} // namespace igraphics::test
