// Replays fuzz inputs without libFuzzer: every file named on the command line,
// or found directly inside a directory named there, goes through the target once.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace
{

bool Replay(const std::filesystem::path& file)
{
  std::ifstream in(file, std::ios::binary);
  if (!in)
  {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
  }
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return true;
}

} // namespace

int main(int argc, char** argv)
{
  int replayed = 0;
  for (int i = 1; i < argc; ++i)
  {
    const std::filesystem::path path(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
    {
      for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file())
        {
          if (!Replay(entry.path()))
            return 1;
          ++replayed;
        }
    }
    else
    {
      if (!Replay(path))
        return 1;
      ++replayed;
    }
  }
  std::printf("replayed %d inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
