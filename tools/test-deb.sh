#!/usr/bin/env bash
# Builds the Debian package from the release build (tools/package-deb.sh) and
# checks it without touching the machine:
#   - lintian reports no error (warnings and notes are printed),
#   - unpacked with dpkg -x it holds exactly the expected files,
#   - the unpacked bundle loads and processes through our own host code (the
#     module tests, pointed at it), and the unpacked calvorin lists it.
# The install into the system is tools/test-deb-install.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/release
start=$(date +%s)
deb=$("$root/tools/package-deb.sh" "$build" | sed -n 's/^package-deb: //p')
status=0

# lintian: errors fail the test; warnings and notes are printed.
scratch=$build/deb-check
rm -rf "$scratch" "$scratch.lintian" && mkdir -p "$scratch"
lintian_status=0
lintian --fail-on error --display-info "$deb" >"$scratch.lintian" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$scratch.lintian" | sed 's/^/test-deb: lintian: /' || true
if [ "$lintian_status" -eq 0 ]; then
  echo "test-deb: lintian reports no error"
else
  echo "test-deb: lintian reports errors (exit $lintian_status)" >&2
  status=1
fi

dpkg -x "$deb" "$scratch"
expected=(
  usr/bin/calvorin
  usr/lib/vst3/Calvorin.vst3/Contents/Resources/moduleinfo.json
  usr/lib/vst3/Calvorin.vst3/Contents/x86_64-linux/Calvorin.so
  usr/share/doc/calvorin/changelog.Debian.gz
  usr/share/doc/calvorin/copyright
  usr/share/man/man1/calvorin.1.gz
)
# The LV2 bundle, file for file as the build made it, when there is one.
lv2=$(sed -n 's/^CALVORIN_LV2_BUNDLE_DIR:INTERNAL=//p' "$build/CMakeCache.txt")
if [ -n "$lv2" ] && [ -d "$lv2" ]; then
  while IFS= read -r f; do expected+=("usr/lib/lv2/Calvorin.lv2/$f"); done \
    < <(cd "$lv2" && find . -type f -printf '%P\n')
fi
if diff -u <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) \
            <(cd "$scratch" && find . ! -type d -printf '%P\n' | LC_ALL=C sort) >"$scratch.diff"; then
  echo "test-deb: the package holds exactly the ${#expected[@]} expected files"
else
  echo "test-deb: the package's files differ from the expected list (- expected, + found):" >&2
  cat "$scratch.diff" >&2
  status=1
fi

# The unpacked module through our own host code: the factory, processing and
# the conformance checks a host relies on.
bundle=$scratch/usr/lib/vst3/Calvorin.vst3
if CALVORIN_TEST_BUNDLE=$bundle "$build/tests/integration/module_integration_tests" \
     --gtest_filter='ModuleFactory*:*Processing*:*Conformance*' --gtest_brief=1 >"$scratch.log" 2>&1; then
  echo "test-deb: the unpacked bundle: $(grep -E '^\[  PASSED  \]' "$scratch.log")"
else
  echo "test-deb: the unpacked bundle failed the module tests:" >&2
  tail -30 "$scratch.log" >&2
  status=1
fi
version=$(head -n 1 "$root/VERSION")
if "$scratch/usr/bin/calvorin" info --bundle "$bundle" | head -n 1 | grep -qx "Calvorin $version by Fenmarch"; then
  echo "test-deb: the unpacked calvorin lists Calvorin $version"
else
  echo "test-deb: the unpacked calvorin does not list Calvorin $version from the unpacked bundle" >&2
  status=1
fi
echo "test-deb: the Debian package was built and checked in $(($(date +%s) - start)) s"
exit $status
