#!/usr/bin/env bash
# Applies .clang-format to every C++ source of the project.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard -- '*.cpp' '*.h' | xargs -r -d '\n' clang-format -i
