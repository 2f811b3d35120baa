#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need; does nothing when all are there.
set -euo pipefail
packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libc-l10n libgl-dev fonts-liberation2
          clang libclang-rt-14-dev time
          desktop-file-utils shared-mime-info xdg-utils libglib2.0-bin poppler-utils appstream
          at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus dbus-x11 xvfb xauth qt6-qpa-plugins)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
