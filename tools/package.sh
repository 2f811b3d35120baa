#!/usr/bin/env bash
# Builds the Debian package from a release build of its own and lets lintian judge it:
#   tools/package.sh [BUILD_DIR]        (default build-package/; the .deb is left there)
# lintian is run when installed; any error fails the script.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQS_JUV_TESTS=OFF \
      -DQS_JUV_WERROR="${QS_JUV_WERROR:-OFF}" >/dev/null
cmake --build "$build"
rm -f "$build"/qs-juv_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/qs-juv_*.deb)
echo "$deb"
if command -v lintian >/dev/null; then
    # Errors fail; warnings are shown for the reader to judge.
    lintian --fail-on error --tag-display-limit 0 "$deb"
fi
