#include "core/ParamSource.h"

namespace iplug
{

const char* ParamSourceName(ParamSource source)
{
  switch (source)
  {
    case ParamSource::Reset: return "Reset";
    case ParamSource::Host: return "Host";
    case ParamSource::Preset: return "Preset";
    case ParamSource::UI: return "UI";
    case ParamSource::EditorDelegate: return "Editor Delegate";
    case ParamSource::Recompile: return "Recompile";
    case ParamSource::Unknown: break;
  }
  return "Unknown";
}

} // namespace iplug
