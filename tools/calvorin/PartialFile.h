#pragma once

// Files are written under a temporary name beside their destination and
// renamed into place once complete, so that a failure or an interrupt never
// leaves a partial file under the real name.

#include <unistd.h>

#include <filesystem>
#include <string>

namespace calvorin::cli
{

// ".<name>.<process id>.partial" in the destination's folder.
inline std::filesystem::path PartialPathFor(const std::filesystem::path& destination)
{
  // Appended piece by piece: GCC's -O3 -Wrestrict misreads chained operator+ on strings.
  std::filesystem::path name = ".";
  name += destination.filename();
  name += ".";
  name += std::to_string(getpid());
  name += ".partial";
  return destination.parent_path() / name;
}

} // namespace calvorin::cli
