#!/usr/bin/env bash
# Writes docs/summary.png and docs/summary-points.png: the printed summary of
# docs/summary-example.cfg and its page of verification points, as the PDF command renders them,
# turned into pictures with pdftoppm.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target qs_juv_screenshot >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen "$build/tools/qs_juv_screenshot" --summary "$root/docs/summary-example.cfg" "$work/summary.pdf"
pdftoppm -png -r 60 -singlefile "$work/summary.pdf" "$root/docs/summary"
pdftoppm -png -r 60 -f 2 -l 2 -singlefile "$work/summary.pdf" "$root/docs/summary-points"
echo "wrote $root/docs/summary.png and $root/docs/summary-points.png"
