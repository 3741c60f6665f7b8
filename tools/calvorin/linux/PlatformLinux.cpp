#include "tools/calvorin/Platform.h"

#include <sndfile.h>

#include <csignal>
#include <cstdlib>

namespace calvorin::cli
{

namespace
{
std::atomic<std::atomic<bool>*> gCancelled{nullptr};

extern "C" void OnInterrupt(int)
{
  if (std::atomic<bool>* cancelled = gCancelled.load())
    cancelled->store(true);
}
} // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void UseUtf8Console()
{
  // Terminals take the bytes as they are.
}

void SetOnInterrupt(std::atomic<bool>& cancelled)
{
  gCancelled.store(&cancelled);
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
}

std::vector<std::string> Vst3InstallFolders()
{
  std::vector<std::string> folders;
  if (const char* home = std::getenv("HOME"); home && *home)
    folders.push_back(std::string(home) + "/.vst3");
  folders.push_back("/usr/local/lib/vst3");
  folders.push_back("/usr/lib/vst3");
  return folders;
}

SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info)
{
  return sf_open(path.c_str(), mode, info);
}

} // namespace calvorin::cli
