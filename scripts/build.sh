#!/usr/bin/env bash
# Configures and builds Pelto in build/ (or $PELTO_BUILD_DIR). Extra arguments go to
# CMake's configure step, for example -DPELTO_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${PELTO_BUILD_DIR:-build}"
# Compiled objects are cached between build folders and clones when ccache is there.
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${PELTO_BUILD_TYPE:-RelWithDebInfo}" \
  "${launcher[@]}" "$@" >/dev/null
cmake --build "$build"
