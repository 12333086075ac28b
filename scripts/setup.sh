#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Pelto needs.
# Idempotent: when everything is present it only checks and returns; the package
# lists are refreshed only when something has to be installed.
set -euo pipefail

PACKAGES=(
  # build (ccache keeps compiled objects between build folders and clones)
  cmake ninja-build ccache pkg-config g++ qt6-base-dev qt6-base-dev-tools libgl-dev
  libmpg123-dev libsndfile1-dev libvorbis-dev libsdl2-dev libtag1-dev
  # run
  fonts-ipaexfont-gothic qt6-qpa-plugins
  # Qt's own texts in Japanese (file dialogs)
  qt6-translations-l10n
  # real-window tests and screenshots
  xvfb xauth xdotool x11-utils imagemagick openbox trayer
  # Xft.dpi for the scaled-screen tests (xrdb)
  x11-xserver-utils
  # fuzzing and sanitizers
  clang libclang-rt-14-dev
  # test media, tag tools and the decoding references for tests and benchmarks
  lame twolame sox mpg123 id3v2 eyed3 python3-mutagen
  # FLAC, Ogg Vorbis and Opus: encoders, reference decoders, lengths and tags
  flac vorbis-tools opus-tools
  # drawing the shipped skins' artwork (skin/src)
  python3-pil
  # tests and checks
  libgtest-dev clang-format
  # the media player on the session bus, checked with a client of the desktop's
  dbus playerctl
  # real sound servers for the engine's tests (a null sink, recorded with parec):
  # PulseAudio, and PipeWire with its session manager and PulseAudio service
  pulseaudio pulseaudio-utils pipewire pipewire-bin pipewire-pulse wireplumber
  # a Wayland session for the tests: a headless compositor with XWayland, Qt's Wayland
  # platform, xhost to let the test's user onto the compositor's X display, a keyboard
  # of the test's own, and the client library the test's pointer device is built with
  sway xwayland qt6-wayland x11-xserver-utils wtype libwayland-dev
  # a desktop's own StatusNotifierItem host in that session: waybar's tray, and grim
  # for what the compositor shows
  waybar grim
  # a StatusNotifierItem watcher, for the tray test that plays the desktop's host
  haskell-status-notifier-item-utils
  # install and package: the desktop entry's check, dpkg-shlibdeps for the .deb, the
  # package's and the AppStream metadata's checks, the manual pages' check
  desktop-file-utils dpkg-dev lintian appstream man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
