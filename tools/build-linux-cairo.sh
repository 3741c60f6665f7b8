#!/usr/bin/env bash
# Builds cairo for the Linux builds as a static, position-independent library
# with only what the editor draws with: image surfaces, FreeType fonts (faces
# come from memory, so no fontconfig) and PNG; no X11 or other backends. It is
# the upstream tarball of the version Debian ships, with the option set of the
# Windows build (both in tools/deps-sources.sh), compiled against Debian's
# shared pixman, libpng, FreeType and zlib, none of which needs fontconfig.
# The module links it with its symbols hidden, so a host that has its own
# libcairo.so.2 loaded is not disturbed.
#
# The result is an install prefix under build/linux-cairo/, keyed by the
# versions, the compiler and these scripts, and finished by a stamp file; a
# later run with the same key only prints the prefix. The prefix is always the
# last line on stdout. tools/build.sh passes it to CMake as
# -DCALVORIN_CAIRO_PREFIX=<prefix>.
#
#   tools/build-linux-cairo.sh                 build if needed, print the prefix
#   tools/build-linux-cairo.sh --print-prefix  print the prefix only (no build)
set -euo pipefail

started=$SECONDS
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
script="$root/tools/build-linux-cairo.sh"
deps_tool=build-linux-cairo
# shellcheck source=tools/deps-sources.sh
source "$root/tools/deps-sources.sh"

cc=gcc
jobs=${CALVORIN_JOBS:-$(nproc)}
# the system libraries cairo is compiled against (their headers count)
system_devs=(libpixman-1-dev libpng-dev libfreetype-dev zlib1g-dev)

mode=build
case "${1:-}" in
  "") ;;
  --print-prefix) mode=print ;;
  -h|--help) sed -n '2,18p' "$script" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "usage: $0 [--print-prefix]" >&2; exit 2 ;;
esac

for tool in "$cc" make pkg-config apt-get sha256sum nm; do
  command -v "$tool" >/dev/null || die "$tool not found (run tools/setup.sh)"
done
# what cairo is compiled against; the cairo pin itself is checked against
# Debian's libcairo2-dev by the Windows build, which only the tests install
check_linux_versions libpng1.6 pixman freetype

cairo_version=$(pin_version cairo)
key_input=$({
  echo "cairo $cairo_version"
  dpkg-query -W -f='${Package} ${Version}\n' "${system_devs[@]}"
  "$cc" -dumpfullversion
  cat "$script" "$root/tools/deps-sources.sh"
})
key="cairo-$(upstream_of "$cairo_version")_$(sha256sum <<<"$key_input" | cut -c1-12)"

base="$root/build/linux-cairo"
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

if [ -f "$stamp" ]; then
  echo "$prefix"
  exit 0
fi

cc_cmd=$cc
command -v ccache >/dev/null && [ "${CCACHE_DISABLE:-0}" != 1 ] && cc_cmd="ccache $cc"
# Debian's own .pc files only
unset PKG_CONFIG_PATH PKG_CONFIG_LIBDIR PKG_CONFIG_SYSROOT_DIR

# Pthread mutexes: without a mutex implementation cairo refuses to build.
build_cairo() {
  (cd "$1" && ./configure --prefix="$prefix" --libdir="$prefix/lib" --with-pic \
     CC="$cc_cmd" CFLAGS="-O2 -fPIC" "${cairo_options[@]}" --enable-pthread=yes)
  # only the library: no tests, boilerplate, utilities or documentation
  make -C "$1/src" -j "$jobs"
  make -C "$1/src" install
  [ -f "$prefix/include/cairo/cairo-version.h" ] || cp "$1/cairo-version.h" "$prefix/include/cairo/"
}

say "building into $prefix ($jobs jobs, $cc_cmd)"
rm -rf "$prefix" "$work" "$logs"
mkdir -p "$work" "$logs" "$prefix"
: >"$logs/cairo.log"
say "cairo $(upstream_of "$cairo_version"): sources"
tarball=$(fetch_orig cairo "$cairo_version")
run_step cairo unpack unpack "$tarball" "$work/cairo"
run_step cairo "configure, build, install" build_cairo "$work/cairo"

say "checking the prefix"
find "$prefix" -name '*.la' -delete
rm -rf "$prefix/bin" "$prefix/share"
fold_pkgconfig "$prefix"
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
for pc in cairo cairo-ft cairo-png; do
  pkg-config --exists "$pc" || die "pkg-config finds no $pc in $prefix/lib/pkgconfig"
done
if pkg-config --print-requires cairo cairo-ft | grep -Eq 'fontconfig|^x|^gobject|^glib'; then
  die "cairo's .pc files still require $(pkg-config --print-requires cairo cairo-ft | tr '\n' ' ')"
fi
# nothing in the library may call fontconfig, Xlib or xcb
foreign=$(nm -u "$prefix/lib/libcairo.a" | awk '$2 ~ /^(Fc|X[A-Z]|xcb_)/ { print $2 }' | sort -u)
[ -z "$foreign" ] || die "libcairo.a still uses $(tr '\n' ' ' <<<"$foreign")"

rm -rf "$work"
date -u +%FT%TZ >"$stamp"
# earlier keys (other versions or an older script) are not used any more
for old in "$base"/*; do
  case "$(basename "$old")" in
    .lock|"$key"|logs-"$key") ;;
    *) rm -rf "$old" ;;
  esac
done
say "done in $(elapsed)"
echo "$prefix"
