#!/usr/bin/env bash
# Cross-builds for Windows x64 with mingw-w64 into build/win64 (the module with
# its editor, calvorin.exe, the tests), against the static third-party
# libraries of tools/build-win64-deps.sh, and checks what a Windows host needs
# from the module: the file at the bundle path, the three exports InitDll,
# ExitDll and GetPluginFactory, and imports of Windows system DLLs only (the
# MinGW runtime and every library are linked statically), as for calvorin.exe.
#   tools/build-win64.sh            build and check
#   tools/build-win64.sh --check F  only check the DLL F
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
objdump=x86_64-w64-mingw32-objdump

system_dlls='(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|shlwapi|shcore|uxtheme|dwmapi|imm32|winmm|version|msimg32|usp10|ws2_32|bcrypt|crypt32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll'

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
  check_imports "$dll" "$table" || missing=1
  return $missing
}

# Every imported DLL must be one that Windows itself provides: the MinGW
# runtime and the third-party libraries are linked statically.
check_imports() {
  local file=$1 table=$2 imports dll foreign=0
  imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$table" | sort -fu)
  echo "build-win64: $(basename "$file") imports: $(tr '\n' ' ' <<<"$imports")"
  for dll in $imports; do
    if ! grep -Eiqx "$system_dlls" <<<"$dll"; then
      echo "build-win64: $(basename "$file") imports $dll, which is not a Windows system DLL" >&2
      foreign=1
    fi
  done
  return $foreign
}

if [ "${1:-}" = "--check" ]; then
  check_module "$2"
  exit $?
fi

for tool in x86_64-w64-mingw32-g++-posix "$objdump"; do
  command -v "$tool" >/dev/null || { echo "build-win64: $tool not found (tools/setup.sh installs mingw-w64)" >&2; exit 2; }
done

# The static third-party libraries (built once, then cached under build/).
deps=$("$root/tools/build-win64-deps.sh" | tail -n 1)

build=$root/build/win64
args=(-DCMAKE_BUILD_TYPE=Release -DCALVORIN_WARNINGS_AS_ERRORS=ON
      -DCMAKE_TOOLCHAIN_FILE="$root/tools/cmake/mingw-w64-x86_64.cmake" -DCALVORIN_WIN64_DEPS="$deps")
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja "${args[@]}" >/dev/null
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
exe=$build/tools/calvorin/calvorin.exe
[ -f "$exe" ] || { echo "build-win64: the build produced no $exe" >&2; exit 1; }
check_imports "$exe" "$("$objdump" -p "$exe")"
echo "build-win64: $exe OK"
