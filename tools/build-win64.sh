#!/usr/bin/env bash
# Cross-builds the Windows x64 module with mingw-w64 into build/win64 and checks
# what a Windows host needs from it: the file at the bundle path, the three
# exports InitDll, ExitDll and GetPluginFactory, and no MinGW runtime DLL
# among its imports (the runtime is linked statically).
#   tools/build-win64.sh            build and check
#   tools/build-win64.sh --check F  only check the DLL F
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
objdump=x86_64-w64-mingw32-objdump

check_module() {
  local dll=$1 table missing=0
  if ! table=$("$objdump" -p "$dll" 2>&1); then
    echo "build-win64: $objdump cannot read $dll: $table" >&2
    return 1
  fi
  grep -q '^Magic.*20b' <<<"$table" || grep -q 'pei-x86-64' <<<"$table" || {
    echo "build-win64: $dll is not a PE32+ x86-64 image" >&2; return 1; }
  # Export names appear as "[ n] Name" lines in the name pointer table.
  for sym in InitDll ExitDll GetPluginFactory; do
    if grep -Eq "^[[:space:]]*\[[[:space:]]*[0-9]+\][[:space:]]+$sym\$" <<<"$table"; then
      echo "build-win64: export $sym present"
    else
      echo "build-win64: export $sym MISSING" >&2; missing=1
    fi
  done
  local imports
  imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$table" | sort -u | tr '\n' ' ')
  echo "build-win64: imports: $imports"
  if grep -Eiq 'libstdc\+\+|libgcc_s|libwinpthread' <<<"$imports"; then
    echo "build-win64: the module imports a MinGW runtime DLL; it must be linked statically" >&2
    missing=1
  fi
  return $missing
}

if [ "${1:-}" = "--check" ]; then
  check_module "$2"
  exit $?
fi

for tool in x86_64-w64-mingw32-g++-posix "$objdump"; do
  command -v "$tool" >/dev/null || { echo "build-win64: $tool not found (tools/setup.sh installs mingw-w64)" >&2; exit 2; }
done

build=$root/build/win64
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCALVORIN_WARNINGS_AS_ERRORS=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/tools/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "${CALVORIN_JOBS:-$(nproc)}"

dll=$build/Calvorin.vst3/Contents/x86_64-win/Calvorin.vst3
if ! grep -q 'x86_64-win/Calvorin\.vst3' "$build/build.ninja"; then
  echo "build-win64: SKIP export check: this tree does not build the module yet"
  exit 0
fi
if [ ! -f "$dll" ]; then
  echo "build-win64: the build produced no $dll" >&2
  exit 1
fi
check_module "$dll"
echo "build-win64: $dll OK"
