#include "graphics/linux/KeyCodes.h"

#include <X11/keysym.h>

namespace igraphics
{

int VirtualKeyFromKeySym(unsigned long keysym)
{
  if (keysym >= XK_a && keysym <= XK_z)
    return static_cast<int>(keysym - XK_a) + 'A';
  if (keysym >= XK_A && keysym <= XK_Z)
    return static_cast<int>(keysym - XK_A) + 'A';
  if (keysym >= XK_0 && keysym <= XK_9)
    return static_cast<int>(keysym - XK_0) + '0';
  if (keysym >= XK_F1 && keysym <= XK_F12)
    return static_cast<int>(keysym - XK_F1) + 0x70;
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9)
    return static_cast<int>(keysym - XK_KP_0) + 0x60;
  switch (keysym)
  {
    case XK_BackSpace: return 0x08;
    case XK_Tab: return 0x09;
    case XK_Return: case XK_KP_Enter: return 0x0D;
    case XK_Shift_L: case XK_Shift_R: return 0x10;
    case XK_Control_L: case XK_Control_R: return 0x11;
    case XK_Alt_L: case XK_Alt_R: return 0x12;
    case XK_Escape: return 0x1B;
    case XK_space: return 0x20;
    case XK_Page_Up: return 0x21;
    case XK_Page_Down: return 0x22;
    case XK_End: return 0x23;
    case XK_Home: return 0x24;
    case XK_Left: return 0x25;
    case XK_Up: return 0x26;
    case XK_Right: return 0x27;
    case XK_Down: return 0x28;
    case XK_Insert: return 0x2D;
    case XK_Delete: return 0x2E;
    case XK_KP_Multiply: return 0x6A;
    case XK_KP_Add: return 0x6B;
    case XK_KP_Subtract: return 0x6D;
    case XK_KP_Decimal: return 0x6E;
    case XK_KP_Divide: return 0x6F;
    default: return 0;
  }
}

} // namespace igraphics
