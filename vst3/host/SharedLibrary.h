#pragma once

// Loading a module's shared library and finding it inside a bundle. The
// platform's own loader lives in its own file (linux/, win/). Paths are UTF-8.

#include <memory>
#include <string>

namespace vst3host
{

class SharedLibrary
{
public:
  // Null with a message in error when the library cannot be loaded.
  static std::unique_ptr<SharedLibrary> Open(const std::string& path, std::string& error);
  ~SharedLibrary();

  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  void* Symbol(const char* name) const;
  // What the platform's loader returned (handed to the module's entry function).
  void* NativeHandle() const { return mHandle; }

private:
  explicit SharedLibrary(void* handle) : mHandle(handle) {}
  void* mHandle;
};

// The library inside a bundle: <Name>.vst3/Contents/<arch>-linux/<Name>.so on
// Linux, <Name>.vst3/Contents/x86_64-win/<Name>.vst3 on Windows, with '/' as
// separator. A path that names a file is taken as the library itself.
std::string LibraryPathForBundle(const std::string& bundleOrLibrary);

// This platform's part of that path: the architecture folder under Contents/
// and the library's file-name suffix.
std::string BundleArchitectureFolder();
std::string BundleLibrarySuffix();

} // namespace vst3host
