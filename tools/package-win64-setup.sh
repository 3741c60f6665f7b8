#!/usr/bin/env bash
# Writes dist/Calvorin-<version>-win64-setup.exe from the Windows build in
# build/win64 (tools/build-win64.sh makes it) with Debian's makensis and
# tools/nsis/Calvorin.nsi: the bundle, calvorin.exe and a read-me text.
#   tools/package-win64-setup.sh [--version V] [--out FILE]
# --version and --out make an installer of another version number from the
# same files (the tests' "older version"); by default the version is the
# checkout's VERSION and the installer goes to dist/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win64
version=$(head -n 1 "$root/VERSION")
out=
while [ $# -gt 0 ]; do
  case "$1" in
    --version) version=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "package-win64-setup: unknown argument '$1'" >&2; exit 2 ;;
  esac
done
[ -n "$out" ] || out=$root/dist/Calvorin-$version-win64-setup.exe
bundle=$build/Calvorin.vst3
exe=$build/tools/calvorin/calvorin.exe
for f in "$bundle/Contents/x86_64-win/Calvorin.vst3" "$bundle/Contents/Resources/moduleinfo.json" "$exe"; do
  [ -f "$f" ] || { echo "package-win64-setup: $f is missing: run tools/build-win64.sh" >&2; exit 1; }
done
command -v makensis >/dev/null || { echo "package-win64-setup: makensis not found (tools/setup.sh installs nsis)" >&2; exit 2; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp -r "$bundle" "$stage/"
cp "$exe" "$stage/"
# Windows line ends: the text is read on Windows.
sed 's/$/\r/' > "$stage/README.txt" <<TEXT
Calvorin $version for Windows x64, by Fenmarch

Calvorin is a three-band upward and downward compressor, a VST 3 plug-in.

The installer put the plug-in Calvorin.vst3 into the VST 3 folder hosts scan:
    C:\\Program Files\\Common Files\\VST3          (for all users)
    %LOCALAPPDATA%\\Programs\\Common\\VST3          (when installed only for you)
Let your host rescan its VST 3 plug-ins to find it.

calvorin.exe, in this folder, renders audio files through the plug-in from the
command line; it finds the installed plug-in by itself:
    calvorin.exe info
    calvorin.exe render IN.wav OUT.wav --preset NAME [--set NAME=VALUE]...
    calvorin.exe demo [OUTDIR]
    calvorin.exe snapshot OUT.png [--preset NAME]

Uninstall Calvorin from Settings > Apps (or Programs and Features), or with
"Uninstall Calvorin" in its Start-menu folder. It removes exactly the files it
installed; your other plug-ins stay.

Deployment: Calvorin-$version-win64-setup.exe /S installs silently (for all
users when run elevated; add /CurrentUser for the current user alone);
/D=FOLDER, last on the line, sets the program folder. Installing a newer
version over an installed one upgrades it in place.
TEXT

# The bundle's files and folders, for the installer (File) and the uninstaller
# (Delete, then each folder deepest first, only when empty).
{
  echo '!macro InstallBundle DIR'
  (cd "$stage" && find Calvorin.vst3 -type d | LC_ALL=C sort) | while IFS= read -r d; do
    files=$(cd "$stage" && find "$d" -maxdepth 1 -type f | LC_ALL=C sort)
    [ -n "$files" ] || continue
    echo "  SetOutPath \"\${DIR}\\${d//\//\\}\""
    while IFS= read -r f; do echo "  File \"$stage/$f\""; done <<<"$files"
  done
  echo '!macroend'
  echo '!macro UninstallBundle DIR'
  (cd "$stage" && find Calvorin.vst3 -type f | LC_ALL=C sort) | while IFS= read -r f; do
    echo "  Delete \"\${DIR}\\${f//\//\\}\""
  done
  (cd "$stage" && find Calvorin.vst3 -type d | awk -F/ '{ print NF "\t" $0 }' | LC_ALL=C sort -k1,1nr -k2 | cut -f2) |
    while IFS= read -r d; do echo "  RMDir \"\${DIR}\\${d//\//\\}\""; done
  echo '!macroend'
} > "$stage/bundle-files.nsh"

mkdir -p "$(dirname "$out")"
rm -f "$out"
makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out" \
  "$root/tools/nsis/Calvorin.nsi"
echo "package-win64-setup: $out"
