#include "tests/tools/end_to_end/CalvorinProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace calvorin::test
{

namespace
{
int gRunCount = 0;
}

CalvorinProcess::CalvorinProcess(const std::vector<std::string>& args, const std::filesystem::path& logDir)
{
  ++gRunCount;
  mOutPath = logDir / ("calvorin-" + std::to_string(gRunCount) + ".out");
  mErrPath = logDir / ("calvorin-" + std::to_string(gRunCount) + ".err");

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
    kill(static_cast<pid_t>(mPid), SIGKILL);
    waitpid(static_cast<pid_t>(mPid), nullptr, 0);
  }
}

void CalvorinProcess::Interrupt() const
{
  if (mPid > 0)
    kill(static_cast<pid_t>(mPid), SIGINT);
}

ProcessResult CalvorinProcess::Wait()
{
  if (mPid <= 0)
    return {};
  int status = 0;
  int exitCode = -1;
  if (waitpid(static_cast<pid_t>(mPid), &status, 0) == mPid)
  {
    if (WIFEXITED(status))
      exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
      exitCode = 128 + WTERMSIG(status);
  }
  mPid = -1;
  return Collect(exitCode);
}

} // namespace calvorin::test
