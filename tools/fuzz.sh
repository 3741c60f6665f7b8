#!/usr/bin/env bash
# Builds the libFuzzer configuration (build/fuzz) and runs every fuzz target
# for a bounded time on its corpus, then prints each one's figures.
#   tools/fuzz.sh [seconds-per-target] [target ...]   (default 60 s, all targets)
# The working corpus grows in build/fuzz/corpus/<target>, seeded from the
# committed tests/fuzz/corpus/<target>; crash inputs land in build/fuzz/artifacts.
# Exit status is non-zero when any target crashed or broke an invariant.
set -euo pipefail
seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

"$root/tools/build.sh" fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/tests/fuzz/*_fuzzer; do
    [ -x "$exe" ] && targets+=("$(basename "$exe")")
  done
fi

mkdir -p "$build/artifacts" "$build/logs"
failed=0
summary=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  seeds="$root/tests/fuzz/corpus/$target"
  mkdir -p "$corpus"
  log="$build/logs/$target.log"
  echo "== fuzz $target for ${seconds}s"
  status=0
  # ASan's leak check stays on; a slow unit (> 20 s) counts as a hang.
  "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$corpus" "$seeds" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  corp=$(grep -o 'corp: [0-9]*/[0-9]*[a-zA-Z]*' "$log" | tail -1 | cut -d' ' -f2)
  summary+=("$(printf '%-28s execs %-10s cov %-6s ft %-7s corpus %-12s %s' "$target" "${execs:-?}" \
    "${cov:-?}" "${ft:-?}" "${corp:-?}" "$([ $status -eq 0 ] && echo ok || echo FAILED)")")
  if [ $status -ne 0 ]; then
    failed=1
    echo "fuzz: $target failed (exit $status); log $log" >&2
    grep -E 'ERROR|runtime error|invariant failed|SUMMARY|Test unit written' "$log" | head -20 >&2 || true
  fi
done

echo "== fuzz figures (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
exit $failed
