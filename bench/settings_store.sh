#!/usr/bin/env bash
# Times the settings store's first save and rewrite of the 43 main-window options, with every
# edit replacing the file atomically (flushed to disk), on the work disk and in memory.
#   bash bench/settings_store.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
cmake --build "$build" --target gw_bench_settings_store -j 2 >/dev/null
bench="$build/bench/gw_bench_settings_store"

disk="$(mktemp -d "$build/settings-bench.XXXXXX")"
memory="$(mktemp -d /dev/shm/settings-bench.XXXXXX)"
trap 'rm -rf "$disk" "$memory"' EXIT

echo "Settings store: 43 typed writes per save, first save into a fresh file, then a rewrite"
echo "of every value. Every replacement of the file is flushed to disk (fsync). Budget: well"
echo "under 100 ms for both saves together."
"$bench" --folder "$disk" --repeat 7
"$bench" --folder "$memory" --repeat 7
