#!/usr/bin/env bash
# Sets up, builds and runs every test. Headless: Qt draws offscreen and SDL plays
# into its dummy driver unless a test asks for something else; the real-window tests
# start their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh "$@"
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
cd "${PELTO_BUILD_DIR:-build}"
ctest --output-on-failure -j "$(nproc)"
