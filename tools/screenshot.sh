#!/usr/bin/env bash
# Builds the window renderer and writes docs/screenshot*.png on the offscreen platform.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target qs_juv_screenshot >/dev/null
QT_QPA_PLATFORM=offscreen "$build/tools/qs_juv_screenshot" "$root/docs"
echo "wrote $root/docs/screenshot.png, screenshot-720-220.png, screenshot-message.png"
