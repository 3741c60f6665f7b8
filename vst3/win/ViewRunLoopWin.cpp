#include "vst3/ViewRunLoop.h"

namespace iplug
{

// Windows editors pace themselves with their own window timer.
std::unique_ptr<ViewRunLoop> ViewRunLoop::FromFrame(vst3::IPlugFrame*)
{
  return nullptr;
}

} // namespace iplug
