#pragma once

namespace igraphics
{

// Standard cursor shapes; each platform maps them onto its own.
enum class ECursor : int
{
  ARROW = 0,
  IBEAM,
  WAIT,
  CROSS,
  UPARROW,
  SIZENWSE, // 5: the diagonal resize cursor of the corner handle
  SIZENESW,
  SIZEWE,
  SIZENS,
  SIZEALL,
  INO,
  HAND,
  APPSTARTING,
  HELP
};

} // namespace igraphics
