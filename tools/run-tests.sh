#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: the normal configuration, the
# address + undefined-behaviour sanitizer configuration, the concurrency
# stress under the thread sanitizer, the Windows build's tests and installer
# under wine, and the Debian package; last and alone, the package installed
# into the system, found by a host, and removed again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
for config in release asan; do
  echo "== $config: build"
  "$root/tools/build.sh" "$config"
  echo "== $config: test"
  (cd "$root/build/$config" && ctest --output-on-failure -j "${CALVORIN_JOBS:-$(nproc)}" --timeout 600)
  if [ "$config" = release ]; then
    echo "== release: the Debian package (lintian, its files, the unpacked bundle through our host code)"
    "$root/tools/test-deb.sh"
  fi
done
# Thread sanitizer: only the concurrency tests, which is all it is for.
echo "== tsan: concurrency stress"
"$root/tools/build.sh" tsan robust_concurrency_tests
(cd "$root/build/tsan" && ctest --output-on-failure -R '^ConcurrencyStress' --no-tests=error --timeout 600)
echo "== win64: cross-build for Windows, check the module's exports and imports, run the tests under wine"
"$root/tools/test-win64.sh"
echo "== win64: the installer under wine (upgrade, installed tool and module, uninstall)"
"$root/tools/test-win64-setup.sh"
# It changes the machine (and puts it back), so it runs alone, last.
echo "== deb: apt-get install, found in /usr/lib/vst3 by calvorin and Ardour, apt-get remove"
"$root/tools/test-deb-install.sh"
