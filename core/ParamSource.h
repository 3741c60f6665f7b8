#pragma once

// Where a parameter change came from; passed with every parameter notification.

namespace iplug
{

enum class ParamSource : int
{
  Reset = 0,          // the announcement of all parameters at initialisation
  Host = 1,           // the host's edit-controller call or processing queue
  Preset = 2,         // state or preset recall
  UI = 3,             // an edit in the editor
  EditorDelegate = 4, // a value the framework has just sent to the editor
  Recompile = 5,
  Unknown = 6,
};

// "Reset", "Host", "Preset", "UI", "Editor Delegate", "Recompile", "Unknown".
const char* ParamSourceName(ParamSource source);

} // namespace iplug
