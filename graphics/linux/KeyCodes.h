#pragma once

namespace igraphics
{

// An X keysym as a Windows virtual-key code (the numbering controls see on
// every platform); 0 when there is none.
int VirtualKeyFromKeySym(unsigned long keysym);

} // namespace igraphics
