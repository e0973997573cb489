#!/usr/bin/env bash
# Makes the Debian package of a build folder, as `cpack -G DEB` there does, and checks what it
# declares and what it would install: the program, a valid menu entry and the icon at every size.
#
#   PackageTest.sh BUILD_FOLDER
#
# Exits 0 when everything holds, 77 (a skip) when a tool it needs is missing, 1 otherwise.
set -euo pipefail

build=$(realpath "$1")
for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (./test.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 \
  || fail "cpack failed: $(cat "$work/cpack.log")"
debs=("$work"/corvantis_*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no corvantis_*.deb: $(ls "$work")"
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = corvantis ] || fail "the package is not named corvantis"
# The dependencies' package names, one a line, without their versions.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/([^)]*)//; s/ //g')
for library in libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo libstdc++6 libc6; do
  grep -qxF "$library" <<<"$depends" || fail "$library is not among the dependencies:" $depends
done
[ "$(dpkg-deb -f "$deb" Recommends)" = fonts-wqy-microhei ] || fail "the CJK font is not recommended"

root=$work/root
dpkg-deb -x "$deb" "$root"
[ -x "$root/usr/bin/corvantis" ] || fail "no /usr/bin/corvantis"
entry=$root/usr/share/applications/corvantis.desktop
desktop-file-validate "$entry" || fail "the menu entry is not valid"
for line in Name=Corvantis Exec=corvantis Icon=corvantis 'Categories=Graphics;Photography;'; do
  grep -qxF "$line" "$entry" || fail "the menu entry lacks $line"
done
grep -q '^Name\[zh_CN\]=' "$entry" && grep -q '^Comment\[zh_CN\]=' "$entry" \
  || fail "the menu entry has no Chinese name or comment"

for size in 16 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/corvantis.png
  [ -f "$icon" ] || fail "no icon of $size pixels"
  # A PNG's header chunk holds the width and height as big-endian 32-bit numbers from byte 16 on.
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$icon")
  [ "${width}x$height" = "${size}x$size" ] || fail "the $size-pixel icon is ${width}x$height"
done
echo "PASS: $(basename "$deb") depends on" $depends
