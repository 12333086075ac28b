#!/usr/bin/env bash
# The Debian package of a build: made with cpack, it holds the program, the skins, the
# desktop entry, the icon, the AppStream metadata, the manual pages, the copyright
# file and the changelog, depends on what dpkg-shlibdeps found, and runs. lintian
# reports no error and no warning on it, appstreamcli and desktop-file-validate
# nothing on its metadata and desktop entry, man nothing on its manual pages; the
# changelog, the metadata's newest release and the manual pages carry the package's
# version and the release date. As root it is installed with apt-get, shows in the
# desktop's menus (a valid entry in /usr/share/applications), runs `pelto --version`
# and is removed again, leaving no file behind; otherwise it is listed and unpacked
# into a temporary folder and run from there.
# Usage: test_deb_package.sh BUILD_DIR RELEASE_DATE
set -euo pipefail
build=$(cd "$1" && pwd)
release_date=$2
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
# The checkers are part of the test: scripts/setup.sh installs them.
for tool in lintian appstreamcli desktop-file-validate man dpkg-parsechangelog; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done

version=$(sed -n 's/^Pelto \([0-9.]*\)$/\1/p' <(QT_QPA_PLATFORM=offscreen "$build/pelto" --version))
[ -n "$version" ] || fail "the built program gives no version"
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb="$work/out/pelto_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb"

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
metainfo=./usr/share/metainfo/io.github.pelto.pelto.metainfo.xml
for f in ./usr/bin/pelto ./usr/bin/pelto-info ./usr/share/pelto/skin/standard/_skin.cfg \
  ./usr/share/applications/pelto.desktop ./usr/share/icons/hicolor/scalable/apps/pelto.svg \
  ./usr/share/icons/hicolor/48x48/apps/pelto.png ./usr/share/doc/pelto/README.md \
  ./usr/share/doc/pelto/copyright ./usr/share/doc/pelto/changelog.gz $metainfo \
  ./usr/share/man/man1/pelto.1.gz ./usr/share/man/man1/pelto-info.1.gz \
  ./usr/share/lintian/overrides/pelto; do
  grep -qx "$f" <<<"$contents" || fail "$f is not in the package"
done

# lintian: no error and no warning (the overrides name their reasons); what it shows
# at the levels below is printed.
lintian --pedantic --display-info "$deb" >"$work/lintian.log" 2>"$work/lintian.err" ||
  { cat "$work/lintian.log" "$work/lintian.err" >&2; fail "lintian failed"; }
if grep -E '^[EW]: ' "$work/lintian.log" >&2; then fail "lintian reports errors or warnings"; fi
sed 's/^/lintian: /' "$work/lintian.log"

dpkg-deb -x "$deb" "$work/root"
root="$work/root"
appstreamcli validate --no-net "$root/$metainfo" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
valid=$(desktop-file-validate "$root/usr/share/applications/pelto.desktop" 2>&1) ||
  { echo "$valid" >&2; fail "desktop-file-validate"; }
[ -z "$valid" ] || { echo "$valid" >&2; fail "desktop-file-validate reports"; }
for page in pelto pelto-info; do
  # What lintian runs on a manual page: any warning of man, groff or preconv fails.
  said=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null) || fail "man $page"
  [ -z "$said" ] || { echo "$said" >&2; fail "the manual page $page has warnings"; }
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q "^\.TH .* \"$release_date\" \"Pelto $version\"" ||
    fail "the manual page $page does not name Pelto $version of $release_date"
done
man -l "$root/usr/share/man/man1/pelto.1.gz" 2>/dev/null | grep -q -- "--play-pause" ||
  fail "pelto(1) does not document --play-pause"

# The newest changelog entry and the newest release of the metadata are this version
# of this day.
zcat "$root/usr/share/doc/pelto/changelog.gz" >"$work/changelog"
newest=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[ "$newest" = "$version" ] || fail "the changelog's newest entry is $newest, not $version"
newest=$(date -u -d "$(dpkg-parsechangelog -l "$work/changelog" -S Date)" +%F)
[ "$newest" = "$release_date" ] || fail "the changelog's newest entry is of $newest, not $release_date"
grep -q "<release version=\"$version\" date=\"$release_date\">" "$root/$metainfo" ||
  fail "the metadata's releases do not start with $version of $release_date"
head -1 "$root/usr/share/doc/pelto/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
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
  [ "$(QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/pelto" --version)" = "Pelto $version" ] ||
    fail "pelto --version from the unpacked package"
  echo "listed and unpacked $(basename "$deb") (not root: not installed)"
fi
