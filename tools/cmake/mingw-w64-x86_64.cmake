# Cross toolchain for the Windows x64 module: Debian's mingw-w64 with POSIX
# threads (std::thread and std::mutex need them). The runtime is linked
# statically so the DLL imports nothing beyond the system libraries a host
# already has (no libstdc++-6.dll, libgcc_s or libwinpthread-1.dll beside it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CALVORIN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CALVORIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CALVORIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CALVORIN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CALVORIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The static third-party libraries (cairo, FreeType, libsndfile, ...) built by
# tools/build-win64-deps.sh: -DCALVORIN_WIN64_DEPS=<the prefix it prints>.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CALVORIN_WIN64_DEPS)
if(CALVORIN_WIN64_DEPS)
  include("${CMAKE_CURRENT_LIST_DIR}/win64-deps.cmake")
endif()

# Cross-built programs (tests, tools) run under wine through this script.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../wine-run.sh)
