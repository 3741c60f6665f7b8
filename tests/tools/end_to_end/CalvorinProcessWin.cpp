#include "tests/tools/end_to_end/CalvorinProcess.h"

#include "core/Utf8Path.h"

#include <windows.h>

namespace calvorin::test
{

namespace
{
int gRunCount = 0;

std::wstring Wide(const std::string& utf8)
{
  return iplug::PathFromUtf8(utf8).wstring();
}

// One argument as CommandLineToArgvW and the C runtime read it back: quoted
// when it holds blanks or quotes, with backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& arg)
{
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
    return arg;
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg)
  {
    if (c == L'\\')
    {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    quoted += c;
    backslashes = 0;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L'"';
}

HANDLE CreateOutputFile(const std::filesystem::path& path)
{
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}
// Waits until no process holds the file open: an open that shares nothing
// succeeds only then. calvorin is not the only holder of its captured output:
// the host process of its new console (wine's conhost.exe, which calvorin
// starts as it starts) inherits calvorin's handles, the output files among
// them, and can still hold them for a while after calvorin has ended. False
// when they are still held after the timeout.
bool WaitUntilReleased(const std::filesystem::path& path)
{
  constexpr ULONGLONG kTimeoutMs = 60000;
  const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
  for (;;)
  {
    HANDLE probe = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE)
    {
      CloseHandle(probe);
      return true;
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION || GetTickCount64() > deadline)
      return false;
    Sleep(5);
  }
}
} // namespace

CalvorinProcess::CalvorinProcess(const std::vector<std::string>& args, const std::filesystem::path& logDir)
{
  ++gRunCount;
  mOutPath = logDir / ("calvorin-" + std::to_string(gRunCount) + ".out");
  mErrPath = logDir / ("calvorin-" + std::to_string(gRunCount) + ".err");

  const std::wstring executable = Wide(CALVORIN_EXECUTABLE);
  std::wstring commandLine = Quoted(executable);
  for (const std::string& a : args)
    commandLine += L' ' + Quoted(Wide(a));

  HANDLE out = CreateOutputFile(mOutPath);
  HANDLE err = CreateOutputFile(mErrPath);
  if (out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE)
  {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    // A console of its own, as in a terminal window, where Ctrl+C reaches it alone.
    if (CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                       nullptr, nullptr, &startup, &process))
    {
      CloseHandle(process.hThread);
      mHandle = process.hProcess;
      mPid = static_cast<long>(process.dwProcessId);
    }
  }
  if (out != INVALID_HANDLE_VALUE)
    CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE)
    CloseHandle(err);
}

CalvorinProcess::~CalvorinProcess()
{
  if (mHandle)
  {
    TerminateProcess(mHandle, 1);
    WaitForSingleObject(mHandle, INFINITE);
    CloseHandle(mHandle);
    WaitUntilReleased(mOutPath);
    WaitUntilReleased(mErrPath);
  }
}

void CalvorinProcess::Interrupt() const
{
  // Ctrl+C goes to every process of the sender's console: join calvorin's for
  // the moment of sending, ignoring the event here.
  if (!mHandle)
    return;
  FreeConsole();
  if (AttachConsole(static_cast<DWORD>(mPid)))
  {
    SetConsoleCtrlHandler(nullptr, TRUE);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    FreeConsole();
    Sleep(100); // the event is delivered on a thread of its own
    SetConsoleCtrlHandler(nullptr, FALSE);
  }
}

ProcessResult CalvorinProcess::Wait()
{
  if (!mHandle)
    return {};
  int exitCode = -1;
  DWORD code = 0;
  if (WaitForSingleObject(mHandle, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(mHandle, &code))
    exitCode = static_cast<int>(code);
  if (!WaitUntilReleased(mOutPath) || !WaitUntilReleased(mErrPath))
    exitCode = -1; // the output may be incomplete: something calvorin started still holds it
  CloseHandle(mHandle);
  mHandle = nullptr;
  mPid = -1;
  return Collect(exitCode);
}

} // namespace calvorin::test
