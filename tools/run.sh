#!/usr/bin/env bash
# Installs what is needed, builds the program and starts it in the current directory, which is
# the directory of its configurations.
set -euo pipefail
here="$(pwd)"
cd "$(dirname "$0")/.."
tools/install-deps.sh --run-only
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target trelvo-mame
program="$(pwd)/build/src/trelvo-mame"
cd "$here"
exec "$program"
