#!/usr/bin/env bash
# Reads a 100 MB UTF-8 chat export with ReadSourceText (automatic detection, conversion to GBK)
# and converts the same file with `iconv -f UTF-8 -t CP936 -c`; prints both best-of-N times and
# their ratio (target: at most 1.2).
#
#   bench/read_source.sh [BUILD_DIR]     (default: build; the targets gw_generate_export and
#                                         gw_bench_read_source must be built)
# Environment: MEGABYTES (default 100), REPEATS (default 3), BENCH_DIR (default /dev/shm, else
# $TMPDIR).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${BUILD_DIR:-build}}"
[[ "$build" = /* ]] || build="$root/$build"
megabytes="${MEGABYTES:-100}"
repeats="${REPEATS:-3}"
dir="${BENCH_DIR:-/dev/shm}"
[[ -d "$dir" && -w "$dir" ]] || dir="${TMPDIR:-/tmp}"

generator="$build/bench/gw_generate_export"
reader="$build/bench/gw_bench_read_source"
for tool in "$generator" "$reader"; do
  if [[ ! -x "$tool" ]]; then
    echo "missing $tool: build the targets gw_generate_export and gw_bench_read_source" >&2
    exit 1
  fi
done

input="$dir/gw_read_source_export.$$.txt"
output="$dir/gw_read_source_iconv.$$.out"
trap 'rm -f "$input" "$output"' EXIT

"$generator" --seed 42 --megabytes "$megabytes" --encoding utf8 --output "$input"
echo "input: $input ($(stat -c %s "$input") bytes, UTF-8)"

read -r ours detected length < <("$reader" "$input" "$repeats")

best_iconv=""
for ((i = 0; i < repeats; i++)); do
  start=$(date +%s%N)
  iconv -f UTF-8 -t CP936 -c "$input" > "$output" || true
  end=$(date +%s%N)
  seconds=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.6f", ns / 1e9 }')
  if [[ -z "$best_iconv" ]] || awk -v a="$seconds" -v b="$best_iconv" 'BEGIN { exit !(a < b) }'; then
    best_iconv="$seconds"
  fi
done

echo "ReadSourceText (auto): ${ours} s  (detected $detected, $length bytes of GBK text)"
echo "iconv -f UTF-8 -t CP936 -c: ${best_iconv} s  ($(stat -c %s "$output") bytes)"
awk -v a="$ours" -v b="$best_iconv" 'BEGIN { printf "ratio ReadSourceText / iconv: %.3f (target <= 1.2)\n", a / b }'
