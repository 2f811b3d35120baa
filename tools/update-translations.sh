#!/usr/bin/env bash
# Collects every tr() text of both programs into translations/qs_juv_en.ts again (after a merge that
# added texts), keeping the translations already made; new texts come out unfinished.
#   tools/update-translations.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
cd "$root"
"$lupdate" -I src -no-obsolete -locations none -source-language ru_RU -target-language en \
    src/core src/gui src/app src/check -ts translations/qs_juv_en.ts
