#!/usr/bin/env bash
# Runs a cross-built Windows program under Debian's wine. The Windows build's
# toolchain names this script as CMake's cross-compiling emulator, so CTest
# runs every Windows test through it.
#   tools/wine-run.sh PROGRAM.exe [ARGS...]   run PROGRAM, its exit code passed on
#   tools/wine-run.sh --start                 create the prefix if needed and start the server
#   tools/wine-run.sh --end                   end the wine server (after a test run)
# The wine prefix is build/win64/wineprefix (CALVORIN_WINEPREFIX overrides);
# the first run creates it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
wine=/usr/lib/wine/wine64 # Debian's wine64 loader, not on PATH
server=/usr/lib/wine/wineserver
if [ ! -x "$wine" ] || [ ! -x "$server" ]; then
  echo "wine-run: $wine not found (tools/setup.sh installs wine64)" >&2
  exit 2
fi

export WINEPREFIX=${CALVORIN_WINEPREFIX:-$root/build/win64/wineprefix}
export WINEDEBUG=-all
# No Mono or Gecko installer on the first run, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"

if [ "${1:-}" = "--end" ]; then
  [ -d "$WINEPREFIX" ] && "$server" -k 2>/dev/null || true
  exit 0
fi

# Under a lock, so that parallel tests neither race to create the prefix nor
# to start the server. The server and wine's own services start detached from
# this program's output: they outlive it, and a test runner waits until every
# holder of a test's output has closed it.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  ready=$WINEPREFIX/.calvorin-ready
  if [ ! -f "$ready" ]; then
    echo "wine-run: creating the wine prefix $WINEPREFIX" >&2
    "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&-
    "$server" -w 9>&- # the registry is written when the server ends
    touch "$ready"
  fi
  # Stays up for a while after the last program, so a test run starts it once.
  # (The lock's descriptor is not theirs to keep.)
  if "$server" -p30 </dev/null >/dev/null 2>&1 9>&-; then
    "$wine" wineboot </dev/null >/dev/null 2>&1 9>&-
  fi
) 9>"$WINEPREFIX.lock"
[ "${1:-}" = "--start" ] && exit 0

# Windows programs end their text lines with CR LF; the test list CTest reads
# from a test program, and every log, wants LF.
"$wine" "$@" | tr -d '\r'
