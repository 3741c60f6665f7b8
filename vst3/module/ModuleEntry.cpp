// The module's exported entry points besides the factory. Hosts call them
// from one thread; the counter makes repeated entry/exit pairs harmless.

#include "vst3/abi/Types.h"
#include "vst3/module/ModuleHandle.h"

namespace
{
int gModuleCounter = 0;
void* gModuleHandle = nullptr;

bool EnterModule(void* handle)
{
  if (++gModuleCounter == 1)
    gModuleHandle = handle;
  return true;
}

bool ExitModule()
{
  if (--gModuleCounter == 0)
    gModuleHandle = nullptr;
  return gModuleCounter >= 0;
}
} // namespace

namespace calvorin
{
void* ModuleHandle() { return gModuleHandle; }
int ModuleEntryCount() { return gModuleCounter; }
} // namespace calvorin

extern "C" {

#if defined(_WIN32)
VST3_EXPORT bool InitDll() { return EnterModule(nullptr); }
VST3_EXPORT bool ExitDll() { return ExitModule(); }
#else
VST3_EXPORT bool ModuleEntry(void* sharedLibraryHandle) { return EnterModule(sharedLibraryHandle); }
VST3_EXPORT bool ModuleExit() { return ExitModule(); }
#endif
}
