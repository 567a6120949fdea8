#!/usr/bin/env bash
# `make run`: starts the program on the bundled sample, or says what is still missing.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
if [[ -x "$build_dir/src/cli/gathwrite-cli" ]]; then
  mkdir -p out
  "$build_dir/src/cli/gathwrite-cli" generate --seed 1 --set 编辑框保存文件夹="$PWD/out" examples/sample-export.txt
else
  echo "Gathwrite is built up to its core libraries; the command line (gathwrite-cli) and the"
  echo "desktop program are not there yet. 'make test' runs what exists."
fi
