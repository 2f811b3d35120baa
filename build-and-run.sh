#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it; arguments go to the program.
# QS_JUV_BUILD_DIR picks another build folder (the test suite runs this script on its own build).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build=${QS_JUV_BUILD_DIR:-$root/build}
"$root/scripts/deps.sh"
# An existing build keeps its own configuration (cmake --build reconfigures it when needed).
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target qs_juv >/dev/null
exec "$build/src/app/qs_juv" "$@"
