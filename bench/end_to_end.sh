#!/usr/bin/env bash
# End to end: `gathwrite-cli generate --quiet` with the default options on a 100 MB synthetic
# export, against `split -n l/N` writing the same number N of files from the same export (the
# floor that creating and filling N files costs). Both write into /dev/shm. Prints both times,
# their ratio (target: at most 3), the program's peak memory against the export's size
# (target: at most 3) and the time of each stage of the run.
#
#   bench/end_to_end.sh [BUILD_DIR]
#     targets: gathwrite-cli gw_generate_export gw_bench_end_to_end gw_bench_rusage
# Environment: MEGABYTES (default 100), RUNS (best of, default 2), BENCH_DIR (default /dev/shm).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
[[ "$build" = /* ]] || build="$root/$build"
megabytes="${MEGABYTES:-100}"
runs="${RUNS:-2}"
dir="${BENCH_DIR:-/dev/shm}"
[[ -d "$dir" && -w "$dir" ]] || dir="${TMPDIR:-/tmp}"
cli="$build/src/cli/gathwrite-cli"

work="$(mktemp -d "$dir/gw_end_to_end.XXXXXX")"
trap 'rm -rf "$work"' EXIT
input="$work/export.txt"
"$build/bench/gw_generate_export" --seed 42 --megabytes "$megabytes" --output "$input"
size=$(stat -c %s "$input")
echo "input: $input ($size bytes, GBK)"

now() { date +%s%N; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }

# Peak resident memory of a command, in kB, through GNU time or the getrusage wrapper.
peak_file="$work/peak.txt"
measured() {
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f "peak memory %M kB" -o "$peak_file" "$@"
  else
    "$build/bench/gw_bench_rusage" "$@" 2> "$peak_file"
  fi
}

best_ours=""
for ((run = 1; run <= runs; ++run)); do
  rm -rf "$work/ours"
  start=$(now)
  measured "$cli" generate --quiet --settings /dev/null --set "编辑框保存文件夹=$work/ours" \
    "$input" > "$work/summary.txt"
  elapsed=$(( $(now) - start ))
  [[ -z "$best_ours" || $elapsed -lt $best_ours ]] && best_ours=$elapsed
done
files=$(find "$work/ours" -type f | wc -l)
peak_kb=$(awk '/^peak memory/ { print $3 }' "$peak_file")
echo "gathwrite-cli: $(cat "$work/summary.txt")"

best_split=""
for ((run = 1; run <= runs; ++run)); do
  rm -rf "$work/split" && mkdir "$work/split"
  start=$(now)
  (cd "$work/split" && split -a 7 -d -n "l/$files" "$input" part_)
  elapsed=$(( $(now) - start ))
  [[ -z "$best_split" || $elapsed -lt $best_split ]] && best_split=$elapsed
done
split_files=$(find "$work/split" -type f | wc -l)
rm -rf "$work/split"

echo "gathwrite-cli generate: $(seconds "$best_ours") s for $files files (best of $runs)"
echo "split -n l/$files:      $(seconds "$best_split") s for $split_files files (best of $runs)"
awk -v a="$best_ours" -v b="$best_split" \
  'BEGIN { printf "time / split time: %.2f (target <= 3)\n", a / b }'
awk -v kb="$peak_kb" -v size="$size" 'BEGIN {
  printf "peak memory: %.1f MB; / export size: %.2f (target <= 3)\n", kb / 1024, kb * 1024 / size }'

echo "stages of the same run (default options, seed 42):"
rm -rf "$work/ours"
"$build/bench/gw_bench_end_to_end" "$input" "$work/stages" | sed 's/^/  /'
