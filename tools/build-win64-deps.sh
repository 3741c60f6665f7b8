#!/usr/bin/env bash
# Builds the third-party libraries of the Windows x64 build as static libraries
# for x86_64-w64-mingw32, from Debian's source packages of the same upstream
# versions the Linux build uses: libpng, pixman, FreeType, cairo (image
# surfaces, FreeType fonts, PNG) and libsndfile (built-in formats only). zlib is
# Debian's libz-mingw-w64-dev, copied into the prefix.
#
# The result is an install prefix under build/win64-deps/, keyed by the pinned
# versions, the compiler and this script, and finished by a stamp file; a later
# run with the same key only prints the prefix. The prefix is always the last
# line on stdout. CMake consumes it with -DCALVORIN_WIN64_DEPS=<prefix> (see
# tools/cmake/win64-deps.cmake).
#
#   tools/build-win64-deps.sh                 build if needed, print the prefix
#   tools/build-win64-deps.sh --print-prefix  print the prefix only (no build)
#   tools/build-win64-deps.sh --check         also run the smoke check on a cached prefix
#
# The pins, the checked fetching of Debian's upstream tarballs (no Debian
# patches) and cairo's option set are shared with the Linux cairo build, in
# tools/deps-sources.sh.
set -euo pipefail

started=$SECONDS
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
script="$root/tools/build-win64-deps.sh"
deps_tool=build-win64-deps
# shellcheck source=tools/deps-sources.sh
source "$root/tools/deps-sources.sh"

zlib_package=libz-mingw-w64-dev

triple=x86_64-w64-mingw32
cc=$triple-gcc-posix
cxx=$triple-g++-posix
sysroot=/usr/$triple
jobs=${CALVORIN_JOBS:-$(nproc)}

mode=build
case "${1:-}" in
  "") ;;
  --print-prefix) mode=print ;;
  --check) mode=check ;;
  -h|--help) sed -n '2,20p' "$script" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "usage: $0 [--print-prefix|--check]" >&2; exit 2 ;;
esac

check_zlib() {
  dpkg-query -W -f='${Status}' "$zlib_package" 2>/dev/null | grep -q 'install ok installed' ||
    die "$zlib_package is not installed (run tools/setup.sh)"
}

for tool in "$cc" "$cxx" cmake ninja meson make pkg-config apt-get sha256sum; do
  command -v "$tool" >/dev/null || die "$tool not found (run tools/setup.sh)"
done
check_linux_versions
check_zlib

zlib_version=$(upstream_of "$(dpkg-query -W -f='${Version}' "$zlib_package")")
key_input=$({
  printf '%s\n' "${pins[@]}" "zlib $zlib_version"
  "$cc" -dumpfullversion
  cat "$script" "$root/tools/deps-sources.sh"
})
key=$(
  for pin in "${pins[@]}"; do
    read -r src ver _ <<<"$pin"
    v=$(upstream_of "$ver"); printf '%s-%s_' "${src%1.6}" "${v%+dfsg}"
  done
  printf 'zlib-%s_%s' "${zlib_version%+dfsg}" "$(sha256sum <<<"$key_input" | cut -c1-12)"
)

base="$root/build/win64-deps"
prefix="$base/$key"
stamp="$prefix/.complete"
work="$base/work-$key"
logs="$base/logs-$key"

if [ "$mode" = print ]; then
  [ -f "$stamp" ] || die "no finished build for this key yet: run $0"
  echo "$prefix"; exit 0
fi

mkdir -p "$base"
exec 9>"$base/.lock"
flock 9   # one build at a time per build folder

# ------------------------------------------------------------------ build ---

ccache_launcher=()
if command -v ccache >/dev/null && [ "${CCACHE_DISABLE:-0}" != 1 ]; then
  ccache_launcher=(ccache)
fi

cflags="-O2"
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"   # only our own libraries
export PKG_CONFIG_PATH=""
unset PKG_CONFIG_SYSROOT_DIR

write_cross_files() {
  cat >"$work/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $cc)
set(CMAKE_CXX_COMPILER $cxx)
set(CMAKE_RC_COMPILER $triple-windres)
set(CMAKE_FIND_ROOT_PATH "$prefix" $sysroot)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
  local launcher=""
  [ ${#ccache_launcher[@]} -gt 0 ] && launcher="'ccache', "
  cat >"$work/meson-cross.ini" <<EOF
[binaries]
c = [${launcher}'$cc']
cpp = [${launcher}'$cxx']
ar = '$triple-ar'
strip = '$triple-strip'
windres = '$triple-windres'
pkgconfig = 'pkg-config'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
}

cmake_build() {  # <srcdir> <cmake options...>
  local src=$1; shift
  cmake -S "$src" -B "$src/_build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$cflags -DNDEBUG" \
    -DCMAKE_CXX_FLAGS_RELEASE="$cflags -DNDEBUG" \
    ${ccache_launcher:+-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache} \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF "$@"
  cmake --build "$src/_build" -j "$jobs"
  cmake --install "$src/_build"
}

build_libpng() {
  cmake_build "$1" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -Dld-version-script=OFF \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
}

build_pixman() {
  meson setup "$1/_build" "$1" --cross-file "$work/meson-cross.ini" \
    --prefix "$prefix" --libdir lib --default-library static \
    -Dbuildtype=plain -Dc_args="$cflags" \
    -Dtests=disabled -Dgtk=disabled -Dlibpng=disabled -Dopenmp=disabled
  ninja -C "$1/_build" -j "$jobs" install
}

build_freetype() {
  # zlib from the prefix: FreeType's bundled copy exports the same symbols
  cmake_build "$1" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
}

# cairo (options in tools/deps-sources.sh): its Windows mutexes need no win32
# backend. On Windows its file opening converts names to UTF-16 with a helper
# it only compiles for the win32 font or PDF backends, hence
# CAIRO_HAS_UTF8_TO_UTF16.
build_cairo() {
  local cc_cmd="${ccache_launcher[*]:+ccache }$cc"
  (cd "$1" && ./configure --host=$triple --prefix="$prefix" --libdir="$prefix/lib" \
     CC="$cc_cmd" CFLAGS="$cflags" CPPFLAGS="-DCAIRO_WIN32_STATIC_BUILD -DCAIRO_HAS_UTF8_TO_UTF16=1 -I$prefix/include" \
     LDFLAGS="-L$prefix/lib" PKG_CONFIG=pkg-config "${cairo_options[@]}" --enable-pthread=no)
  # only the library: no tests, boilerplate, utilities or documentation
  make -C "$1/src" -j "$jobs"
  make -C "$1/src" install
  [ -f "$prefix/include/cairo/cairo-version.h" ] || cp "$1/cairo-version.h" "$prefix/include/cairo/"
}

build_libsndfile() {
  cmake_build "$1" -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF \
    -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF -DENABLE_CPACK=OFF \
    -DENABLE_PACKAGE_CONFIG=OFF -DINSTALL_PKGCONFIG_MODULE=ON -DINSTALL_MANPAGES=OFF
}

# zlib: Debian's mingw build, copied so the prefix is complete by itself and
# nothing can pick the import library (libz.dll.a) next to it in the sysroot.
install_zlib() {
  mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
  cp "$sysroot/include/zlib.h" "$sysroot/include/zconf.h" "$prefix/include/"
  cp "$sysroot/lib/libz.a" "$prefix/lib/"
  cat >"$prefix/lib/pkgconfig/zlib.pc" <<EOF
prefix=\${pcfiledir}/../..
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: zlib
Description: zlib compression library ($zlib_package)
Version: $zlib_version
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
EOF
}

# The prefix holds static libraries only: the .pc files list everything in
# Libs/Requires (tools/deps-sources.sh), libpng's names zlib, and cairo's
# consumers see the static build.
fix_pkgconfig() {
  local pc
  [ -f "$prefix/lib/pkgconfig/libpng16.pc" ] &&
    ! grep -q '^Requires' "$prefix/lib/pkgconfig/libpng16.pc" &&
    for pc in "$prefix"/lib/pkgconfig/libpng*.pc; do
      [ -L "$pc" ] || echo 'Requires.private: zlib' >>"$pc"
    done
  fold_pkgconfig "$prefix"
  # cairo compiles itself with _FORTIFY_SOURCE, whose checks live in libssp
  # (static, part of the compiler's runtime)
  pc="$prefix/lib/pkgconfig/cairo.pc"
  if [ -f "$pc" ] && ! grep -q CAIRO_WIN32_STATIC_BUILD "$pc"; then
    sed -i -e 's|^Cflags:\(.*\)$|Cflags:\1 -DCAIRO_WIN32_STATIC_BUILD|' \
           -e 's|^Libs:\(.*\)$|Libs:\1 -lssp|' "$pc"
  fi
}

# ------------------------------------------------------------ smoke check ---

font=/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf
wine_loader=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# Links a small program statically against the prefix, checks that it imports
# only Windows system DLLs, and runs it under wine: cairo draws text with a
# FreeType face loaded from memory and writes a PNG, libsndfile writes a WAV.
smoke_check() {
  local dir="$base/smoke-$key" allowed dlls bad
  rm -rf "$dir" && mkdir -p "$dir"
  cat >"$dir/smoke.c" <<'EOF'
#include <cairo.h>
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <sndfile.h>
#include <stdio.h>
#include <stdlib.h>
#include <math.h>

int main(int argc, char **argv) {
    if (argc != 4) return 2;
    FILE *f = fopen(argv[1], "rb");
    if (!f) { fprintf(stderr, "cannot open %s\n", argv[1]); return 1; }
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fseek(f, 0, SEEK_SET);
    unsigned char *bytes = malloc((size_t)size);
    if (!bytes || fread(bytes, 1, (size_t)size, f) != (size_t)size) return 1;
    fclose(f);

    FT_Library ft;
    FT_Face face;
    if (FT_Init_FreeType(&ft) || FT_New_Memory_Face(ft, bytes, size, 0, &face)) return 1;
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 200, 60);
    cairo_t *cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_font_face_t *font = cairo_ft_font_face_create_for_ft_face(face, 0);
    cairo_set_font_face(cr, font);
    cairo_set_font_size(cr, 24);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, 10, 40);
    cairo_show_text(cr, "Calvorin");
    cairo_surface_flush(surface);
    int inked = 0;
    const unsigned char *data = cairo_image_surface_get_data(surface);
    for (int i = 0; i < cairo_image_surface_get_stride(surface) * 60; i += 4) inked += data[i] < 128;
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS || inked == 0) return 1;
    if (cairo_surface_write_to_png(surface, argv[2]) != CAIRO_STATUS_SUCCESS) return 1;
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    cairo_font_face_destroy(font);

    SF_INFO info = {0};
    info.samplerate = 48000;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    SNDFILE *wav = sf_open(argv[3], SFM_WRITE, &info);
    if (!wav) { fprintf(stderr, "%s\n", sf_strerror(NULL)); return 1; }
    double tone[480];
    for (int i = 0; i < 480; ++i) tone[i] = 0.5 * sin(2 * 3.14159265358979 * 1000 * i / 48000.0);
    if (sf_write_double(wav, tone, 480) != 480) return 1;
    sf_close(wav);
    printf("smoke: %d dark pixels, %s %s\n", inked, cairo_version_string(), sf_version_string());
    return 0;
}
EOF
  # shellcheck disable=SC2046
  "$cc" -O2 -o "$dir/smoke.exe" "$dir/smoke.c" \
    $(pkg-config --cflags cairo cairo-ft freetype2 sndfile) \
    -static $(pkg-config --libs cairo cairo-ft freetype2 sndfile) -lm \
    >"$dir/build.log" 2>&1 || { cat "$dir/build.log" >&2; die "smoke check: linking failed"; }
  dlls=$($triple-objdump -p "$dir/smoke.exe" | awk '/DLL Name:/ { print $3 }' | sort -u)
  allowed='^(KERNEL32|msvcrt|USER32|GDI32|ADVAPI32|SHELL32|ole32|OLEAUT32|WS2_32|api-ms-win-[a-z0-9-]+)\.dll$'
  bad=$(grep -viE "$allowed" <<<"$dlls" || true)
  [ -z "$bad" ] || die "smoke check: smoke.exe imports non-system DLLs: $bad"
  say "smoke check: imports $(tr '\n' ' ' <<<"$dlls")"
  [ -x "$wine_loader" ] || die "wine64 loader $wine_loader not found (run tools/setup.sh)"
  cp "$font" "$dir/font.ttf"
  local rc=0
  (cd "$dir" && WINEPREFIX="$base/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
     timeout 300 "$wine_loader" smoke.exe font.ttf smoke.png smoke.wav) >"$dir/run.log" 2>&1 || rc=$?
  WINEPREFIX="$base/wine-prefix" "$wineserver" -w || true
  [ "$rc" -eq 0 ] || { cat "$dir/run.log" >&2; die "smoke check: smoke.exe failed under wine (exit $rc)"; }
  [ -s "$dir/smoke.png" ] || die "smoke check: no PNG written"
  [ -s "$dir/smoke.wav" ] || die "smoke check: no WAV written"
  say "smoke check: $(grep '^smoke:' "$dir/run.log" | tr -d '\r')"
}

# ------------------------------------------------------------------- main ---

if [ -f "$stamp" ]; then
  [ "$mode" = check ] && smoke_check && say "done in $(elapsed)"
  echo "$prefix"
  exit 0
fi

say "building into $prefix (${jobs} jobs${ccache_launcher[*]:+, ccache})"
rm -rf "$prefix" "$work" "$logs"
mkdir -p "$work" "$logs" "$prefix"
write_cross_files
install_zlib

for pin in "${pins[@]}"; do
  read -r src ver _ <<<"$pin"
  lib=${src%1.6}
  : >"$logs/$lib.log"
  say "$lib $(upstream_of "$ver"): sources"
  tarball=$(fetch_orig "$src" "$ver")
  run_step "$lib" unpack unpack "$tarball" "$work/$lib"
  run_step "$lib" "configure, build, install" "build_$lib" "$work/$lib"
  fix_pkgconfig
done

say "checking the prefix"
find "$prefix" \( -name '*.dll' -o -name '*.dll.a' -o -name '*.la' \) -delete
rm -rf "$prefix/bin" "$prefix/share"
fix_pkgconfig
for pc in cairo cairo-ft cairo-png freetype2 sndfile libpng pixman-1 zlib; do
  pkg-config --exists "$pc" || die "pkg-config finds no $pc in $prefix/lib/pkgconfig"
done
pkg-config --cflags cairo | grep -q CAIRO_WIN32_STATIC_BUILD || die "cairo.pc lacks CAIRO_WIN32_STATIC_BUILD"

smoke_check
rm -rf "$work"
date -u +%FT%TZ >"$stamp"
# earlier keys (other versions or an older script) are not used any more
for old in "$base"/*; do
  case "$(basename "$old")" in
    wine-prefix|.lock|"$key"|logs-"$key"|smoke-"$key") ;;
    *) rm -rf "$old" ;;
  esac
done
say "done in $(elapsed)"
echo "$prefix"
