#!/usr/bin/env bash
# Cuts a 100 MB GBK chat export into messages with the message pattern: ours (RegexService:
# execute, then every body read with subMatchText) against node's RegExp with matchAll over the
# same text decoded to a JS string. Prints the best-of-N times and the ratio of the matching
# parts (target: ours at most 0.75 of node's).
#
#   bench/regex_message.sh [BUILD_DIR]   (default: build; the targets gw_generate_export and
#                                         gw_bench_regex_message must be built; node on PATH)
# Environment: MEGABYTES (default 100), REPEATS (default 5), BENCH_DIR (default /dev/shm, else
# $TMPDIR), NODE_FLAGS (RegExp flags for node, default "gmi" as our service compiles the pattern:
# ignore-case, multi-line, global).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${BUILD_DIR:-build}}"
[[ "$build" = /* ]] || build="$root/$build"
megabytes="${MEGABYTES:-100}"
repeats="${REPEATS:-5}"
flags="${NODE_FLAGS:-gmi}"
dir="${BENCH_DIR:-/dev/shm}"
[[ -d "$dir" && -w "$dir" ]] || dir="${TMPDIR:-/tmp}"

generator="$build/bench/gw_generate_export"
bench="$build/bench/gw_bench_regex_message"
for tool in "$generator" "$bench"; do
  if [[ ! -x "$tool" ]]; then
    echo "missing $tool: build the targets gw_generate_export and gw_bench_regex_message" >&2
    exit 1
  fi
done
command -v node > /dev/null || { echo "node is not on PATH" >&2; exit 1; }

input="$dir/gw_regex_message_export.$$.txt"
trap 'rm -f "$input"' EXIT
"$generator" --seed 42 --megabytes "$megabytes" --output "$input"
echo "input: $input ($(stat -c %s "$input") bytes, GBK)"

read -r matches match convert execute bodies total bytes units < <("$bench" "$input" "$repeats")
read -r node_matches node_match node_units < <(node "$root/bench/regex_message.js" "$input" "$repeats" "$flags")

echo "ours: $matches matches; search ${match} s; GBK->UTF-16 ${convert} s;" \
  "execute (conversion + search) ${execute} s; reading every body as GBK ${bodies} s;" \
  "total ${total} s ($bytes bytes of bodies)"
echo "node (/.../$flags, matchAll, every body read): $node_matches matches; search ${node_match} s" \
  "($node_units UTF-16 units of bodies)"
if [[ "$matches" != "$node_matches" || "$units" != "$node_units" ]]; then
  echo "the matches differ: $matches / $node_matches matches, $units / $node_units body units" >&2
  exit 1
fi
awk -v a="$match" -v b="$node_match" -v t="$total" 'BEGIN {
  printf "ratio search ours / node: %.3f (target <= 0.75); our total / node search: %.3f\n", a / b, t / b }'
