#pragma once

// A loaded VST 3 module, the way hosts load one: open the library in the
// bundle, resolve the entry points, call the entry function, take the
// factory. Destruction releases the factory, calls the exit function and
// unloads. Linux: ModuleEntry (given the library handle), ModuleExit and
// GetPluginFactory, any missing refuses the module. Windows: GetPluginFactory
// is required; InitDll and ExitDll are called when the module has them.

#include "vst3/abi/PluginFactory.h"
#include "vst3/host/ComPtr.h"
#include "vst3/host/SharedLibrary.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vst3host
{

struct FactoryInfo
{
  std::string vendor;
  std::string url;
  std::string email;
  vst3::int32 flags = 0;
};

// One class as hosts read it: from getClassInfoUnicode if the factory offers
// IPluginFactory3, else getClassInfo2, else getClassInfo, the first that
// succeeds. An empty class vendor is replaced by the factory's vendor.
struct ClassInfo
{
  std::array<char, 16> cid{};
  std::string cidText; // the 32-character form hosts store
  vst3::int32 cardinality = 0;
  std::string category;
  std::string name;
  vst3::uint32 classFlags = 0;
  std::string subCategories;
  std::string vendor;
  std::string version;
  std::string sdkVersion;
  int infoLevel = 0; // 3, 2 or 1: which factory interface supplied the record
};

// The module's entry and exit functions as this platform names them. Plain
// function pointers: they stay callable while anything keeps the library loaded.
struct ModuleEntryPoints
{
  // Absent functions succeed, as hosts treat them.
  bool Enter(void* libraryHandle) const;
  bool Exit() const;

#if defined(_WIN32)
  vst3::InitDllProc initDll = nullptr;
  vst3::ExitDllProc exitDll = nullptr;
#else
  vst3::ModuleEntryProc moduleEntry = nullptr;
  vst3::ModuleExitProc moduleExit = nullptr;
#endif
};

class Module
{
public:
  // bundleOrLibrary: a .vst3 bundle folder or the library file itself.
  static std::unique_ptr<Module> Load(const std::string& bundleOrLibrary, std::string& error);
  ~Module();

  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  vst3::IPluginFactory* Factory() const { return mFactory.Get(); }
  ComPtr<vst3::IPluginFactory2> Factory2() const { return QueryInterface<vst3::IPluginFactory2>(mFactory); }
  ComPtr<vst3::IPluginFactory3> Factory3() const { return QueryInterface<vst3::IPluginFactory3>(mFactory); }

  FactoryInfo GetFactoryInfo() const;
  std::vector<ClassInfo> Classes() const;
  // The first class with this category (for example "Audio Module Class").
  bool FindClass(const std::string& category, ClassInfo& out) const;

  // createInstance for interface T; empty when the factory refuses.
  template <class T>
  ComPtr<T> CreateInstance(const char* cid16) const
  {
    void* obj = nullptr;
    if (!mFactory || mFactory->createInstance(cid16, T::iid, &obj) != vst3::kResultOk || !obj)
      return {};
    return ComPtr<T>::Adopt(static_cast<T*>(obj));
  }

  const std::string& LibraryPath() const { return mLibraryPath; }

  // The raw entry points, for tests of the module's own bookkeeping.
  const ModuleEntryPoints& EntryPoints() const { return mEntryPoints; }
  vst3::GetFactoryProc FactoryFunction() const { return mGetFactory; }
  void* NativeHandle() const { return mLibrary->NativeHandle(); }

private:
  Module() = default;

  std::string mLibraryPath;
  std::unique_ptr<SharedLibrary> mLibrary;
  ModuleEntryPoints mEntryPoints;
  vst3::GetFactoryProc mGetFactory = nullptr;
  bool mEntered = false;
  ComPtr<vst3::IPluginFactory> mFactory;
};

} // namespace vst3host
