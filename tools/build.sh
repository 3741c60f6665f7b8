#!/usr/bin/env bash
# Configures and builds one configuration into build/<config>; with target
# names after the configuration, only those targets. --without-tests
# configures without the tests and benchmarks, so GoogleTest and Google
# Benchmark need not be installed (tools/run-main.sh).
#   tools/build.sh [config] [--without-tests] [target ...]
#   release  Release (-O3) with debug info (default)
#   asan     address + undefined-behaviour sanitizers
#   tsan     thread sanitizer
#   fuzz     clang + libFuzzer with address + undefined sanitizers: only the
#            fuzz targets and what they link (run them with tools/fuzz.sh)
set -euo pipefail
config=${1:-release}
shift || true
tests=ON
if [ "${1:-}" = --without-tests ]; then
  tests=OFF
  shift
fi
root=$(cd "$(dirname "$0")/.." && pwd)
case "$config" in
  release) args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE='-O3 -DNDEBUG -g'
                 -DCMAKE_CXX_FLAGS_RELEASE='-O3 -DNDEBUG -g') ;;
  asan)    args=(-DCMAKE_BUILD_TYPE=Debug -DCALVORIN_SANITIZE=address) ;;
  tsan)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVORIN_SANITIZE=thread) ;;
  fuzz)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVORIN_SANITIZE=fuzzer
                 -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "build.sh: unknown configuration '$config' (release, asan, tsan, fuzz)" >&2; exit 2 ;;
esac
# Warnings are errors in every configuration built here.
args+=(-DCALVORIN_WARNINGS_AS_ERRORS=ON -DCALVORIN_TESTS=$tests)
# Everything draws with the static cairo without fontconfig or X11 (built once,
# then cached under build/linux-cairo/).
cairo_prefix=$("$root/tools/build-linux-cairo.sh" | tail -n 1)
args+=(-DCALVORIN_CAIRO_PREFIX="$cairo_prefix")
targets=()
for target in "$@"; do targets+=(--target "$target"); done
[ "$config" = fuzz ] && [ ${#targets[@]} -eq 0 ] && targets=(--target calvorin_fuzzers)
# ccache, when installed, makes rebuilds of unchanged files (other worktrees,
# a clean checkout) cheap; paths are hashed relative to the checkout.
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$root/build/$config" -G Ninja "${args[@]}" >/dev/null
cmake --build "$root/build/$config" -j "${CALVORIN_JOBS:-$(nproc)}" "${targets[@]}"
