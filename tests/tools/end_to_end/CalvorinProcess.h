#pragma once

// Runs the built calvorin executable as a user would, with its standard
// output and error captured in files. The start, the interrupt and the wait
// are the platform's own (CalvorinProcessPosix.cpp, CalvorinProcessWin.cpp).

#include <filesystem>
#include <string>
#include <vector>

namespace calvorin::test
{

struct ProcessResult
{
  int exitCode = -1; // 128 + signal number when killed by a signal
  std::string out;
  std::string err;
};

class CalvorinProcess
{
public:
  // logDir holds the captured output; it should not be a folder the test
  // inspects for stray files.
  CalvorinProcess(const std::vector<std::string>& args, const std::filesystem::path& logDir);
  ~CalvorinProcess();

  long Pid() const { return mPid; }
  // What Ctrl+C in its terminal or console does.
  void Interrupt() const;
  // Until calvorin has ended and its output is complete: no process holds
  // the captured output open any more.
  ProcessResult Wait();

private:
  // The captured output, once the process has ended.
  ProcessResult Collect(int exitCode) const;

  long mPid = -1;
  void* mHandle = nullptr; // the process handle on Windows
  std::filesystem::path mOutPath;
  std::filesystem::path mErrPath;
};

ProcessResult RunCalvorin(const std::vector<std::string>& args, const std::filesystem::path& logDir);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

} // namespace calvorin::test
