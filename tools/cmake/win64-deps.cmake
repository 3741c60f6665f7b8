# The static Windows libraries made by tools/build-win64-deps.sh, for the cross
# build: configure with -DCALVORIN_WIN64_DEPS=<prefix the script printed>.
# The toolchain file includes this, so the project's plain
#   pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo cairo-ft freetype2)
#   pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
# find them there and nowhere else. Their .pc files already list everything a
# static link needs in Libs/Requires, and cairo's Cflags carry
# CAIRO_WIN32_STATIC_BUILD, so the imported targets link and compile as they are.
if(NOT EXISTS "${CALVORIN_WIN64_DEPS}/.complete")
  message(FATAL_ERROR "CALVORIN_WIN64_DEPS=${CALVORIN_WIN64_DEPS} is no finished prefix of "
                      "tools/build-win64-deps.sh; run that script and pass the prefix it prints")
endif()

# pkg-config sees only these libraries, never the Linux ones.
set(ENV{PKG_CONFIG_LIBDIR} "${CALVORIN_WIN64_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
unset(ENV{PKG_CONFIG_SYSROOT_DIR})

# The prefix is a root of its own, so find_library (which FindPkgConfig uses
# to turn -l flags into paths) accepts the libraries found there.
list(APPEND CMAKE_FIND_ROOT_PATH "${CALVORIN_WIN64_DEPS}")
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
