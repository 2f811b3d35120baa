#!/usr/bin/env bash
# Collects every tr() text of the window into translations/qs_juv_en.ts again (after a merge that
# added texts), keeping the translations already made; new texts come out unfinished.
#   tools/update-translations.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
cd "$root"
"$lupdate" -locations none -source-language ru_RU -target-language en \
    src/gui src/app -ts translations/qs_juv_en.ts
