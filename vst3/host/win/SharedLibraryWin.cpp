#include "vst3/host/SharedLibrary.h"

#include "vst3/host/Strings.h"

#include <windows.h>

#include <cstring>

namespace vst3host
{

namespace
{
// UTF-16 for the wide Windows calls (wchar_t is 16 bits there), with the
// separator Windows documents for loader paths.
std::wstring WidePath(const std::string& utf8)
{
  const std::u16string units = Utf8ToUtf16(utf8);
  std::wstring wide(units.begin(), units.end());
  for (wchar_t& c : wide)
    if (c == L'/')
      c = L'\\';
  return wide;
}

// The system's text for an error code, in UTF-8, with the code itself.
std::string SystemMessage(DWORD code)
{
  wchar_t* text = nullptr;
  const DWORD units =
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (units > 0 && text)
    message = Utf16ToUtf8(reinterpret_cast<const vst3::char16*>(text), units);
  if (text)
    LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                              message.back() == '.'))
    message.pop_back();
  if (message.empty())
    message = "unknown error";
  return message + " (error " + std::to_string(code) + ")";
}
} // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::Open(const std::string& path, std::string& error)
{
  // A library that cannot be loaded (or a missing dependency) fails the
  // call instead of showing the system's error box, as hosts arrange.
  DWORD previousMode = 0;
  const bool modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE handle = LoadLibraryW(WidePath(path).c_str());
  const DWORD code = GetLastError();
  if (modeSet)
    SetThreadErrorMode(previousMode, nullptr);
  if (!handle) {
    error = "cannot load " + path + ": " + SystemMessage(code);
    return nullptr;
  }
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary()
{
  if (mHandle)
    FreeLibrary(static_cast<HMODULE>(mHandle));
}

void* SharedLibrary::Symbol(const char* name) const
{
  const FARPROC proc = GetProcAddress(static_cast<HMODULE>(mHandle), name);
  void* symbol = nullptr;
  static_assert(sizeof(proc) == sizeof(symbol));
  std::memcpy(&symbol, &proc, sizeof(symbol));
  return symbol;
}

std::string BundleArchitectureFolder()
{
#if defined(__aarch64__) || defined(_M_ARM64)
  return "arm64-win";
#elif defined(__x86_64__) || defined(_M_X64)
  return "x86_64-win";
#else
  return "x86-win";
#endif
}

std::string BundleLibrarySuffix()
{
  return ".vst3";
}

} // namespace vst3host
