#pragma once

// What calvorin needs from the operating system, with every text and path in
// UTF-8. One implementation per platform, in linux/ and win/.

#include <atomic>
#include <string>
#include <vector>

// libsndfile's handle types, as sndfile.h declares them.
struct SF_INFO;
typedef struct sf_private_tag SNDFILE;

namespace calvorin::cli
{

// The command line's arguments after the program's name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the console show UTF-8 output as text, for as long as the process runs.
void UseUtf8Console();

// From now on, an interrupt (Ctrl+C; also SIGTERM, or Ctrl+Break and closing
// the console on Windows) sets the flag instead of ending the process.
void SetOnInterrupt(std::atomic<bool>& cancelled);

// The folders where hosts look for VST 3 bundles, this user's first.
std::vector<std::string> Vst3InstallFolders();

// sf_open for a UTF-8 path.
SNDFILE* OpenSoundFile(const std::string& path, int mode, SF_INFO* info);

} // namespace calvorin::cli
