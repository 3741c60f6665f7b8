#pragma once

// The module's class factory and its information records. These records use
// the compiler's default layout on every platform (no packing pragmas).

#include "vst3/abi/FUnknown.h"

#include <cstddef>

namespace vst3
{

struct PFactoryInfo
{
  enum FactoryFlags : int32
  {
    kNoFlags = 0,
    kClassesDiscardable = 1 << 0,
    kLicenseCheck = 1 << 1,
    kComponentNonDiscardable = 1 << 3,
    kUnicode = 1 << 4
  };
  enum
  {
    kURLSize = 256,
    kEmailSize = 128,
    kNameSize = 64
  };

  char8 vendor[kNameSize];
  char8 url[kURLSize];
  char8 email[kEmailSize];
  int32 flags;
};

struct PClassInfo
{
  enum ClassCardinality : int32
  {
    kManyInstances = 0x7FFFFFFF
  };
  enum
  {
    kCategorySize = 32,
    kNameSize = 64
  };

  TUID cid;
  int32 cardinality;
  char8 category[kCategorySize];
  char8 name[kNameSize];
};

struct PClassInfo2
{
  enum
  {
    kVendorSize = 64,
    kVersionSize = 64,
    kSubCategoriesSize = 128
  };

  TUID cid;
  int32 cardinality;
  char8 category[PClassInfo::kCategorySize];
  char8 name[PClassInfo::kNameSize];
  uint32 classFlags;
  char8 subCategories[kSubCategoriesSize];
  char8 vendor[kVendorSize];
  char8 version[kVersionSize];
  char8 sdkVersion[kVersionSize];
};

// Category and sub-categories stay 8-bit; the other strings are UTF-16.
struct PClassInfoW
{
  TUID cid;
  int32 cardinality;
  char8 category[PClassInfo::kCategorySize];
  char16 name[PClassInfo::kNameSize];
  uint32 classFlags;
  char8 subCategories[PClassInfo2::kSubCategoriesSize];
  char16 vendor[PClassInfo2::kVendorSize];
  char16 version[PClassInfo2::kVersionSize];
  char16 sdkVersion[PClassInfo2::kVersionSize];
};

// Component class flags (PClassInfo2::classFlags).
enum ComponentFlags : uint32
{
  kDistributable = 1 << 0,
  kSimpleModeSupported = 1 << 1
};

constexpr const char* kVstAudioEffectClass = "Audio Module Class";
constexpr const char* kVstComponentControllerClass = "Component Controller Class";

class IPluginFactory : public FUnknown
{
public:
  virtual tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;             // slot 3
  virtual int32 VST3_CALL countClasses() = 0;                                   // slot 4
  virtual tresult VST3_CALL getClassInfo(int32 index, PClassInfo* info) = 0;    // slot 5
  // cid and iid point at 16 binary bytes, not at text.
  virtual tresult VST3_CALL createInstance(FIDString cid, FIDString iid, void** obj) = 0; // slot 6

  VST3_DECLARE_IID(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F)
  VST3_INTERFACE_DESTRUCTOR(IPluginFactory)
};

class IPluginFactory2 : public IPluginFactory
{
public:
  virtual tresult VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) = 0; // slot 7

  VST3_DECLARE_IID(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB)
  VST3_INTERFACE_DESTRUCTOR(IPluginFactory2)
};

class IPluginFactory3 : public IPluginFactory2
{
public:
  virtual tresult VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0; // slot 8
  virtual tresult VST3_CALL setHostContext(FUnknown* context) = 0;                  // slot 9

  VST3_DECLARE_IID(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931)
  VST3_INTERFACE_DESTRUCTOR(IPluginFactory3)
};

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4);
static_assert(offsetof(PFactoryInfo, flags) == 448);
static_assert(sizeof(PClassInfo) == 116 && alignof(PClassInfo) == 4);
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(offsetof(PClassInfo2, classFlags) == 116 && offsetof(PClassInfo2, subCategories) == 120);
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, sdkVersion) == 568);
static_assert(offsetof(PClassInfoW, name) == 52 && offsetof(PClassInfoW, classFlags) == 180);
static_assert(offsetof(PClassInfoW, subCategories) == 184 && offsetof(PClassInfoW, vendor) == 312);

// Exported entry points of a module (looked up by name).
extern "C" {
using GetFactoryProc = IPluginFactory* (VST3_CALL*)();
using ModuleEntryProc = bool (*)(void* sharedLibraryHandle); // Linux
using ModuleExitProc = bool (*)();                           // Linux
using InitDllProc = bool (*)();                              // Windows
using ExitDllProc = bool (*)();                              // Windows
}

} // namespace vst3
