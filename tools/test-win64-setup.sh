#!/usr/bin/env bash
# The Windows installer under wine, in a wine prefix of its own
# (build/win64/wineprefix-setup), from the Windows build in build/win64:
#   1. an older version (the same files, a lower version number) installed
#      silently, then this version over it: one entry in the installed
#      programs with this version and maker, the bundle in the system VST 3
#      folder, calvorin.exe, its read-me and the Start-menu shortcuts;
#   2. calvorin.exe info, run from the program folder, finds and lists the
#      installed plug-in; the module tests (factory, processing, conformance)
#      pass on the installed module through our own host code;
#   3. the silent uninstaller leaves the VST 3 folder as it was (a dummy
#      plug-in placed there beforehand survives) and removes the rest;
#   4. /CurrentUser with /D=: the user's VST 3 folder and the given program
#      folder, and the uninstaller again leaves everything as it was (the
#      folders the installer made, C:\Tools among them, go too).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/win64
start=$(date +%s)
version=$(head -n 1 "$root/VERSION")
old_version=0.9.0
work=$build/setup-check
rm -rf "$work" && mkdir -p "$work"

setup=$("$root/tools/package-win64-setup.sh" | sed -n 's/^package-win64-setup: //p')
old_setup=$work/Calvorin-$old_version-win64-setup.exe
"$root/tools/package-win64-setup.sh" --version "$old_version" --out "$old_setup" >/dev/null

export CALVORIN_WINEPREFIX=$build/wineprefix-setup
# A run that stopped half-way leaves an installed Calvorin: start afresh then.
dirty=$CALVORIN_WINEPREFIX.in-use
[ -e "$dirty" ] && rm -rf "$CALVORIN_WINEPREFIX" "$CALVORIN_WINEPREFIX.lock"
touch "$dirty"
wine=("$root/tools/wine-run.sh")
trap '"${wine[@]}" --end' EXIT
"${wine[@]}" --start

drive_c=$CALVORIN_WINEPREFIX/drive_c
vst3_dir="$drive_c/Program Files/Common Files/VST3"
prog_dir="$drive_c/Program Files/Calvorin"
menu_dir="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Calvorin"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvorin'
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvorin'
status=0
pass() { echo "test-win64-setup: $*"; }
fail() { echo "test-win64-setup: FAILED: $*" >&2; status=1; }
listing() { (cd "$1" 2>/dev/null && find . | LC_ALL=C sort) || echo "(no folder $1)"; }
reg_value() { "${wine[@]}" reg.exe query "$1" /v "$2" 2>/dev/null | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  /, ""); print }'; }
# The uninstaller copies itself away and returns at once; its copy removes
# the program folder last.
wait_gone() { for _ in $(seq 120); do [ -e "$1" ] || return 0; sleep 0.5; done; return 1; }

# A user's other plug-in, which every uninstall must leave alone.
mkdir -p "$vst3_dir/Dummy.vst3/Contents/x86_64-win"
echo dummy > "$vst3_dir/Dummy.vst3/Contents/x86_64-win/Dummy.vst3"
before=$(listing "$vst3_dir")

# 1. The older version, then this one over it.
"${wine[@]}" "$old_setup" /S || fail "the $old_version installer exited with $?"
[ "$(reg_value "$key" DisplayVersion)" = "$old_version" ] || fail "no $old_version entry after installing it"
"${wine[@]}" "$setup" /S || fail "the $version installer exited with $?"
entry="$(reg_value "$key" DisplayName) $(reg_value "$key" DisplayVersion) by $(reg_value "$key" Publisher)"
if [ "$entry" = "Calvorin $version by Fenmarch" ] && [ -z "$(reg_value "$user_key" DisplayName)" ]; then
  pass "installed over $old_version: one entry in the installed programs: $entry"
else
  fail "the installed programs' entry after the upgrade: '$entry'"
fi
expected_files=(
  "$vst3_dir/Calvorin.vst3/Contents/x86_64-win/Calvorin.vst3"
  "$vst3_dir/Calvorin.vst3/Contents/Resources/moduleinfo.json"
  "$prog_dir/calvorin.exe" "$prog_dir/README.txt" "$prog_dir/uninstall.exe"
  "$menu_dir/Calvorin Read Me.lnk" "$menu_dir/Uninstall Calvorin.lnk"
)
missing=()
for f in "${expected_files[@]}"; do [ -f "$f" ] || missing+=("$f"); done
if [ ${#missing[@]} -eq 0 ] && cmp -s "$vst3_dir/Calvorin.vst3/Contents/x86_64-win/Calvorin.vst3" \
                                      "$build/Calvorin.vst3/Contents/x86_64-win/Calvorin.vst3"; then
  pass "the bundle is in %CommonProgramFiles%\\VST3, calvorin.exe and the shortcuts in their places"
else
  fail "missing or different after the install: ${missing[*]:-the installed module differs from the built one}"
fi

# 2. The installed tool and module.
"${wine[@]}" 'C:\Program Files\Calvorin\calvorin.exe' info >"$work/info.txt" 2>&1 || true
if [ "$(head -n 1 "$work/info.txt")" = "Calvorin $version by Fenmarch" ]; then
  pass "calvorin.exe info from the program folder lists the installed plug-in: $(head -n 1 "$work/info.txt")"
else
  fail "calvorin.exe info from the program folder: $(head -n 5 "$work/info.txt")"
fi
if CALVORIN_TEST_BUNDLE='C:\Program Files\Common Files\VST3\Calvorin.vst3' "${wine[@]}" \
     "$build/tests/integration/module_integration_tests.exe" \
     --gtest_filter='ModuleFactory*:*Processing*:*Conformance*' --gtest_brief=1 >"$work/module.log" 2>&1; then
  pass "the installed module: $(grep -E '^\[  PASSED  \]' "$work/module.log")"
else
  fail "the installed module's tests:"; tail -30 "$work/module.log" >&2
fi

# 3. Silent uninstall.
"${wine[@]}" 'C:\Program Files\Calvorin\uninstall.exe' /S || fail "the uninstaller exited with $?"
wait_gone "$prog_dir" || fail "the program folder is still there: $(listing "$prog_dir" | tr '\n' ' ')"
if [ "$(listing "$vst3_dir")" = "$before" ] && [ ! -e "$menu_dir" ] && [ -z "$(reg_value "$key" DisplayName)" ]; then
  pass "the silent uninstall left the VST 3 folder as it was (Dummy.vst3 kept) and removed the rest"
else
  fail "after the uninstall: VST 3 folder $(listing "$vst3_dir" | tr '\n' ' '); Start menu $(listing "$menu_dir" | tr '\n' ' ')"
fi

# 4. For the current user alone, into a given folder.
user_programs=$(find "$drive_c/users" -maxdepth 4 -type d -path '*/AppData/Local' | head -n 1)/Programs
user_vst3=$user_programs/Common/VST3
user_before=$(listing "$user_programs")
# (/D= is last and unquoted, as NSIS wants it: wine would quote a folder with a space.)
"${wine[@]}" "$setup" /S /CurrentUser /D='C:\Tools\Calvorin' || fail "the per-user install exited with $?"
if [ -f "$user_vst3/Calvorin.vst3/Contents/x86_64-win/Calvorin.vst3" ] && [ -f "$drive_c/Tools/Calvorin/calvorin.exe" ] &&
   [ "$(reg_value "$user_key" DisplayVersion)" = "$version" ] && [ -z "$(reg_value "$key" DisplayName)" ] &&
   [ "$(listing "$vst3_dir")" = "$before" ]; then
  pass "/CurrentUser /D=: the bundle in the user's VST 3 folder, calvorin.exe in the given folder, the user's entry"
else
  fail "/CurrentUser /D=: $(listing "$user_vst3" | tr '\n' ' '); $(listing "$drive_c/Tools" | tr '\n' ' ')"
fi
"${wine[@]}" 'C:\Tools\Calvorin\uninstall.exe' /S || fail "the per-user uninstaller exited with $?"
wait_gone "$drive_c/Tools" || fail "the given program folder is still there: $(listing "$drive_c/Tools" | tr '\n' ' ')"
if [ "$(listing "$user_programs")" = "$user_before" ] && [ -z "$(reg_value "$user_key" DisplayName)" ]; then
  pass "the per-user uninstall left the user's folders as they were (the folders it made removed)"
else
  fail "after the per-user uninstall: $(listing "$user_programs" | tr '\n' ' ')"
fi

rm -rf "$vst3_dir/Dummy.vst3"
[ $status -eq 0 ] && rm -f "$dirty"
echo "test-win64-setup: the installer was built and checked under wine in $(($(date +%s) - start)) s"
exit $status
