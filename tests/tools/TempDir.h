#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace calvorin::test
{

// A fresh folder per test, removed afterwards. A folder that cannot be removed
// fails the test: the destructor reports it instead of throwing, which would
// end the whole test program.
class TempDir
{
public:
  TempDir()
  {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    mPath = std::filesystem::temp_directory_path() /
            ("calvorin-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" + std::to_string(getpid()));
    std::error_code ignored; // a leftover of an earlier run, if any
    std::filesystem::remove_all(mPath, ignored);
    std::filesystem::create_directories(mPath);
  }
  ~TempDir()
  {
    std::error_code ec;
    std::filesystem::remove_all(mPath, ec);
    if (ec)
      ADD_FAILURE() << "cannot remove " << mPath.string() << ": " << ec.message();
  }

  std::string operator/(const std::string& name) const { return (mPath / name).string(); }
  const std::filesystem::path& Path() const { return mPath; }
  size_t FileCount() const
  {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(mPath))
      ++n;
    return n;
  }

private:
  std::filesystem::path mPath;
};

} // namespace calvorin::test
