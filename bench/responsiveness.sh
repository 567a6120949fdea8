#!/usr/bin/env bash
# The window thread during a run on a 100 MB export, through the run controller: the worst
# lateness of a 10 ms timer and the worst wait of a posted event (target: at most 50 ms), and the
# time from a stop request to the end of the run (target: at most 200 ms). The stop is requested
# at four moments: while the export loads, while it is cut into messages, in the message loop,
# and while the blocked-word filter runs (20,000 generated words).
#
#   bench/responsiveness.sh [BUILD_DIR]   (targets gw_generate_export, gw_generate_words and
#                                          gw_bench_responsiveness)
# Environment: MEGABYTES (default 100), BENCH_DIR (default /dev/shm).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
[[ "$build" = /* ]] || build="$root/$build"
megabytes="${MEGABYTES:-100}"
dir="${BENCH_DIR:-/dev/shm}"
[[ -d "$dir" && -w "$dir" ]] || dir="${TMPDIR:-/tmp}"
cmake --build "$build" -j 2 --target gw_generate_export gw_generate_words \
  gw_bench_responsiveness >/dev/null

work="$(mktemp -d "$dir/gw-responsiveness.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$build/bench/gw_generate_export" --seed 42 --megabytes "$megabytes" --output "$work/export.txt"
"$build/bench/gw_generate_words" --seed 42 --count 20000 --output "$work/words.txt" --lines
echo "input: $(stat -c %s "$work/export.txt") bytes (GBK); output folder in $work"

scenario() {
  local label="$1"
  shift
  echo
  echo "== stop $label"
  rm -rf "$work/out"
  mkdir -p "$work/out"
  "$build/bench/gw_bench_responsiveness" --export "$work/export.txt" --output "$work/out" "$@"
}
# The moments suit a 100 MB export on two processors: about 0.1 s of loading, 0.2 s of cutting,
# a second of messages, and half a second of blocked-word filtering.
scenario "while the export loads (0.05 s after the start)" --stop-after 0.05
scenario "while the export is cut into messages (0.2 s after the start)" --stop-after 0.2
scenario "in the message loop (0.5 s after the first message)" --stop-after 0.5 \
  --stop-after-messages
scenario "while the blocked-word filter runs (0.3 s after the start)" --stop-after 0.3 \
  --words "$work/words.txt"
