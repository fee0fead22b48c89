#!/usr/bin/env bash
# Installs what is missing, builds the recorder and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNOVOX_TESTS=OFF
cmake --build "$build" -j"$(nproc)"
exec "$build/bin/tarnovox" "$@"
