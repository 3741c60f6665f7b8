#!/usr/bin/env bash
# Installs the Debian packages the project needs. Idempotent: packages that are
# already installed are skipped, and the package lists are refreshed only when
# something has to be installed.
#
#   tools/setup.sh          everything: building, running and testing (tools/run-tests.sh, CI)
#   tools/setup.sh --main   only what building and running the plug-in and calvorin need (tools/run-main.sh)
#   tools/setup.sh --list [--main]   prints the package names, one a line, and installs nothing
#
# Two lists: a package goes into main_packages when the bundle or calvorin
# cannot be built or run without it (for example a library the module links),
# and into test_packages when only the tests, the other platforms' builds,
# packaging or fuzzing need it.
set -euo pipefail

main_packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config ccache
  # tools/build-linux-cairo.sh builds cairo from Debian's source (dpkg-dev
  # fetches it) against these; the editor's font, embedded at build time
  libfreetype-dev libpixman-1-dev libpng-dev zlib1g-dev dpkg-dev fonts-roboto-unhinted
  # the editor's X11 window
  libx11-dev libxfixes-dev
  # audio files for the command-line tool
  libsndfile1-dev
  # the LV2 build's interface headers
  lv2-dev
)

test_packages=(
  # test frameworks and benchmarks; clang and its runtime for the fuzz build
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  # Debian's cairo: a packager's plain build draws with it, and the pinned
  # versions of the third-party builds are checked against it
  libcairo2-dev
  # the window tests: a private X server and synthetic input
  libxtst-dev xvfb xauth
  # a real VST 3 host for the integration tests, and the Windows cross build
  ardour mingw-w64
  # Debian's LV2 tools and hosts that test the LV2 bundle: lv2ls/lv2info,
  # sord_validate, lv2file, jalv on jackd (Ardour above loads it too)
  lilv-utils sordi lv2file jalv jackd2
  # a desktop around the editor in the window tests: a window manager, pointer
  # input and screenshots, and the pictures compared in Python
  openbox xdotool x11-utils imagemagick python3-pil python3-numpy
  # Windows: wine runs the cross-built tests; zlib for mingw, and what the
  # static third-party build needs to build Debian's sources
  wine64 libz-mingw-w64-dev meson
  # comparing the Windows build's output with Linux's, and its zip package
  python3 zip unzip
  # packaging: the Windows installer (NSIS) and the Debian package's checker
  # (dpkg-deb and dpkg-shlibdeps come with dpkg-dev, in the main list)
  nsis lintian
  # locale switching in tests
  locales
)

packages=("${main_packages[@]}")
with_tests=1
list_only=0
for arg in "$@"; do
  case "$arg" in
    --main) with_tests=0 ;;
    --list) list_only=1 ;;
    *) echo "usage: $0 [--main] [--list]" >&2; exit 2 ;;
  esac
done
[ "$with_tests" -eq 1 ] && packages+=("${test_packages[@]}")
if [ "$list_only" -eq 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

# Source entries for `apt-get source`: a copy of the machine's own Debian binary
# entries with the type changed, so no host name is ever written here.
src_list=/etc/apt/sources.list.d/calvorin-deb-src.sources
src_lines=/etc/apt/sources.list.d/calvorin-deb-src.list
added_sources=0
if [ ! -f "$src_list" ] && [ ! -f "$src_lines" ]; then
  # one-line entries (sources.list style): the same line as deb-src
  lines=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    sed -n 's/^[[:space:]]*deb\([[:space:]].*debian.*\)$/deb-src\1/p' || true)
  if [ -n "$lines" ]; then
    printf '%s\n' "$lines" | "${sudo_cmd[@]}" tee "$src_lines" >/dev/null
    added_sources=1
  fi
  entries=$(
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      # deb822 stanzas of type deb whose URIs are Debian's archives
      awk 'BEGIN { RS = ""; ORS = "\n\n" }
           /(^|\n)Types:[^\n]*deb/ && /(^|\n)URIs:[^\n]*debian/ {
             sub(/(^|\n)Types:[^\n]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f"
    done
  )
  if [ -n "$entries" ]; then
    printf '%s\n' "$entries" | "${sudo_cmd[@]}" tee "$src_list" >/dev/null
    added_sources=1
  fi
  if [ "$added_sources" -eq 1 ]; then
    echo "setup: added deb-src copies of the machine's Debian entries"
  else
    echo "setup: no Debian entries found to copy; the cairo and Windows third-party builds cannot fetch sources"
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ] || [ "$added_sources" -eq 1 ]; then
  "${sudo_cmd[@]}" apt-get update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

[ "$with_tests" -eq 1 ] || exit 0

# A decimal-comma locale for the locale-independence tests.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ -f /etc/locale.gen ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo_cmd[@]}" locale-gen >/dev/null || echo "setup: locale-gen failed; locale tests will be skipped"
  fi
fi
