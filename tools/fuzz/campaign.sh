#!/usr/bin/env bash
# Runs every fuzz target (tests/fuzz) for a while and prints, per target,
# the executions, the coverage (edges and features libFuzzer counts) and
# the crashes, leaks and time-outs found. Builds the clang tree first.
#
#   tools/fuzz/campaign.sh [seconds per target, 600] [targets at once, 1] [target ...]
#
# Each target starts from its seeds in tests/fuzz/corpus/<target> and keeps
# what it finds in build-fuzz/corpus/<target>; failing inputs land in
# build-fuzz/findings/. Exit status 1 when anything failed.
set -uo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-600}
jobs=${2:-1}
shift $(( $# > 2 ? 2 : $# ))
all=(keys mouse text status primitives layouts load edit ime sentence command clipboard)
targets=("${@:-${all[@]}}")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")
out=${BIHUA_FUZZ_BUILD:-build-fuzz}

cmake -S . -B "$out" -DBIHUA_FUZZ=ON >/dev/null || exit 1
cmake --build "$out" -j2 >/dev/null || { echo "fuzz build failed" >&2; exit 1; }
mkdir -p "$out/findings" "$out/logs"

runone() {
  local t=$1 corpus="$out/corpus/$1"
  mkdir -p "$corpus"
  "$out/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$out/findings/$t-" "$corpus" "tests/fuzz/corpus/$t" \
    >"$out/logs/$t.log" 2>&1
  echo $? >"$out/logs/$t.status"
}

running=0
for t in "${targets[@]}"; do
  runone "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n; running=$((running - 1)); fi
done
wait

failed=0
printf '%-11s %12s %8s %9s %8s %s\n' target executions edges features crashes "(seconds $seconds)"
for t in "${targets[@]}"; do
  log="$out/logs/$t.log"
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  last=$(grep -E '^#[0-9]+' "$log" | grep -o 'cov: [0-9]*.*ft: [0-9]*' | tail -1)
  cov=$(echo "$last" | sed -n 's/cov: \([0-9]*\).*/\1/p')
  ft=$(echo "$last" | sed -n 's/.*ft: \([0-9]*\)/\1/p')
  bad=$(ls "$out/findings" 2>/dev/null | grep -c "^$t-")
  [ "$(cat "$out/logs/$t.status")" = 0 ] || bad=$((bad > 0 ? bad : 1))
  [ "$bad" -gt 0 ] && failed=1
  printf '%-11s %12s %8s %9s %8s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$bad"
done
exit $failed
