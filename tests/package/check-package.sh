#!/usr/bin/env bash
# Builds the .deb from a build tree and checks it without changing the machine: its contents and
# dependencies, then the program unpacked into a temporary root starts and keeps running, and
# the menu's starter makes the configuration folder and starts the program in it.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb="$(ls "$work"/out/*.deb)"

contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in ./usr/bin/trelvo-mame ./usr/bin/trelvo-mame-start ./usr/share/applications/trelvo-mame.desktop \
         ./usr/share/metainfo/io.github.trelvo.mame.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/trelvo-mame.svg; do
  grep -qxF "$f" <<<"$contents" || { echo "missing from the package: $f"; exit 1; }
done
depends="$(dpkg-deb -f "$deb" Depends)"
for d in libqt6widgets6 libqt6core6 libc6 qt6-qpa-plugins; do
  grep -q "$d" <<<"$depends" || { echo "missing dependency: $d (Depends: $depends)"; exit 1; }
done
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/trelvo-mame.desktop \
  | grep -q '^Categories=Game;Emulator;$' || { echo "the menu entry lacks its categories"; exit 1; }

root="$work/root"
dpkg -x "$deb" "$root"
export QT_QPA_PLATFORM=offscreen HOME="$work/home"
mkdir -p "$HOME"

# The unpacked program starts and is still running when stopped (status 124 from timeout).
status=0
(cd "$work" && timeout 5 "$root/usr/bin/trelvo-mame") || status=$?
[ "$status" -eq 124 ] || { echo "the unpacked program ended by itself with status $status"; exit 1; }

# The starter makes its folder and runs the program from there.
status=0
PATH="$root/usr/bin:$PATH" XDG_DATA_HOME="$HOME/data" timeout 5 "$root/usr/bin/trelvo-mame-start" || status=$?
[ "$status" -eq 124 ] || { echo "the starter ended with status $status"; exit 1; }
[ -d "$HOME/data/MAME Trelvo" ] || { echo "the starter made no configuration folder"; exit 1; }
echo "package ok: $(basename "$deb")"
