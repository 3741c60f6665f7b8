#!/usr/bin/env bash
# The README's picture of the editor, docs/editor.png: what `calvorin snapshot`
# draws for a new instance (the parameters' defaults) at scale 1.
#
#   tools/make-docs-picture.sh                          builds calvorin and the bundle
#                                                       (release) and draws the picture anew
#   tools/make-docs-picture.sh --check CALVORIN BUNDLE  draws it with that calvorin and bundle
#                                                       into a temporary folder and fails unless
#                                                       its pixels are the committed picture's
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
picture=$root/docs/editor.png

usage() { sed -n '5,9p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
draw() {  # <calvorin> <bundle> <out.png>
  "$1" snapshot "$3" --bundle "$2" >/dev/null
}

if [ "${1:-}" = --check ]; then
  [ $# -eq 3 ] || usage
  refresh="run tools/make-docs-picture.sh and commit docs/editor.png"
  [ -f "$picture" ] || { echo "make-docs-picture: docs/editor.png is missing: $refresh" >&2; exit 1; }
  fresh=$(mktemp -d)
  trap 'rm -rf "$fresh"' EXIT
  draw "$2" "$3" "$fresh/editor.png"
  if ! python3 "$root/tools/compare-win64.py" png "$picture" "$fresh/editor.png"; then
    echo "make-docs-picture: docs/editor.png is no longer what the editor draws: $refresh" >&2
    exit 1
  fi
  exit 0
fi
[ $# -eq 0 ] || usage
"$root/tools/build.sh" release calvorin calvorin_module
mkdir -p "$root/docs"
draw "$root/build/release/tools/calvorin/calvorin" "$root/build/release/Calvorin.vst3" "$picture"
echo "make-docs-picture: drew $picture"
