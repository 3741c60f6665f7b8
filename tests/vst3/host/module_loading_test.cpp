#include "vst3/host/Module.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace vst3host;

TEST(HostModuleLoading, FindsTheLibraryInsideABundle)
{
  const std::string lib = LibraryPathForBundle("/x/Calvorin.vst3");
  EXPECT_EQ(lib.rfind("/x/Calvorin.vst3/Contents/", 0), 0u) << lib;
  EXPECT_NE(lib.find("-linux/Calvorin.so"), std::string::npos) << lib;
  EXPECT_EQ(LibraryPathForBundle("/x/Calvorin.vst3/"), lib) << "a trailing slash changes nothing";
}

TEST(HostModuleLoading, RefusesWhatIsNotAModuleWithAClearError)
{
  std::string error;
  EXPECT_EQ(Module::Load("/nonexistent/Nothing.vst3", error), nullptr);
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;

  // A file that is no shared library at all.
  const std::filesystem::path junk = std::filesystem::temp_directory_path() / "vst3host-junk.so";
  {
    std::ofstream(junk) << "not an ELF file";
  }
  error.clear();
  EXPECT_EQ(Module::Load(junk.string(), error), nullptr);
  EXPECT_FALSE(error.empty());
  std::filesystem::remove(junk);
}

TEST(HostModuleLoading, RefusesALibraryWithoutTheEntryPoints)
{
  // The C library loads fine but has no ModuleEntry/ModuleExit/GetPluginFactory.
  for (const char* candidate : {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6",
                                "/lib64/libm.so.6", "/lib/aarch64-linux-gnu/libm.so.6"}) {
    if (!std::filesystem::exists(candidate))
      continue;
    std::string error;
    EXPECT_EQ(Module::Load(candidate, error), nullptr);
    EXPECT_NE(error.find("entry points"), std::string::npos) << error;
    return;
  }
  GTEST_SKIP() << "no libm found to load";
}
