#!/usr/bin/env bash
# `make run`: starts the desktop program (gathwrite) when a display is available; it opens with
# the bundled sample export and a preview of the article it makes. Without a display it says so
# and runs the command-line sample instead: articles from the sample export into out/ at the
# top of the source tree, with the summary line.
#
# The command-line run uses the form defaults, whatever the user keeps in their own settings
# file: it reads its settings from /dev/null, an empty file that always exists and that the
# program only ever reads (settings files are never created or changed by gathwrite-cli).
# --seed 1 makes the output the same on every run.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
gui="$build_dir/src/app/gathwrite"
cli="$build_dir/src/cli/gathwrite-cli"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  if [[ -x "$gui" ]]; then
    exec "$gui"
  fi
  echo "gathwrite (the desktop program) is not built yet: run 'make build' first." >&2
  exit 1
fi

echo "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the desktop"
echo "program gathwrite cannot start. Running the command line instead:"
echo "  $cli generate --settings /dev/null --seed 1 --set \"编辑框保存文件夹=$PWD/out\" examples/sample-export.txt"
echo
if [[ ! -x "$cli" ]]; then
  echo "gathwrite-cli is not built yet: run 'make build' first." >&2
  exit 1
fi
mkdir -p out
"$cli" generate --settings /dev/null --seed 1 --set "编辑框保存文件夹=$PWD/out" \
  examples/sample-export.txt
echo "Articles (GBK text files) are in $PWD/out/"
