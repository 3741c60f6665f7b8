#include "vst3/host/Module.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace vst3host;

TEST(HostModuleLoading, FindsTheLibraryInsideABundle)
{
  const std::string lib = LibraryPathForBundle("/x/Calvorin.vst3");
#if defined(_WIN32)
  EXPECT_EQ(lib, "/x/Calvorin.vst3/Contents/x86_64-win/Calvorin.vst3");
  EXPECT_EQ(LibraryPathForBundle("C:\\x\\Calvorin.vst3\\"), "C:/x/Calvorin.vst3/Contents/x86_64-win/Calvorin.vst3");
#else
  EXPECT_EQ(lib.rfind("/x/Calvorin.vst3/Contents/", 0), 0u) << lib;
  EXPECT_NE(lib.find("-linux/Calvorin.so"), std::string::npos) << lib;
#endif
  EXPECT_EQ(LibraryPathForBundle("/x/Calvorin.vst3/"), lib) << "a trailing slash changes nothing";
  const std::string accented = LibraryPathForBundle("/x/Ca\xCC\x88lvorin.vst3");
  EXPECT_EQ(accented.substr(accented.rfind('/')), "/Ca\xCC\x88lvorin" + lib.substr(lib.rfind('.')))
    << "UTF-8 names pass through";
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
  // A system library loads fine but has no ModuleEntry/ModuleExit/GetPluginFactory.
  // (Wine sees the Linux files too, hence Windows's first.)
  for (const char* candidate : {"C:/windows/system32/kernel32.dll", "/lib/x86_64-linux-gnu/libm.so.6",
                                "/usr/lib/x86_64-linux-gnu/libm.so.6", "/lib64/libm.so.6",
                                "/lib/aarch64-linux-gnu/libm.so.6"}) {
    if (!std::filesystem::exists(candidate))
      continue;
    std::string error;
    EXPECT_EQ(Module::Load(candidate, error), nullptr);
    EXPECT_NE(error.find("entry points"), std::string::npos) << error;
    return;
  }
  GTEST_SKIP() << "no system library found to load";
}
