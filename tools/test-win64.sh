#!/usr/bin/env bash
# Builds the Windows x64 configuration (tools/build-win64.sh: the module, its
# export and import check, the host code and the tests) and runs its tests
# under wine through CTest, then ends the wine server.
#   tools/test-win64.sh [CTEST ARGS...]     e.g. -R ModuleFactory
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build-win64.sh"

trap '"$root/tools/wine-run.sh" --end' EXIT
start=$(date +%s)
"$root/tools/wine-run.sh" --start # the prefix (once) and the server, before CTest lists the tests
cd "$root/build/win64"
status=0
ctest --output-on-failure -j "${CALVORIN_JOBS:-$(nproc)}" --timeout 600 --no-tests=error "$@" || status=$?
echo "test-win64: the Windows tests ran under wine in $(($(date +%s) - start)) s"
exit $status
