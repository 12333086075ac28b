#!/usr/bin/env bash
# Every figure of the program beside its peers, in one run:
#  1. decoding a 180 s 128 kbit/s MP3 through the engine against `mpg123 -t`;
#  2. while playing a 320 kbit/s MP3, the share of one core, wake-ups per second and
#     memory, against mpv (--ao=null) playing the same file; and the same figures with
#     an empty list, stopped and paused (20 s each);
#  3. adding 10,000 tagged MP3 files, then 10,000 tagged FLAC files, against a plain
#     TagLib loop over them;
#  4. start-up with a 10,000-row Pelto.m3u with and without the row-facts cache, with
#     the page cache warm and cold;
#  5. memory with 100,000 rows, and the playlist window's operations with them shown;
#  6. the find window: keystroke until painted at 10,000 and 100,000 rows, the memory
#     of its match keys;
#  7. the silence at the join of two songs, against mpv;
#  8. the main window's painting with each shipped skin at scale 1, 1.5 and 2, and the
#     memory of its bitmaps made for the screen.
# Usage: bench/run.sh [BUILD_DIR]   (default: $PELTO_BUILD_DIR or build)
# Peers that are missing are reported as "not installed"; with PELTO_BENCH_INSTALL=1
# (and root) the run installs mpv first. PELTO_BENCH_DROP_CACHES=1 makes the cold
# start-ups drop the whole page cache (root) instead of only the files they read.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-${PELTO_BUILD_DIR:-build}}")"
cmake --build "$build" --target pelto pelto_skins bench_audio_decode bench_playlist \
    bench_flac_adding bench_huge_playlist bench_playlist_window bench_find_window \
    bench_skin_paint >/dev/null
if [[ "${PELTO_BENCH_INSTALL:-}" == 1 && $(id -u) == 0 ]] && ! command -v mpv >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends mpv >/dev/null
fi
media=$(mktemp -d)
trap 'rm -rf "$media"' EXIT
export XDG_RUNTIME_DIR="$media"

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)," \
    "$(awk '/MemTotal/ {printf "%.1f GB", $2 / 1048576}' /proc/meminfo)," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"

# Music-like media: a chord with a moving tone over pink noise.
sox -n -r 44100 -c 2 -b 16 "$media/long.wav" synth 180 pinknoise synth 180 sine mix 220-880 \
    gain -8 2>/dev/null
lame --quiet -b 128 "$media/long.wav" "$media/song128.mp3"
sox "$media/long.wav" "$media/start.wav" trim 0 2
lame --quiet -b 128 "$media/start.wav" "$media/start128.mp3"
sox "$media/long.wav" "$media/minute.wav" trim 0 60
lame --quiet -b 320 --tt "A title long enough to scroll in the standard skin's first line" \
    "$media/minute.wav" "$media/song320.mp3"

echo "== 1. decoding a 180 s 128 kbit/s MP3 (whole processes, best of 9)"
python3 bench/audio/decode_vs_mpg123.py "$media/song128.mp3" "$media/start128.mp3" \
    "$build/bench_audio_decode"

echo "== 2. a 320 kbit/s MP3, 20 s per case (SDL dummy driver for pelto)"
PELTO_BENCH_PEER="mpv --no-config --ao=null --vo=null --really-quiet" \
    python3 bench/player/idle.py "$build" "$media/song320.mp3" 20 2> >(grep -v dbus-daemon >&2)

echo "== 3. adding 10,000 tagged MP3 files (warm page cache)"
mkdir "$media/tagged"
"$build/bench_playlist" 10000 "$media/tagged" 2>/dev/null | sed -n '1,/^playlist files/p' |
    sed '$d'

echo "== 3b. adding 10,000 tagged FLAC files (warm page cache)"
mkdir "$media/flac"
"$build/bench_flac_adding" 10000 "$media/flac" 2>/dev/null
rm -rf "$media/flac"

echo "== 4. start-up with a 10,000-row Pelto.m3u until the main window is shown"
rm -f "$media/tagged/bench.m3u"
python3 bench/player/startup.py "$build" "$media/tagged" 5

echo "== 5. 100,000 rows"
"$build/bench_huge_playlist" --tagged 1000 100000 2>/dev/null
# 100,000 distinct files: hard links to two tagged files (a file takes at most 65,000).
mkdir "$media/many"
python3 - "$media/tagged" "$media/many" <<'PY'
import os, sys
first = sorted(os.listdir(sys.argv[1]))[:2]
for i in range(100000):
    os.link(os.path.join(sys.argv[1], first[i % 2]), os.path.join(sys.argv[2], "%06d.mp3" % i))
PY
python3 bench/player/startup.py "$build" "$media/many" 1
QT_QPA_PLATFORM=offscreen "$build/bench_playlist_window" 100000 2>/dev/null

echo "== 6. the find window"
QT_QPA_PLATFORM=offscreen "$build/bench_find_window" 10000 100000 2>/dev/null

echo "== 7. the silence where one song leads to the next (SDL's disk driver, real time)"
python3 bench/player/join_silence.py "$build"

echo "== 8. the main window's painting at scale 1, 1.5 and 2"
for scale in 1 1.5 2; do
    for skin in standard washi; do
        QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=$scale "$build/bench_skin_paint" \
            "$build/skin/$skin/" 2>/dev/null
    done
done
