#pragma once

namespace igraphics
{

// Compositing operator of a drawing call. Types 0 to 7 are the Porter-Duff
// operators, 8 is additive, 9 exclusive-or.
enum class EBlend : int
{
  SrcOver = 0,
  SrcIn,
  SrcOut,
  SrcAtop,
  DstOver,
  DstIn,
  DstOut,
  DstAtop,
  Add,
  XOR,
  Default = SrcOver
};

struct IBlendMode
{
  int type = static_cast<int>(EBlend::Default);
  float weight = 1.f; // multiplies the alpha of everything drawn, 0..1

  IBlendMode() = default;
  IBlendMode(EBlend t, float w = 1.f) : type(static_cast<int>(t)), weight(w) {}
};

} // namespace igraphics
