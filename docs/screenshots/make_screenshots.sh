#!/usr/bin/env bash
# Takes a screenshot of Pelto with each shipped skin, playing a made-up song, and of
# the settings dialog's two tabs, under a private X server (Xvfb). Writes
# docs/screenshots/SKIN.png and docs/screenshots/settings.png.
#   docs/screenshots/make_screenshots.sh [BUILD_DIR]     (default: build)
# Each skin is shown by the real program: a private program folder (PELTO_HOME) holds
# the skin as its "standard" skin, so no configuration is needed to pick it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$repo/build}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A song of 4 minutes 5 seconds with Japanese tags (ID3v2, UTF-16).
sox -n -r 22050 -c 2 "$work/song.wav" synth 245 sine 440 sine 660 vol 0.05 2>/dev/null
lame --quiet -b 32 "$work/song.wav" "$work/song.mp3"
/usr/bin/python3 - "$work/song.mp3" <<'PY'
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, TCON
tags = ID3()
tags.add(TIT2(encoding=1, text="朝焼けのメロディー"))
tags.add(TPE1(encoding=1, text="ペルト楽団"))
tags.add(TALB(encoding=1, text="はじめてのアルバム"))
tags.add(TDRC(encoding=1, text="2024"))
tags.add(TCON(encoding=1, text="Pop"))
tags.save(sys.argv[1], v2_version=3)
PY

for skin in standard washi; do
    home="$work/home-$skin"
    mkdir -p "$home/skin"
    cp -r "$repo/skin/$skin" "$home/skin/standard"
    PELTO_HOME="$home" SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work" \
    xvfb-run -a -s "-screen 0 640x480x24" bash -c '
        "$0" "$1" &
        pid=$!
        for _ in $(seq 50); do
            id=$(xdotool search --onlyvisible --name "^Pelto$" 2>/dev/null | head -1 || true)
            [ -n "$id" ] && break
            sleep 0.2
        done
        sleep 3   # let the song run a few seconds
        import -window "$id" "$2"
        kill "$pid"; wait "$pid" 2>/dev/null || true
    ' "$build/pelto" "$work/song.mp3" "$here/$skin.png"
    echo "wrote $here/$skin.png"
done

# The settings dialog, opened on each tab by the program itself as it starts
# (PELTO_TEST_OPEN_SETTINGS=TAB), the two tabs side by side.
home="$work/home-settings"
mkdir -p "$home"
ln -s "$repo/skin" "$home/skin"
for tab in 1 2; do
    PELTO_HOME="$home" PELTO_TEST_OPEN_SETTINGS=$tab SDL_AUDIODRIVER=dummy \
    XDG_RUNTIME_DIR="$work" xvfb-run -a -s "-screen 0 640x480x24" bash -c '
        "$0" &
        pid=$!
        for _ in $(seq 50); do
            id=$(xdotool search --onlyvisible --name "^Pelto 設定$" 2>/dev/null | head -1 || true)
            [ -n "$id" ] && break
            sleep 0.2
        done
        sleep 1
        import -window "$id" "$1"
        kill "$pid"; wait "$pid" 2>/dev/null || true
    ' "$build/pelto" "$work/settings-$tab.png"
done
convert "$work/settings-1.png" "$work/settings-2.png" -background white -splice 16x0 +append \
    -chop 16x0 "$here/settings.png"
echo "wrote $here/settings.png"
