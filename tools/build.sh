#!/usr/bin/env bash
# Configures and builds one configuration into build/<config>.
#   release  optimised with debug info (default)
#   asan     address + undefined-behaviour sanitizers
#   tsan     thread sanitizer
set -euo pipefail
config=${1:-release}
root=$(cd "$(dirname "$0")/.." && pwd)
case "$config" in
  release) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  asan)    args=(-DCMAKE_BUILD_TYPE=Debug -DCALVORIN_SANITIZE=address) ;;
  tsan)    args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALVORIN_SANITIZE=thread) ;;
  *) echo "build.sh: unknown configuration '$config' (release, asan, tsan)" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$root/build/$config" -G Ninja "${args[@]}" >/dev/null
cmake --build "$root/build/$config" -j "${CALVORIN_JOBS:-$(nproc)}"
