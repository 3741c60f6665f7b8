#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the normal configuration, then
# the address + undefined-behaviour sanitizer configuration.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
for config in release asan; do
  echo "== $config: build"
  "$root/tools/build.sh" "$config"
  echo "== $config: test"
  (cd "$root/build/$config" && ctest --output-on-failure -j "${CALVORIN_JOBS:-$(nproc)}" --timeout 600)
done
echo "== win64: cross-build the Windows module and check its exports"
"$root/tools/build-win64.sh"
