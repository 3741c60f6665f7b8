#!/usr/bin/env bash
# Installs the Debian package into the system as a user does, checks that a
# real host finds it there, and removes it again. It changes the machine, so
# tools/run-tests.sh runs it alone, as its last step:
#   1. apt-get install ./dist/calvorin_<version>-1_amd64.deb,
#   2. calvorin (from /usr/bin, with an empty home) finds and lists the
#      plug-in in /usr/lib/vst3,
#   3. Ardour 7 (headless, private home) scans /usr/lib/vst3/Calvorin.vst3 with
#      its own scanner, its plug-in manager lists it at that path, and a new
#      session inserts it,
#   4. apt-get remove takes the package away: no file of it is left.
# Refuses to start when calvorin is already installed: that is not its to remove.
#   tools/test-deb-install.sh [PACKAGE.deb]  (default: the one package in dist/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)
if [ $# -gt 0 ]; then
  deb=$1
else
  debs=("$root"/dist/calvorin_*_amd64.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] ||
    { echo "test-deb-install: expected one dist/calvorin_*_amd64.deb (tools/test-deb.sh makes it)" >&2; exit 1; }
  deb=${debs[0]}
fi
deb=$(readlink -f "$deb")
if dpkg-query -W -f='${Status}' calvorin 2>/dev/null | grep -q 'installed'; then
  echo "test-deb-install: calvorin is already installed on this machine; remove it first" >&2
  exit 1
fi
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
apt_get=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=600)

work=$(mktemp -d)
removed=0
cleanup() {
  [ "$removed" -eq 1 ] || "${apt_get[@]}" remove calvorin >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
status=0
version=$(head -n 1 "$root/VERSION")
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\./, "", $6); print $6 }')

"${apt_get[@]}" install --no-install-recommends "$deb" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; echo "test-deb-install: apt-get install failed" >&2; exit 1; }
echo "test-deb-install: installed $(dpkg-query -W -f='${Package} ${Version}' calvorin)"

mkdir -p "$work/home"
if HOME=$work/home calvorin info >"$work/info.txt" 2>&1 && head -n 1 "$work/info.txt" | grep -qx "Calvorin $version by Fenmarch"; then
  echo "test-deb-install: calvorin finds and lists the installed plug-in: $(head -n 1 "$work/info.txt")"
else
  echo "test-deb-install: calvorin does not list the installed plug-in:" >&2
  cat "$work/info.txt" >&2
  status=1
fi

# Ardour 7, headless, with a private home: its own scanner on the system
# folder's bundle, then its plug-in manager, which walks the VST 3 search path.
if command -v ardour7-lua >/dev/null && [ -x /usr/lib/ardour7/ardour-vst3-scanner ]; then
  export HOME=$work/home
  LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 120 /usr/lib/ardour7/ardour-vst3-scanner -f -q \
    /usr/lib/vst3/Calvorin.vst3 >"$work/scan.log" 2>&1 ||
    { cat "$work/scan.log" >&2; echo "test-deb-install: Ardour's scanner failed on /usr/lib/vst3/Calvorin.vst3" >&2; status=1; }
  ardour7-new_session -s 48000 "$work/session" scan >/dev/null 2>&1
  SESS_DIR=$work/session SESS_NAME=scan PLUGIN_NAME=Calvorin timeout 120 \
    ardour7-lua "$root/tools/ardour-find-plugin.lua" >"$work/ardour.log" 2>&1 || true
  if grep -q '^ardour: VST3 Calvorin by Fenmarch at /usr/lib/vst3/Calvorin.vst3/' "$work/ardour.log" &&
     grep -q '^ardour: inserted Calvorin' "$work/ardour.log"; then
    grep '^ardour: ' "$work/ardour.log" | sed 's/^/test-deb-install: /'
  else
    echo "test-deb-install: Ardour did not find and insert Calvorin from /usr/lib/vst3:" >&2
    grep -v '^lua/unknown' "$work/ardour.log" | tail -20 >&2
    status=1
  fi
else
  echo "test-deb-install: Ardour 7 is not installed (tools/setup.sh installs it)" >&2
  status=1
fi

"${apt_get[@]}" remove calvorin >"$work/remove.log" 2>&1 ||
  { cat "$work/remove.log" >&2; echo "test-deb-install: apt-get remove failed" >&2; exit 1; }
removed=1
left=()
while IFS= read -r f; do [ -e "$f" ] && left+=("$f"); done <<<"$files"
if [ ${#left[@]} -eq 0 ] && ! dpkg-query -W -f='${Status}' calvorin 2>/dev/null | grep -q 'installed'; then
  echo "test-deb-install: apt-get remove took the package and all its files away"
else
  echo "test-deb-install: after apt-get remove: ${left[*]:-(no files)} $(dpkg-query -W -f='${Status}' calvorin 2>&1)" >&2
  status=1
fi
echo "test-deb-install: installed, found by calvorin and Ardour, and removed in $(($(date +%s) - start)) s"
exit $status
