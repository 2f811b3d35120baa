#!/usr/bin/env bash
# Writes docs/summary.png: the printed summary of docs/summary-example.cfg, as the PDF command
# renders it, turned into a picture with pdftoppm.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target qs_juv_screenshot >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$build/tools/qs_juv_screenshot" --summary "$root/docs/summary-example.cfg" "$work/summary.pdf"
pdftoppm -png -r 60 -singlefile "$work/summary.pdf" "$root/docs/summary"
echo "wrote $root/docs/summary.png"
