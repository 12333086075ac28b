#!/usr/bin/env bash
# Builds the Debian package from a clean clone of the committed tree (HEAD), without
# the tests, and leaves pelto_<version>_<arch>.deb in the current folder. It is built
# with Debian's hardening flags (dpkg-buildflags, hardening=+all) and checked with
# lintian, which must report no error and no warning.
# Install it with: sudo apt-get install ./pelto_*.deb
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
"$repo/scripts/setup.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q --no-hardlinks "$repo" "$work/src"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELTO_TESTS=OFF >/dev/null
cmake --build "$work/build"
(cd "$work/build" && cpack -G DEB >/dev/null)
deb=$(ls "$work/build"/pelto_*.deb)
lintian --pedantic --display-info "$deb" 2>/dev/null | tee "$work/lintian.log"
if grep -qE '^[EW]: ' "$work/lintian.log"; then
  echo "package: lintian reports errors or warnings" >&2
  exit 1
fi
cp "$deb" .
ls pelto_*.deb
