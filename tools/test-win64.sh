#!/usr/bin/env bash
# Builds the Windows x64 configuration (tools/build-win64.sh: the module, its
# export and import check, the host code and the tests) and runs its tests
# under wine through CTest, then ends the wine server.
#   tools/test-win64.sh [CTEST ARGS...]     e.g. -R ModuleFactory
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build-win64.sh"

# A private X server for the run: wine shows the tests' windows there.
xvfb_pid=
for n in $(seq 91 140); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
    export DISPLAY=":$n"
    break
  fi
  xvfb_pid=
done
[ -n "$xvfb_pid" ] || echo "test-win64: no Xvfb display; the window tests will skip"
# A desktop has a window manager: the host windows are managed by openbox, as
# users' are, and it grabs each press before the editor sees it.
wm_pid=
if [ -n "$xvfb_pid" ] && command -v openbox >/dev/null; then
  openbox --sm-disable >/dev/null 2>&1 &
  wm_pid=$!
  for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
  sleep 1 # it names itself before it manages new windows
fi
trap '"$root/tools/wine-run.sh" --end; [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
      [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true' EXIT
start=$(date +%s)
"$root/tools/wine-run.sh" --start # the prefix (once) and the server, before CTest lists the tests
cd "$root/build/win64"
status=0
ctest --output-on-failure -j "${CALVORIN_JOBS:-$(nproc)}" --timeout 600 --no-tests=error "$@" || status=$?
echo "test-win64: the Windows tests ran under wine in $(($(date +%s) - start)) s"

# The packaged zip, unpacked: its module opens its editor in our host window.
"$root/tools/package-win64.sh" >/dev/null
unpacked=$root/build/win64/package-check
rm -rf "$unpacked" && mkdir -p "$unpacked"
unzip -q "$root"/dist/Calvorin-*-win64.zip -d "$unpacked"
if CALVORIN_TEST_BUNDLE=$(echo "$unpacked"/Calvorin-*-win64/Calvorin.vst3) "$root/tools/wine-run.sh" \
    "$root/build/win64/tests/integration/module_view_window_win_tests.exe" \
    --gtest_filter='*TheWindowShowsTheSnapshotsPicture*' >"$unpacked/test.log" 2>&1 &&
   grep -q '^\[  PASSED  \] 1 test' "$unpacked/test.log"; then
  echo "test-win64: the packaged module opens its editor in the host window"
else
  echo "test-win64: the packaged module's editor test failed:" >&2
  tail -20 "$unpacked/test.log" >&2
  status=1
fi

# calvorin.exe under wine against the Linux calvorin (tools/build.sh release):
# the same samples within 1e-12 of the peak in 64-bit, the same editor picture.
linux_cli=$root/build/release/tools/calvorin/calvorin
win_cli=$root/build/win64/tools/calvorin/calvorin.exe
if [ -x "$linux_cli" ] && [ -f "$win_cli" ]; then
  out=$root/build/win64/compare
  rm -rf "$out" && mkdir -p "$out"
  compare=("python3" "$root/tools/compare-win64.py")
  "${compare[@]}" make-wav "$out/in.wav"
  for setting in "--preset 0" "--preset 1 --block 100" "--preset 2 --set Mix=50 --set Depth=100"; do
    # shellcheck disable=SC2086 # the settings are words
    "$linux_cli" render "$out/in.wav" "$out/linux.wav" $setting --precision 64 \
      --bundle "$root/build/release/Calvorin.vst3" >/dev/null
    # shellcheck disable=SC2086
    "$root/tools/wine-run.sh" "$win_cli" render "$out/in.wav" "$out/win.wav" $setting --precision 64 \
      --bundle "$root/build/win64/Calvorin.vst3" >/dev/null
    echo -n "test-win64: $setting: "
    "${compare[@]}" wav "$out/linux.wav" "$out/win.wav" || status=1
  done
  "$linux_cli" snapshot "$out/linux.png" --preset 2 --bundle "$root/build/release/Calvorin.vst3" >/dev/null
  "$root/tools/wine-run.sh" "$win_cli" snapshot "$out/win.png" --preset 2 \
    --bundle "$root/build/win64/Calvorin.vst3" >/dev/null
  echo -n "test-win64: "
  "${compare[@]}" png "$out/linux.png" "$out/win.png" || status=1
else
  echo "test-win64: no Linux calvorin to compare calvorin.exe with (tools/build.sh release builds it)"
fi
exit $status
