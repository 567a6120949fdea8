#!/usr/bin/env bash
# Runs every fuzz target for FUZZ_SECONDS seconds each (default 60), two at a time, and prints
# per target the executions, the coverage, the corpus size and the crashes found.
#   fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]
# New corpus entries, crash reproducers and logs go to a scratch folder (FUZZ_WORK, default
# /dev/shm/gw-fuzz or /tmp/gw-fuzz), never into the repository; the committed seeds in fuzz/corpus/<target>/ are
# read only.
set -uo pipefail

build_dir=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]}
seconds=${2:-${FUZZ_SECONDS:-60}}
shift $(($# >= 2 ? 2 : $#))
here=$(cd "$(dirname "$0")" && pwd)
# Scratch: tmpfs when there is one (the targets write files for every input).
scratch_base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && scratch_base=/dev/shm
work=${FUZZ_WORK:-$scratch_base/gw-fuzz}
jobs=${FUZZ_JOBS:-2}

all_targets=(source_reader extraction message_scanner blocked_words settings_store regex_service
             tag_shield title_sentence word_insertion)
targets=("$@")
((${#targets[@]} > 0)) || targets=("${all_targets[@]}")

# Longest input per target: small enough for many executions per second, large enough for the
# seeds (a sample export is 3-4 KB; the extraction target writes articles for every input).
max_len() {
  case $1 in
    extraction) echo 16384 ;;
    message_scanner) echo 8192 ;;
    source_reader) echo 8192 ;;
    blocked_words) echo 2048 ;;
    *) echo 4096 ;;
  esac
}

# Chat exports made at run time by the export generator, when it is built next to us.
extra_seeds() {
  local target=$1 generator
  for generator in "${GW_GENERATE_EXPORT:-}" "$here/../build/bench/gw_generate_export"; do
    if [[ -x $generator ]]; then
      local dir="$work/generated/$target"
      mkdir -p "$dir"
      "$generator" --seed 1 --megabytes 0.01 --output "$dir/gbk.txt" >/dev/null 2>&1 || true
      "$generator" --seed 2 --megabytes 0.01 --output "$dir/utf8.txt" --encoding utf8 \
        >/dev/null 2>&1 || true
      echo "$dir"
      return
    fi
  done
}

run_one() {
  local target=$1 binary="$build_dir/fuzz/gw_fuzz_$1"
  local corpus="$work/corpus/$target" artifacts="$work/artifacts/$target/"
  local log="$work/logs/$target.log" seeds="$here/corpus/$target"
  local tmp="$scratch_base/gw-fuzz-tmp/$target"
  mkdir -p "$corpus" "$artifacts" "$work/logs" "$tmp"
  local extra=()
  case $target in
    source_reader | extraction | message_scanner) mapfile -t extra < <(extra_seeds "$target") ;;
  esac
  # Each target gets its own folder for the files it writes.
  TMPDIR="$tmp" nice -n 10 "$binary" -max_total_time="$seconds" \
    -max_len="$(max_len "$target")" -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "$seeds" "${extra[@]}" \
    >"$log" 2>&1
  echo "$?" >"$work/logs/$target.status"
}

summary() {
  local target=$1 log="$work/logs/$target.log"
  local execs cov ft crashes status
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$')
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  crashes=$(find "$work/artifacts/$target" -type f 2>/dev/null | wc -l)
  status=$(cat "$work/logs/$target.status" 2>/dev/null)
  printf '%-16s executions %-10s cov %-6s ft %-7s corpus %-6s crashes %s%s\n' "$target" \
    "${execs:-?}" "${cov:-?}" "${ft:-?}" "$(find "$work/corpus/$target" -type f | wc -l)" \
    "$crashes" "$([[ $status == 0 ]] || echo " (exit $status, see $log)")"
}

mkdir -p "$work"
echo "fuzz: ${#targets[@]} targets, ${seconds} s each, $jobs at a time; work folder $work"
running=0
for target in "${targets[@]}"; do
  run_one "$target" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n
    running=$((running - 1))
  fi
done
wait

failed=0
for target in "${targets[@]}"; do
  summary "$target"
  [[ $(cat "$work/logs/$target.status" 2>/dev/null) == 0 ]] || failed=1
done
exit "$failed"
