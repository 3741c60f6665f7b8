#include "vst3/host/SharedLibrary.h"

#include <dlfcn.h>
#include <sys/utsname.h>

namespace vst3host
{

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string& error)
{
  // Lazy binding and local symbols, as hosts load plug-ins: nothing the
  // module exports can capture symbols of the host or of other modules.
  // The image stays mapped after dlclose, as in hosts that never unload: the
  // libraries it pulls in (cairo, fontconfig, GLib) keep process-wide caches
  // that would otherwise be orphaned by the unmapping and reported as leaks.
  void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
  if (!handle) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why ? why : "unknown error");
    return nullptr;
  }
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary()
{
  if (mHandle)
    dlclose(mHandle);
}

void* SharedLibrary::Symbol(const char* name) const
{
  return dlsym(mHandle, name);
}

std::string BundleArchitectureFolder()
{
  struct utsname machine{};
  const std::string arch = uname(&machine) == 0 ? machine.machine : "x86_64";
  return arch + "-linux";
}

std::string BundleLibrarySuffix()
{
  return ".so";
}

} // namespace vst3host
