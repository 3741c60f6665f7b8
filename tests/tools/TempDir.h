#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace calvorin::test
{

// A fresh folder per test, removed afterwards.
class TempDir
{
public:
  TempDir()
  {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    mPath = std::filesystem::temp_directory_path() /
            ("calvorin-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(mPath);
    std::filesystem::create_directories(mPath);
  }
  ~TempDir() { std::filesystem::remove_all(mPath); }

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
