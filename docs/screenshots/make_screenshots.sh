#!/usr/bin/env bash
# Takes a screenshot of Pelto with each shipped skin, playing a made-up song, on
# screens of scale 1, 1.5 and 2 (QT_SCALE_FACTOR), and of the settings dialog's two
# tabs, of the playlist window beside the main window, and of the find window over the
# playlist window, of the popup menu and the version window, under a private X server
# (Xvfb). Writes docs/screenshots/SKIN.png (scale 1), SKIN-scale1.5.png,
# SKIN-scale2.png, settings.png, playlist.png, find.png, menu.png and about.png; with
# "skins" after the build folder only the skins' screenshots.
#   docs/screenshots/make_screenshots.sh [BUILD_DIR] [skins]    (default: build)
# Each skin is shown by the real program: a private program folder (PELTO_HOME) holds
# the skin as its "standard" skin, so no configuration is needed to pick it.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
build="$(cd "${1:-$repo/build}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Waits (up to 10 s) for a visible window whose name matches NAME and prints its id
# (nothing when none showed).
#   wait_window NAME
wait_window() {
    local id=
    for _ in $(seq 50); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && break
        sleep 0.2
    done
    echo "$id"
}

# Run under the private X server: starts PROGRAM ARG..., waits (up to 10 s) for a
# window whose name matches NAME, lets the program run SECONDS, then takes that window
# (WHAT "window") or the part WHAT (WxH+X+Y) of the screen into OUT, and ends it.
#   shoot NAME SECONDS WHAT OUT PROGRAM ARG...
shoot() {
    local name=$1 seconds=$2 what=$3 out=$4 id=
    shift 4
    "$@" &
    local pid=$!
    id=$(wait_window "$name")
    sleep "$seconds"
    if [ "$what" = window ]; then
        import -window "$id" "$out"
    else
        import -window root -crop "$what" +repage "$out"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
# The command that runs it in the shell xvfb-run starts (which knows no functions).
run_shoot="$(declare -f wait_window shoot); shoot \"\$@\""

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
    for scale in 1 1.5 2; do
        out="$here/$skin.png"
        [ "$scale" = 1 ] || out="$here/$skin-scale$scale.png"
        PELTO_HOME="$home" SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work" QT_SCALE_FACTOR=$scale \
        xvfb-run -a -s "-screen 0 1280x720x24" bash -c "$run_shoot" shoot \
            "^Pelto$" 3 window "$out" "$build/pelto" "$work/song.mp3"
        echo "wrote $out"
    done
done
[ "${2:-}" = skins ] && exit 0

# The settings dialog, opened on each tab by the program itself as it starts
# (PELTO_TEST_OPEN_SETTINGS=TAB), the two tabs side by side.
home="$work/home-settings"
mkdir -p "$home"
ln -s "$repo/skin" "$home/skin"
for tab in 1 2; do
    PELTO_HOME="$home" PELTO_TEST_OPEN_SETTINGS=$tab SDL_AUDIODRIVER=dummy \
    XDG_RUNTIME_DIR="$work" xvfb-run -a -s "-screen 0 640x480x24" bash -c "$run_shoot" shoot \
        "^Pelto 設定$" 1 window "$work/settings-$tab.png" "$build/pelto"
done
convert "$work/settings-1.png" "$work/settings-2.png" -background white -splice 16x0 +append \
    -chop 16x0 "$here/settings.png"
echo "wrote $here/settings.png"

# The playlist window beside the main window: a few tagged songs given on the command
# line (the first plays), the window placed to the right of the main window by
# Pelto.cfg, shown at start and with repeat on.
home="$work/home-playlist"
mkdir -p "$home"
ln -s "$repo/skin" "$home/skin"
songs=()
i=0
while IFS='|' read -r seconds title artist; do
    i=$((i + 1))
    song="$work/song$i.mp3"
    sox -n -r 8000 -c 1 "$work/song$i.wav" synth "$seconds" sine 440 vol 0.05 2>/dev/null
    lame --quiet -b 8 "$work/song$i.wav" "$song"
    /usr/bin/python3 - "$song" "$title" "$artist" <<'PY'
import sys
from mutagen.id3 import ID3, TIT2, TPE1
tags = ID3()
tags.add(TIT2(encoding=1, text=sys.argv[2]))
tags.add(TPE1(encoding=1, text=sys.argv[3]))
tags.save(sys.argv[1], v2_version=3)
PY
    songs+=("$song")
done <<'SONGS'
245|朝焼けのメロディー|ペルト楽団
198|Morning Coffee|The Pelto Trio
312|夜空のワルツ|ペルト楽団
176|Rain on the Window|Mika Aalto
263|坂道の向こう|みずいろ合唱団
221|Slow Train Home|The Pelto Trio
SONGS
printf '[Pelto SaveData Type 2]\r\nMainPlayer_X,10\r\nMainPlayer_Y,10\r\nPlayList_X,378\r\nPlayList_Y,10\r\nPlayList_SizeX,400\r\nPlayList_SizeY,180\r\nPlayListView_Item(1)Size,150\r\nPlayListView_Item(2)Size,110\r\nPlayListView_Item(3)Size,43\r\nRepeatPlay,1\r\nPlayList_Visible,1\r\n' \
    > "$home/Pelto.cfg"
PELTO_HOME="$home" SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work" \
xvfb-run -a -s "-screen 0 800x240x24" bash -c "$run_shoot" shoot \
    "^プレイリスト$" 3 788x200+0+0 "$here/playlist.png" "$build/pelto" "${songs[@]}"
echo "wrote $here/playlist.png"

# The find window beside the playlist window, opened by Ctrl+F, with a query in
# hiragana that finds the artist written in katakana (under openbox, for its title bar).
#   shoot_find OUT PROGRAM SONG...
shoot_find() {
    local id= find= out=$1
    shift
    # A window manager gives the find window its title bar.
    openbox &
    local manager=$!
    sleep 1
    "$@" &
    local pid=$!
    id=$(wait_window '^プレイリスト$')
    sleep 2
    xdotool windowfocus --sync "$id" key ctrl+f
    find=$(wait_window '^曲を探す$')
    xdotool windowmove --sync "$find" 450 10 windowsize --sync "$find" 440 270
    xdotool windowfocus --sync "$find"
    sleep 0.5
    xdotool type --delay 150 'ぺると'
    sleep 1
    import -window root -crop 900x330+0+0 +repage "$out"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    kill "$manager"
    wait "$manager" 2>/dev/null || true
}
home="$work/home-find"
mkdir -p "$home"
ln -s "$repo/skin" "$home/skin"
printf '[Pelto SaveData Type 2]\r\nMainPlayer_X,10\r\nMainPlayer_Y,10\r\nPlayList_X,10\r\nPlayList_Y,165\r\nPlayList_SizeX,430\r\nPlayList_SizeY,150\r\nPlayListView_Item(1)Size,150\r\nPlayListView_Item(2)Size,110\r\nPlayListView_Item(3)Size,43\r\nPlayList_Visible,1\r\n' \
    > "$home/Pelto.cfg"
PELTO_HOME="$home" SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work" \
xvfb-run -a -s "-screen 0 900x330x24" bash -c "$(declare -f wait_window shoot_find); shoot_find \"\$@\"" \
    shoot_find "$here/find.png" "$build/pelto" "${songs[@]}"
echo "wrote $here/find.png"

# The popup menu, opened by the power button with the volume submenu open, and the
# version window chosen from it by keyboard.
#   shoot_menu OUT_MENU OUT_ABOUT PROGRAM
shoot_menu() {
    local id=
    "$3" &
    local pid=$!
    id=$(wait_window '^Pelto$')
    sleep 1
    # The standard skin's power button lies at (334, 6).
    xdotool mousemove --window "$id" 342 14 click 1
    sleep 1
    xdotool key Down Down Down Down Down Right
    sleep 1
    import -window root -crop 560x372+0+0 +repage "$1"
    xdotool key Escape Escape Escape
    sleep 0.5
    xdotool mousemove --window "$id" 342 14 click 1
    sleep 1
    xdotool key Up Up Return
    sleep 1
    import -window "$(xdotool search --onlyvisible --name '^Pelto バージョン情報$' | head -1)" "$2"
    xdotool key space
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
home="$work/home-menu"
mkdir -p "$home"
ln -s "$repo/skin" "$home/skin"
printf '[Pelto SaveData Type 2]\r\nMainPlayer_X,10\r\nMainPlayer_Y,10\r\n' > "$home/Pelto.cfg"
PELTO_HOME="$home" SDL_AUDIODRIVER=dummy XDG_RUNTIME_DIR="$work" \
xvfb-run -a -s "-screen 0 640x480x24" bash -c "$(declare -f wait_window shoot_menu); shoot_menu \"\$@\"" \
    shoot_menu "$here/menu.png" "$here/about.png" "$build/pelto"
echo "wrote $here/menu.png and $here/about.png"
