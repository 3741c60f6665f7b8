#pragma once

// Calvorin's own interface on its editor view (not part of VST 3): a picture
// of the editor written to a PNG file without opening any window, at the
// view's content scale, showing the current parameter values. Our host code
// asks the view for it through queryInterface; other hosts never do.

#include "vst3/abi/FUnknown.h"

namespace iplug
{

class IEditorSnapshot : public vst3::FUnknown
{
public:
  // kResultOk when written; kInvalidArgument for a null or empty path;
  // kResultFalse when the plug-in has no editor or the file cannot be written.
  virtual vst3::tresult VST3_CALL renderPng(const char* utf8Path) = 0; // slot 3

  VST3_DECLARE_IID(0x0E568EFC, 0x124945A9, 0x824F348E, 0x00E55327)
  VST3_INTERFACE_DESTRUCTOR(IEditorSnapshot)
};

} // namespace iplug
