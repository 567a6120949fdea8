#!/usr/bin/env bash
# Blocked-word filter on a 100 MB export: load + filter against `grep -c -F -f` with the same
# words, in the same run. Three libraries: 20,000 generated words (few of them occur), 20,000
# words sampled from the export itself (they all occur, so the replacement path does the work),
# and the sampled library with an empty replacement (words deleted, which lets later words match
# across the gap). Peak memory is that of our whole process; user time above wall time shows the
# filter running on several threads (a large text is filtered in parts, four per processor, each
# thread taking the next part). The program filters the text where it lies when the result can
# only shrink, as here. One run on the 2-core development machine (2026-12-09; its speed drifts
# by a fifth from minute to minute, so compare figures of the same run):
#   generated words, "**"        0.36 s  (grep 0.75 s)  peak memory 119 MB
#   sampled words, "**"          0.79 s  (grep 0.84 s)  peak memory 119 MB
#   sampled words, empty         2.61 s  (grep 0.81 s)  peak memory 119 MB
# Single runs of a freshly written export read it more slowly than later runs do (0.15-0.2 s
# against 0.05 s here); pairing the runs with grep's, run by run, gives steadier ratios.
# The sampled words occur about once per byte (113 million occurrences); grep only counts lines,
# each up to its first match.
#   bash bench/blocked_words.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target gw_bench_blocked_words gw_generate_export gw_generate_words \
  -j 2 >/dev/null
bench="$build/bench/gw_bench_blocked_words"

work="$(mktemp -d "${TMPDIR:-/dev/shm}/blocked-words-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

"$build/bench/gw_generate_export" --seed 1 --megabytes 100 --output "$work/export.txt"
"$build/bench/gw_generate_words" --seed 1 --count 20000 --output "$work/generated.txt" --lines
"$bench" sample --text "$work/export.txt" --count 20000 --seed 7 --output "$work/sampled.txt"

# Runs a command under /usr/bin/time (when present) and prints wall seconds and peak memory.
measure() {
  local label="$1"
  shift
  if [ -x /usr/bin/time ]; then
    /usr/bin/time -f "$label: %e s wall, %U s user, peak memory %M KB" "$@"
  else
    local start end
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    echo "$label: $(echo "$end - $start" | bc) s wall"
  fi
}

run() {
  local name="$1" library="$2" replacement="$3"
  # grep reads one word per line (LF): the same words without the CR.
  tr -d '\r' <"$library" >"$work/grep-words.txt"
  echo "== $name, replacement \"$replacement\""
  measure "grep -c -F -f" sh -c "LC_ALL=C grep -c -F -f '$work/grep-words.txt' \
    '$work/export.txt' >'$work/grep-count.txt' || true"
  echo "   grep counted $(cat "$work/grep-count.txt") matching lines"
  measure "ours (read, load, filter, write)" "$bench" filter --library "$library" --lines \
    --replacement "$replacement" --text "$work/export.txt" --output "$work/filtered.txt"
}

run "20000 generated words" "$work/generated.txt" "**"
run "20000 words sampled from the export" "$work/sampled.txt" "**"
run "20000 words sampled from the export" "$work/sampled.txt" ""
