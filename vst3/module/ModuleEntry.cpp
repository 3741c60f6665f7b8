// The module's exported entry points besides the factory. Hosts call them
// from one thread; the counter makes repeated entry/exit pairs harmless.

#include "vst3/abi/Types.h"

namespace
{
int gModuleCounter = 0;

bool EnterModule()
{
  ++gModuleCounter;
  return true;
}

bool ExitModule()
{
  return --gModuleCounter >= 0;
}
} // namespace

extern "C" {

#if defined(_WIN32)
VST3_EXPORT bool InitDll() { return EnterModule(); }
VST3_EXPORT bool ExitDll() { return ExitModule(); }
#else
VST3_EXPORT bool ModuleEntry(void*) { return EnterModule(); }
VST3_EXPORT bool ModuleExit() { return ExitModule(); }
#endif
}
