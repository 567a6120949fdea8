#!/usr/bin/env bash
# End to end: `gathwrite-cli generate --quiet` with the default options on generated exports,
# writing into /dev/shm, against `split -n l/N` writing as many files from the same export in the
# same run (the floor that creating and filling N files costs) and a plain Python version of the
# same job. Prints, with the targets in brackets:
#   - one 100 MB export on every processor: the median of RUNS runs, split's median from the
#     same runs and the ratio (about 9), the CPU use (user + sys) / wall (at least 1.6) and the
#     peak memory against the export (at most 3); the same with --threads 1;
#   - four 25 MB exports in one run against that 100 MB export (no slower);
#   - the cost per MB at 10, 100 and 400 MB (within 15 % of each other), and the same net of
#     what a run over 64 KB costs (starting the process, preparing and ending the run);
#   - how long Ctrl-C takes to end a run while the largest export is read, converted and cut, in
#     GBK and in UTF-8 (target: 200 ms);
#   - the Python version on the 100 MB export, once;
#   - the time of each stage of a run on one thread (gw_bench_end_to_end).
#
#   bench/end_to_end.sh [BUILD_DIR]
#     targets: gathwrite-cli gw_generate_export gw_bench_end_to_end gw_bench_rusage
# Environment: RUNS (default 5), BENCH_DIR (default /dev/shm), SIZES (the per-MB sizes, default
# "10 100 400"), PYTHON_PIPELINE (the Python version; default ../shared/anchors/pipeline.py
# beside the source tree; skipped when missing or PYTHON_PIPELINE=none).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-build}"
[[ "$build" = /* ]] || build="$root/$build"
runs="${RUNS:-5}"
sizes="${SIZES:-10 100 400}"
pipeline="${PYTHON_PIPELINE:-$root/../shared/anchors/pipeline.py}"
dir="${BENCH_DIR:-/dev/shm}"
[[ -d "$dir" && -w "$dir" ]] || dir="${TMPDIR:-/tmp}"
cli="$build/src/cli/gathwrite-cli"
rusage="$build/bench/gw_bench_rusage"
generate="$build/bench/gw_generate_export"

work="$(mktemp -d "$dir/gw_end_to_end.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# export MEGABYTES SEED NAME: a generated export; prints its path.
make_export() {
  local path="$work/$3.txt"
  "$generate" --seed "$2" --megabytes "$1" --output "$path" > /dev/null
  echo "$path"
}

# One run of the program into a fresh folder: sets wall, user, sys, peak (kB) and files.
# measure_run THREADS FILE...
measure_run() {
  local threads="$1"
  shift
  local out="$work/out"
  rm -rf "$out"
  local threads_option=()
  [[ "$threads" == all ]] || threads_option=(--threads "$threads")
  "$rusage" "$cli" generate --quiet --seed 42 --settings /dev/null "${threads_option[@]}" \
    --set "编辑框保存文件夹=$out" "$@" > /dev/null 2> "$work/rusage.txt"
  read -r _ wall _ user _ sys _ peak < <(tail -n 1 "$work/rusage.txt")
  files=$(find "$out" -type f | wc -l)
  rm -rf "$out"
}

# split writing $2 files from $1: sets split_wall.
measure_split() {
  rm -rf "$work/split" && mkdir "$work/split"
  local start end
  start=$(date +%s%N)
  (cd "$work/split" && split -a 7 -d -n "l/$2" "$1" part_)
  end=$(date +%s%N)
  split_wall=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')
  rm -rf "$work/split"
}

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The 100 MB export, RUNS runs on every processor (each followed by split) and on one thread.
# bench_100 LABEL THREADS EXPORT: prints the figures, sets median_wall.
bench_100() {
  local label="$1" threads="$2" export="$3"
  local walls="" cpus="" splits="" peaks=""
  for ((run = 1; run <= runs; ++run)); do
    measure_run "$threads" "$export"
    measure_split "$export" "$files"
    walls+="$wall "
    cpus+="$(awk -v u="$user" -v s="$sys" -v w="$wall" 'BEGIN { printf "%.2f", (u + s) / w }') "
    splits+="$split_wall "
    peaks+="$peak "
  done
  median_wall=$(echo "$walls" | median)
  local split_median cpu_median peak_max size
  split_median=$(echo "$splits" | median)
  cpu_median=$(echo "$cpus" | median)
  peak_max=$(echo "$peaks" | tr ' ' '\n' | grep . | sort -g | tail -n 1)
  size=$(stat -c %s "$export")
  echo "$label: $files files"
  echo "  wall, $runs runs:   $walls s; median $median_wall s"
  echo "  split -n l/$files: $splits s; median $split_median s"
  awk -v a="$median_wall" -v b="$split_median" \
    'BEGIN { printf "  time / split time:  %.1f (target: about 9)\n", a / b }'
  echo "  CPU use (user + sys) / wall: $cpus; median $cpu_median (target: at least 1.6)"
  awk -v kb="$peak_max" -v size="$size" 'BEGIN {
    printf "  peak memory: %.1f MB = %.2f x the export (target: at most 3)\n",
      kb / 1024, kb * 1024 / size }'
}

echo "processors: $(nproc)"
big="$(make_export 100 42 export100)"
echo "input: $big ($(stat -c %s "$big") bytes, GBK)"
bench_100 "100 MB export, every processor" all "$big"
one_100=$median_wall
bench_100 "100 MB export, --threads 1" 1 "$big"

# Four exports of 25 MB in one run, against the 100 MB one in runs alternating with them.
quarters=()
for seed in 1 2 3 4; do
  quarters+=("$(make_export 25 "$seed" "export25_$seed")")
done
four="" whole="" four_peak=0
for ((run = 1; run <= runs; ++run)); do
  measure_run all "${quarters[@]}"
  four+="$wall "
  ((peak > four_peak)) && four_peak=$peak
  measure_run all "$big"
  whole+="$wall "
done
four_median=$(echo "$four" | median)
whole_median=$(echo "$whole" | median)
echo "four 25 MB exports in one run: $four s; median $four_median s"
echo "  the 100 MB export in the same runs: $whole s; median $whole_median s"
awk -v a="$four_median" -v b="$whole_median" \
  'BEGIN { printf "  four 25 MB / one 100 MB: %.2f (target: at most 1)\n", a / b }'
awk -v kb="$four_peak" -v size="$(stat -c %s "${quarters[0]}")" 'BEGIN {
  printf "  peak memory of the four: %.1f MB = %.2f x the largest (target: at most 3)\n",
    kb / 1024, kb * 1024 / size }'
rm -f "${quarters[@]}"

# What a run costs whatever the size (starting the process, preparing the run, ending it): a run
# over the first 64 KB of the 100 MB export.
# runs_of COUNT FILE...: COUNT runs on every processor; sets walls (each run's) and wall_median.
runs_of() {
  local count="$1"
  shift
  walls=""
  for ((run = 1; run <= count; ++run)); do
    measure_run all "$@"
    walls+="$wall "
  done
  wall_median=$(echo "$walls" | median)
}

head -c 65536 "$big" > "$work/small.txt"
runs_of "$runs" "$work/small.txt"
fixed=$wall_median
rm -f "$work/small.txt"
echo "a run over 64 KB of the export: $walls s; median $fixed s"

# Cost per MB at several sizes: RUNS rounds (3 for sizes above 100 MB), each running every size
# once, so that the machine's drift during the minutes this takes weighs on every size alike.
per_mb=""
net_per_mb=""
declare -A size_export size_walls size_peak
for megabytes in $sizes; do
  if [[ "$megabytes" == 100 ]]; then
    size_export[$megabytes]="$big"
  else
    size_export[$megabytes]="$(make_export "$megabytes" 42 "export_$megabytes")"
  fi
  size_walls[$megabytes]=""
  size_peak[$megabytes]=0
done
for ((round = 1; round <= runs; ++round)); do
  for megabytes in $sizes; do
    ((megabytes > 100 && round > 3)) && continue
    measure_run all "${size_export[$megabytes]}"
    size_walls[$megabytes]+="$wall "
    ((peak > size_peak[$megabytes])) && size_peak[$megabytes]=$peak
  done
done
for megabytes in $sizes; do
  walls="${size_walls[$megabytes]}"
  wall_median=$(echo "$walls" | median)
  ms=$(awk -v w="$wall_median" -v mb="$megabytes" 'BEGIN { printf "%.1f", w * 1000 / mb }')
  per_mb+="$ms "
  net_per_mb+="$(awk -v w="$wall_median" -v f="$fixed" -v mb="$megabytes" \
    'BEGIN { printf "%.1f", (w - f) * 1000 / mb }') "
  echo "$megabytes MB: $walls s; median $wall_median s = $ms ms per MB" \
    "(peak $((size_peak[$megabytes] / 1024)) MB)"
  [[ "${size_export[$megabytes]}" == "$big" ]] || last_export="${size_export[$megabytes]}"
done
echo "$per_mb" | tr ' ' '\n' | grep . | sort -g | awk '
  { v[NR] = $1 } END { printf "per-MB spread: largest / smallest = %.2f (target: at most 1.15)\n",
                       v[NR] / v[1] }'
echo "$net_per_mb" | tr ' ' '\n' | grep . | sort -g | awk -v list="$net_per_mb" '
  { v[NR] = $1 } END { printf "  net of the run over 64 KB: %s ms per MB, spread %.2f\n", list,
                       v[NR] / v[1] }'

# Ctrl-C at several moments of a run over EXPORT: the milliseconds from the signal to the end.
stop_latency() {
  local export="$1" label="$2" figures=""
  for delay in 0.05 0.15 0.3 0.45 0.6 0.9 1.2; do
    rm -rf "$work/out"
    "$cli" generate --quiet --seed 42 --settings /dev/null --set "编辑框保存文件夹=$work/out" \
      "$export" > /dev/null 2>&1 &
    local pid=$! start end
    sleep "$delay"
    start=$(date +%s%N)
    kill -INT "$pid" 2> /dev/null || true
    wait "$pid" || true
    end=$(date +%s%N)
    figures+="$(((end - start) / 1000000)) "
  done
  rm -rf "$work/out"
  echo "Ctrl-C after 0.05 to 1.2 s of a run over $label: ended after $figures ms (target: 200)"
}
if [[ -n "${last_export:-}" ]]; then
  stop_latency "$last_export" "the $(stat -c %s "$last_export") bytes export (GBK)"
  iconv -f GBK -t UTF-8 "$last_export" > "$work/export_utf8.txt" 2> /dev/null || true
  rm -f "$last_export"
  if [[ -s "$work/export_utf8.txt" ]]; then
    stop_latency "$work/export_utf8.txt" "it in UTF-8"
    rm -f "$work/export_utf8.txt"
  fi
fi
if [[ "$pipeline" != none && -f "$pipeline" ]]; then
  start=$(date +%s%N)
  python3 "$pipeline" "$big" "$work/python" 1 > /dev/null
  end=$(date +%s%N)
  python_wall=$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')
  echo "Python version on the 100 MB export: $python_wall s (ours on every processor: $one_100 s)"
  rm -rf "$work/python"
else
  echo "Python version: skipped (no $pipeline)"
fi

echo "stages of a run on one thread (default options, seed 42):"
"$build/bench/gw_bench_end_to_end" "$big" "$work/stages" | sed 's/^/  /'
