#pragma once

namespace igraphics
{

// Buttons and modifier keys held during a mouse event.
struct IMouseKeys
{
  bool L = false;
  bool R = false;
  bool S = false; // shift
  bool C = false; // ctrl
  bool A = false; // alt
  int touchID = 0;
  float touchRadius = 0.f;
};

// A key event: the character (0 when none) and the platform-neutral key code
// (Windows virtual-key numbering).
struct IKeyPress
{
  char utf8[5] = {};
  int vk = 0;
  bool S = false;
  bool C = false;
  bool A = false;
};

} // namespace igraphics
