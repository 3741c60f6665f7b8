#include "tools/calvorin/Platform.h"

#include "core/Utf8Path.h"

#include <windows.h>

#include <shellapi.h>

// sf_wchar_open is declared only with windows.h included and this set.
#define ENABLE_SNDFILE_WINDOWS_PROTOTYPES 1
#include <sndfile.h>

#include <cstdlib>

namespace calvorin::cli
{

namespace
{
std::atomic<std::atomic<bool>*> gCancelled{nullptr};
UINT gConsoleOutputPage = 0;

// Runs on a thread of its own that the system starts for the event.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
  switch (event)
  {
  case CTRL_C_EVENT:
  case CTRL_BREAK_EVENT:
  case CTRL_CLOSE_EVENT:
    if (std::atomic<bool>* cancelled = gCancelled.load())
    {
      cancelled->store(true);
      return TRUE;
    }
    return FALSE;
  default:
    return FALSE;
  }
}

std::string Utf8FromWide(const wchar_t* text)
{
  return iplug::Utf8FromPath(std::filesystem::path(text));
}

// The folder a known-folder environment variable names, or "".
std::string EnvironmentFolder(const wchar_t* name)
{
  const wchar_t* value = _wgetenv(name);
  return value && *value ? Utf8FromWide(value) : std::string();
}
} // namespace

std::vector<std::string> CommandLineArguments(int, char**)
{
  // The C runtime's argv is in the ANSI code page: names outside it arrive as
  // '?'. The wide command line holds them all.
  std::vector<std::string> args;
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count))
  {
    for (int i = 1; i < count; ++i)
      args.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
  }
  return args;
}

void UseUtf8Console()
{
  gConsoleOutputPage = GetConsoleOutputCP();
  if (gConsoleOutputPage == 0 || gConsoleOutputPage == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8))
    return;
  // The code page belongs to the console, which outlives this process.
  std::atexit([] { SetConsoleOutputCP(gConsoleOutputPage); });
}

void SetOnInterrupt(std::atomic<bool>& cancelled)
{
  gCancelled.store(&cancelled);
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

std::vector<std::string> Vst3InstallFolders()
{
  std::vector<std::string> folders;
  if (const std::string local = EnvironmentFolder(L"LOCALAPPDATA"); !local.empty())
    folders.push_back(local + "\\Programs\\Common\\VST3");
  if (const std::string common = EnvironmentFolder(L"CommonProgramFiles"); !common.empty())
    folders.push_back(common + "\\VST3");
  return folders;
}

SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info)
{
  return sf_wchar_open(iplug::PathFromUtf8(path).c_str(), mode, info);
}

} // namespace calvorin::cli
