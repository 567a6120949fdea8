#!/usr/bin/env bash
# Inspects the Debian package that `make package` builds: its name, version and architecture, the
# files it installs (dpkg-deb -c), the packages it depends on (dpkg-deb -I), and that the
# command line it carries runs and reports the package's version.
#
# usage: debian_package_test.sh PACKAGE_FILE VERSION ARCHITECTURE
set -uo pipefail

package_file=$1
version=$2
architecture=$3
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if [[ ! -f "$package_file" ]]; then
  echo "FAIL: no package at $package_file; build it with 'make package'" >&2
  exit 1
fi

# Control fields.
for field in "Package=gathwrite" "Version=$version" "Architecture=$architecture"; do
  name=${field%%=*}
  expected=${field#*=}
  actual=$(dpkg-deb -f "$package_file" "$name")
  [[ "$actual" == "$expected" ]] || fail "$name is '$actual', expected '$expected'"
done
expected_name="gathwrite_${version}_${architecture}.deb"
[[ "$(basename "$package_file")" == "$expected_name" ]] ||
  fail "the package file is $(basename "$package_file"), expected $expected_name"

# Installed files: each expected path is listed, as a regular file, owned by root.
listing=$(dpkg-deb -c "$package_file") || fail "dpkg-deb -c cannot list the package"
expect_file() {
  local path=$1 mode=$2
  local line
  line=$(awk -v p="./$path" '$NF == p' <<<"$listing")
  if [[ -z "$line" ]]; then
    fail "the package does not install /$path"
    return
  fi
  read -r perms owner _ <<<"$line"
  [[ "$perms" == "$mode" ]] || fail "/$path has mode $perms, expected $mode"
  [[ "$owner" == "root/root" ]] || fail "/$path is owned by $owner, expected root/root"
}
expect_file usr/bin/gathwrite -rwxr-xr-x
expect_file usr/bin/gathwrite-cli -rwxr-xr-x
expect_file usr/share/applications/gathwrite.desktop -rw-r--r--
expect_file usr/share/icons/hicolor/scalable/apps/gathwrite.svg -rw-r--r--
expect_file usr/share/man/man1/gathwrite-cli.1 -rw-r--r--
expect_file usr/share/bash-completion/completions/gathwrite-cli -rw-r--r--
expect_file usr/share/doc/gathwrite/README.md -rw-r--r--
expect_file usr/share/doc/gathwrite/copyright -rw-r--r--

# Everything lives under /usr (nothing in /usr/local, the build tree or the home folder).
outside=$(awk '{ print $NF }' <<<"$listing" | grep -v -e '^\./$' -e '^\./usr/' -e '^\./usr$')
[[ -z "$outside" ]] || fail "paths outside /usr: $outside"

# Dependencies: dpkg-shlibdeps names the packages of the libraries the programs link; the
# window-system plugins are named by hand. Compare whole package names, not substrings.
depends=$(dpkg-deb -f "$package_file" Depends)
information=$(dpkg-deb -I "$package_file")
grep -q '^ Depends: ' <<<"$information" || fail "dpkg-deb -I shows no Depends field"
depended=$(tr ',|' '\n' <<<"$depends" | sed -e 's/(.*)//' -e 's/[[:space:]]//g')
for required in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libpcre2-16-0 \
  libopencc1.1 zlib1g qt6-qpa-plugins; do
  grep -qxF "$required" <<<"$depended" ||
    fail "Depends lacks $required (it is: $depends)"
done
# Versioned bounds come from the libraries' symbols files, so the C library has one.
grep -Eq '(^|, )libc6 \(>= [0-9]' <<<"$depends" || fail "libc6 has no version bound: $depends"

# The command line of the package runs from its unpacked tree and reports the package's version.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
if dpkg-deb -x "$package_file" "$unpacked"; then
  reported=$("$unpacked/usr/bin/gathwrite-cli" --version 2>&1)
  grep -qF "$version" <<<"$reported" ||
    fail "gathwrite-cli --version says '$reported', expected it to name $version"
else
  fail "dpkg-deb -x cannot unpack the package"
fi

if ((failures > 0)); then
  echo "$failures check(s) failed for $package_file" >&2
  exit 1
fi
echo "$package_file: name, version, files and dependencies as expected"
