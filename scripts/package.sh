#!/usr/bin/env bash
# Builds the Debian package from a clean clone of the committed tree (HEAD), without
# the tests, and leaves pelto_<version>_<arch>.deb in the current folder.
# Install it with: sudo apt-get install ./pelto_*.deb
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
"$repo/scripts/setup.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q --no-hardlinks "$repo" "$work/src"
cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELTO_TESTS=OFF >/dev/null
cmake --build "$work/build"
(cd "$work/build" && cpack -G DEB >/dev/null)
cp "$work/build"/pelto_*.deb .
ls pelto_*.deb
