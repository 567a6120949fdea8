#!/usr/bin/env bash
# Installs every Debian 12 package needed to build, test, run and package Gathwrite
# (`make package` needs dpkg-shlibdeps from dpkg-dev, and file, for the package's dependencies).
# Idempotent: when everything is present it only asks dpkg and exits.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libpcre2-dev zlib1g-dev libopencc-dev opencc
  qt6-base-dev qt6-translations-l10n
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-wqy-microhei
  clang libclang-rt-14-dev
  man-db groff-base
  dpkg-dev file
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi

echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
