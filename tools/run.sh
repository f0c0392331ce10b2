#!/usr/bin/env bash
# Installs what is needed (Debian's emulator included), builds the program and starts it on a
# scratch copy of the example configurations, whose ROM folder is the copy's "roms". The examples
# play games that Debian's emulator runs without any ROM file (pong, pongd, breakout, rebound).
#   tools/run.sh          the examples
#   tools/run.sh --here   the configurations of the current directory instead
set -euo pipefail
here="$(pwd)"
cd "$(dirname "$0")/.."
tools/install-deps.sh --run-only
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target trelvo-mame
program="$(pwd)/build/src/trelvo-mame"

if [ "${1:-}" = "--here" ]; then
  cd "$here"
else
  scratch="$(mktemp -d "${TMPDIR:-/tmp}/trelvo-examples.XXXXXX")"
  cp -r examples/configurations/. examples/roms "$scratch/"
  # The examples name a ROM folder by a placeholder line: point it at the copy's.
  for f in "$scratch"/*.tvo; do
    sed -i "s|^/tmp/trelvo-example-roms\r\$|$scratch/roms\r|" "$f"
  done
  echo "Example configurations in $scratch"
  cd "$scratch"
fi
exec "$program"
