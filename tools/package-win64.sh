#!/usr/bin/env bash
# Writes dist/Calvorin-<version>-win64.zip from the Windows build in build/win64
# (tools/build-win64.sh makes it): the bundle Calvorin.vst3 with its module and
# moduleinfo.json, calvorin.exe, and a short install text.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win64
bundle=$build/Calvorin.vst3
exe=$build/tools/calvorin/calvorin.exe
for f in "$bundle/Contents/x86_64-win/Calvorin.vst3" "$bundle/Contents/Resources/moduleinfo.json" "$exe"; do
  [ -f "$f" ] || { echo "package-win64: $f is missing: run tools/build-win64.sh" >&2; exit 1; }
done
command -v zip >/dev/null || { echo "package-win64: zip not found (tools/setup.sh installs it)" >&2; exit 2; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "package-win64: no project version in $build/CMakeCache.txt" >&2; exit 1; }

name=Calvorin-$version-win64
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/$name"
cp -r "$bundle" "$stage/$name/"
cp "$exe" "$stage/$name/"
# Windows line ends: the text is read on Windows.
sed 's/$/\r/' > "$stage/$name/INSTALL.txt" <<TEXT
Calvorin $version for Windows x64

Install the plug-in: copy the folder Calvorin.vst3 into
    C:\\Program Files\\Common Files\\VST3
(all users; or %LOCALAPPDATA%\\Programs\\Common\\VST3 for you alone), then let
your host rescan its VST 3 plug-ins.

calvorin.exe renders audio files through the plug-in from the command line:
    calvorin.exe info --bundle Calvorin.vst3
    calvorin.exe render IN.wav OUT.wav --preset NAME --bundle Calvorin.vst3
TEXT

mkdir -p "$root/dist"
zipfile=$root/dist/$name.zip
rm -f "$zipfile"
(cd "$stage" && zip -qrX "$zipfile" "$name")
echo "package-win64: $zipfile"
unzip -l "$zipfile" | sed 's/^/package-win64:   /'
