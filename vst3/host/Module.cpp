#include "vst3/host/Module.h"

#include "core/Utf8Path.h"
#include "vst3/host/Strings.h"

#include <cstring>
#include <filesystem>

namespace vst3host
{

namespace
{
using iplug::PathFromUtf8;

#if defined(_WIN32)
constexpr const char* kRequiredEntryPoints = "GetPluginFactory";
constexpr const char* kEntryFunction = "InitDll";
#else
constexpr const char* kRequiredEntryPoints = "ModuleEntry, ModuleExit, GetPluginFactory";
constexpr const char* kEntryFunction = "ModuleEntry";
#endif
} // namespace

std::string LibraryPathForBundle(const std::string& bundleOrLibrary)
{
  std::filesystem::path bundle = PathFromUtf8(bundleOrLibrary);
  std::error_code ec;
  if (std::filesystem::is_regular_file(bundle, ec))
    return bundleOrLibrary;
  while (!bundle.has_filename() && bundle.has_relative_path())
    bundle = bundle.parent_path(); // trailing separators
  std::filesystem::path file = bundle.stem();
  file += BundleLibrarySuffix(); // ASCII, like the architecture folder
  return iplug::GenericUtf8FromPath(bundle / "Contents" / BundleArchitectureFolder() / file);
}

bool ModuleEntryPoints::Enter([[maybe_unused]] void* libraryHandle) const
{
#if defined(_WIN32)
  return !initDll || initDll();
#else
  return !moduleEntry || moduleEntry(libraryHandle);
#endif
}

bool ModuleEntryPoints::Exit() const
{
#if defined(_WIN32)
  return !exitDll || exitDll();
#else
  return !moduleExit || moduleExit();
#endif
}

std::unique_ptr<Module> Module::Load(const std::string& bundleOrLibrary, std::string& error)
{
  std::unique_ptr<Module> m(new Module());
  m->mLibraryPath = LibraryPathForBundle(bundleOrLibrary);
  m->mLibrary = SharedLibrary::Open(m->mLibraryPath, error);
  if (!m->mLibrary)
    return nullptr;

  // Function pointers from the loader's untyped symbols.
  auto resolve = [&](const char* name, auto& proc) {
    void* symbol = m->mLibrary->Symbol(name);
    static_assert(sizeof(symbol) == sizeof(proc));
    std::memcpy(&proc, &symbol, sizeof(proc));
    return symbol != nullptr;
  };
  ModuleEntryPoints& entry = m->mEntryPoints;
#if defined(_WIN32)
  resolve("InitDll", entry.initDll);
  resolve("ExitDll", entry.exitDll);
  const bool complete = true;
#else
  const bool complete = resolve("ModuleEntry", entry.moduleEntry) && resolve("ModuleExit", entry.moduleExit);
#endif
  if (!complete || !resolve("GetPluginFactory", m->mGetFactory)) {
    error = m->mLibraryPath + " lacks one of the entry points " + kRequiredEntryPoints;
    return nullptr;
  }
  if (!entry.Enter(m->mLibrary->NativeHandle())) {
    error = std::string(kEntryFunction) + " of " + m->mLibraryPath + " failed";
    return nullptr;
  }
  m->mEntered = true;
  m->mFactory = ComPtr<vst3::IPluginFactory>::Adopt(m->mGetFactory());
  if (!m->mFactory) {
    error = "GetPluginFactory of " + m->mLibraryPath + " returned no factory";
    return nullptr; // the destructor still balances the entry call
  }
  return m;
}

Module::~Module()
{
  mFactory.Reset();
  if (mEntered)
    mEntryPoints.Exit();
  mLibrary.reset();
}

FactoryInfo Module::GetFactoryInfo() const
{
  FactoryInfo out;
  vst3::PFactoryInfo info{};
  if (mFactory && mFactory->getFactoryInfo(&info) == vst3::kResultOk) {
    out.vendor = FixedString(info.vendor);
    out.url = FixedString(info.url);
    out.email = FixedString(info.email);
    out.flags = info.flags;
  }
  return out;
}

std::vector<ClassInfo> Module::Classes() const
{
  std::vector<ClassInfo> out;
  if (!mFactory)
    return out;
  const std::string factoryVendor = GetFactoryInfo().vendor;
  ComPtr<vst3::IPluginFactory2> f2 = Factory2();
  ComPtr<vst3::IPluginFactory3> f3 = Factory3();
  const vst3::int32 count = mFactory->countClasses();
  for (vst3::int32 i = 0; i < count; ++i) {
    ClassInfo c;
    vst3::PClassInfoW w{};
    vst3::PClassInfo2 v2{};
    vst3::PClassInfo v1{};
    if (f3 && f3->getClassInfoUnicode(i, &w) == vst3::kResultOk) {
      std::memcpy(c.cid.data(), w.cid, 16);
      c.cardinality = w.cardinality;
      c.category = FixedString(w.category);
      c.name = Utf16ToUtf8(w.name);
      c.classFlags = w.classFlags;
      c.subCategories = FixedString(w.subCategories);
      c.vendor = Utf16ToUtf8(w.vendor);
      c.version = Utf16ToUtf8(w.version);
      c.sdkVersion = Utf16ToUtf8(w.sdkVersion);
      c.infoLevel = 3;
    } else if (f2 && f2->getClassInfo2(i, &v2) == vst3::kResultOk) {
      std::memcpy(c.cid.data(), v2.cid, 16);
      c.cardinality = v2.cardinality;
      c.category = FixedString(v2.category);
      c.name = FixedString(v2.name);
      c.classFlags = v2.classFlags;
      c.subCategories = FixedString(v2.subCategories);
      c.vendor = FixedString(v2.vendor);
      c.version = FixedString(v2.version);
      c.sdkVersion = FixedString(v2.sdkVersion);
      c.infoLevel = 2;
    } else if (mFactory->getClassInfo(i, &v1) == vst3::kResultOk) {
      std::memcpy(c.cid.data(), v1.cid, 16);
      c.cardinality = v1.cardinality;
      c.category = FixedString(v1.category);
      c.name = FixedString(v1.name);
      c.infoLevel = 1;
    } else {
      continue;
    }
    c.cidText = UidToString(c.cid.data());
    if (c.vendor.empty())
      c.vendor = factoryVendor;
    out.push_back(std::move(c));
  }
  return out;
}

bool Module::FindClass(const std::string& category, ClassInfo& out) const
{
  for (ClassInfo& c : Classes()) {
    if (c.category == category) {
      out = std::move(c);
      return true;
    }
  }
  return false;
}

} // namespace vst3host
