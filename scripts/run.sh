#!/usr/bin/env bash
# Sets up, builds and starts Pelto with its bundled skins. Arguments go to pelto.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec "${PELTO_BUILD_DIR:-build}/pelto" "$@"
