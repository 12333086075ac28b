#!/usr/bin/env bash
# Sets up, builds and starts Pelto with its bundled skins. Arguments go to pelto and
# mean what they mean in the caller's folder (a relative name names a file there).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
build="${PELTO_BUILD_DIR:-build}"
case "$build" in
/*) ;;
*) build="$root/$build" ;; # build.sh takes it relative to the repository
esac
exec "$build/pelto" "$@"
