#!/usr/bin/env bash
# Fails when a source file includes a file of a higher layer. The layers are
# the README's layout table: its first column numbers them from the ground up,
# and a folder may include its own layer and those below.
#   tools/check-layers.sh [checkout]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# "| 2 | `graphics/` | ..." -> "graphics 2"
layers=$(awk -F'|' '/^\| *[0-9]+ *\| *`[a-z0-9_]+\/`/ {
  gsub(/[ `\/]/, "", $2); gsub(/[ `\/]/, "", $3); print $3, $2 }' README.md)
[ -n "$layers" ] || { echo "check-layers: no layer table in README.md" >&2; exit 2; }

bad=0
while read -r folder layer; do
  [ -d "$folder" ] || continue
  while IFS=: read -r file line target; do
    to=${target%%/*}
    toLayer=$(awk -v f="$to" '$1 == f { print $2 }' <<<"$layers")
    if [ -n "$toLayer" ] && [ "$toLayer" -gt "$layer" ]; then
      echo "$file:$line: $folder/ (layer $layer) includes $target (layer $toLayer)"
      bad=1
    fi
  done < <(grep -rnoE --include='*.h' --include='*.cpp' --include='*.in' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+"' "$folder" \
             | sed -E 's/^([^:]+):([0-9]+):.*"([^"]+)".*/\1:\2:\3/')
done <<<"$layers"
exit $bad
