#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the normal configuration, the
# address + undefined-behaviour sanitizer configuration, the concurrency
# stress under the thread sanitizer, and the Windows build's tests under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
for config in release asan; do
  echo "== $config: build"
  "$root/tools/build.sh" "$config"
  echo "== $config: test"
  (cd "$root/build/$config" && ctest --output-on-failure -j "${CALVORIN_JOBS:-$(nproc)}" --timeout 600)
done
# Thread sanitizer: only the concurrency tests, which is all it is for.
echo "== tsan: concurrency stress"
"$root/tools/build.sh" tsan robust_concurrency_tests
(cd "$root/build/tsan" && ctest --output-on-failure -R '^ConcurrencyStress' --no-tests=error --timeout 600)
echo "== win64: cross-build for Windows, check the module's exports and imports, run the tests under wine"
"$root/tools/test-win64.sh"
