#pragma once

// Loading a module's shared library and finding it inside a bundle. The
// platform's own loader lives in its own file (linux/).

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

// The library inside a bundle (<Name>.vst3/Contents/<arch>-linux/<Name>.so on
// Linux). A path that names a file is taken as the library itself.
std::string LibraryPathForBundle(const std::string& bundleOrLibrary);

} // namespace vst3host
