#pragma once

// Runs the built calvorin executable as a user would, with its standard
// output and error captured in files.

#include <sys/types.h>

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
  CalvorinProcess(const std::vector<std::string>& args, const std::string& logDir);
  ~CalvorinProcess();

  pid_t Pid() const { return mPid; }
  void Signal(int signalNumber) const;
  ProcessResult Wait();

private:
  pid_t mPid = -1;
  std::string mOutPath;
  std::string mErrPath;
};

ProcessResult RunCalvorin(const std::vector<std::string>& args, const std::string& logDir);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

} // namespace calvorin::test
