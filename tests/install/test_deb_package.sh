#!/usr/bin/env bash
# The Debian package of a build: made with cpack, it holds the program, the skins, the
# desktop entry and the icon, depends on what dpkg-shlibdeps found, and runs. As root
# it is installed with apt-get, shows in the desktop's menus (a valid entry in
# /usr/share/applications), runs `pelto --version` and is removed again, leaving no
# file behind; otherwise it is listed and unpacked into a temporary folder and run
# from there.
# Usage: test_deb_package.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then
    apt-get remove -y -qq -o DPkg::Lock::Timeout=120 pelto >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done

version=$(sed -n 's/^Pelto \([0-9.]*\)$/\1/p' <(QT_QPA_PLATFORM=offscreen "$build/pelto" --version))
[ -n "$version" ] || fail "the built program gives no version"
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb="$work/out/pelto_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for f in ./usr/bin/pelto ./usr/bin/pelto-info ./usr/share/pelto/skin/standard/_skin.cfg \
  ./usr/share/applications/pelto.desktop ./usr/share/icons/hicolor/scalable/apps/pelto.svg \
  ./usr/share/icons/hicolor/48x48/apps/pelto.png ./usr/share/doc/pelto/README.md; do
  grep -qx "$f" <<<"$contents" || fail "$f is not in the package"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6dbus6 libqt6widgets6 libmpg123-0 libsndfile1 libsdl2-2.0-0 libtag1v5 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
  dpkg -s pelto >/dev/null 2>&1 && fail "pelto is already installed on this machine"
  installed=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=120 \
    --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get install"; }
  [ "$(QT_QPA_PLATFORM=offscreen /usr/bin/pelto --version)" = "Pelto $version" ] || fail "pelto --version"
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate /usr/share/applications/pelto.desktop || fail "desktop entry"
  fi
  files=$(dpkg -L pelto | grep -v '/$' || true)
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq -o DPkg::Lock::Timeout=120 pelto \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt-get remove"; }
  installed=0
  dpkg -s pelto >/dev/null 2>&1 && fail "pelto is still installed"
  for f in /usr/bin/pelto /usr/share/applications/pelto.desktop /usr/share/pelto; do
    [ ! -e "$f" ] || fail "$f is left after the removal"
  done
  echo "installed, ran and removed $(basename "$deb")"
else
  dpkg-deb -x "$deb" "$work/root"
  [ "$(QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/pelto" --version)" = "Pelto $version" ] ||
    fail "pelto --version from the unpacked package"
  echo "listed and unpacked $(basename "$deb") (not root: not installed)"
fi
