#include "tests/tools/end_to_end/CalvorinProcess.h"

#include <fstream>
#include <sstream>

namespace calvorin::test
{

namespace
{
// The captured text with Windows line ends as '\n', so checks read the same
// on every platform.
std::string ReadText(const std::filesystem::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream captured;
  captured << in.rdbuf();
  std::string text = captured.str();
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
    text.erase(at, 1);
  return text;
}
} // namespace

ProcessResult CalvorinProcess::Collect(int exitCode) const
{
  return ProcessResult{exitCode, ReadText(mOutPath), ReadText(mErrPath)};
}

ProcessResult RunCalvorin(const std::vector<std::string>& args, const std::filesystem::path& logDir)
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
