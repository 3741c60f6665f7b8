#include "tests/tools/end_to_end/CalvorinProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace calvorin::test
{

namespace
{
std::string ReadText(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
} // namespace

CalvorinProcess::CalvorinProcess(const std::vector<std::string>& args, const std::string& logDir)
{
  static int runCount = 0;
  ++runCount;
  mOutPath = logDir + "/calvorin-" + std::to_string(runCount) + ".out";
  mErrPath = logDir + "/calvorin-" + std::to_string(runCount) + ".err";

  std::vector<std::string> argv{CALVORIN_EXECUTABLE};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargs;
  for (std::string& a : argv)
    cargs.push_back(a.data());
  cargs.push_back(nullptr);

  mPid = fork();
  if (mPid == 0)
  {
    const int out = open(mOutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(mErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0)
      _exit(126);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    close(out);
    close(err);
    execv(cargs[0], cargs.data());
    _exit(127);
  }
}

CalvorinProcess::~CalvorinProcess()
{
  if (mPid > 0)
  {
    kill(mPid, SIGKILL);
    waitpid(mPid, nullptr, 0);
  }
}

void CalvorinProcess::Signal(int signalNumber) const
{
  if (mPid > 0)
    kill(mPid, signalNumber);
}

ProcessResult CalvorinProcess::Wait()
{
  ProcessResult result;
  if (mPid <= 0)
    return result;
  int status = 0;
  if (waitpid(mPid, &status, 0) == mPid)
  {
    if (WIFEXITED(status))
      result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
      result.exitCode = 128 + WTERMSIG(status);
  }
  mPid = -1;
  result.out = ReadText(mOutPath);
  result.err = ReadText(mErrPath);
  return result;
}

ProcessResult RunCalvorin(const std::vector<std::string>& args, const std::string& logDir)
{
  CalvorinProcess process(args, logDir);
  return process.Wait();
}

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

} // namespace calvorin::test
