#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs one of them.
#   scripts/fuzz.sh TARGET [SECONDS]     e.g. scripts/fuzz.sh fieldreader 300
# The seed corpus is fuzz/corpus/TARGET; new inputs go to build-fuzz/corpus-TARGET.
set -euo pipefail
cd "$(dirname "$0")/.."
target="$1"; seconds="${2:-60}"
scripts/setup.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DPELTO_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "fuzz_${target}"
mkdir -p "build-fuzz/corpus-${target}"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
"build-fuzz/fuzz_${target}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    "build-fuzz/corpus-${target}" "fuzz/corpus/${target}"
