#!/usr/bin/env bash
# Walks the running program through the real AT-SPI bus, as a screen reader would: a session bus
# and an X server of its own, the accessibility bus on it, Qt's bridge switched on.
# Usage: atspi_smoke.sh PROGRAM. Exit status 77 (skipped) only when a piece is missing.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
# Debian's interpreter: python3-pyatspi installs there, whatever python3 comes first in PATH.
python=/usr/bin/python3

skip() { echo "SKIP: $1 is missing (scripts/deps.sh installs it)"; exit 77; }

if [ "${1:-}" != --inside ]; then
    command -v Xvfb >/dev/null || skip "Xvfb (xvfb)"
    command -v dbus-run-session >/dev/null || skip "dbus-run-session (dbus)"
    [ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi-bus-launcher (at-spi2-core)"
    [ -x "$python" ] && "$python" -c 'import pyatspi' 2>/dev/null || skip "pyatspi (python3-pyatspi)"
    [ -x "$program" ] || { echo "FAIL: no program at $program"; exit 1; }
    exec dbus-run-session -- bash "$0" --inside "$program"
fi
program=$2

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A free display, told by the server itself.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

/usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$work/bus.log" &
pids+=($!)
# The registry is started on the first call to it; on a loaded machine that first call can time
# out while the program asks too, and the program never shows up. Start it and wait for it first.
registry_up() {
    local address
    address=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null) || return 1
    dbus-send --bus="${address// /}" --print-reply --reply-timeout=10000 --dest=org.a11y.atspi.Registry \
        /org/a11y/atspi/registry org.freedesktop.DBus.Peer.Ping >/dev/null 2>&1
}
for _ in $(seq 100); do registry_up && break; sleep 0.2; done
registry_up || { echo "FAIL: the accessibility registry did not start"; cat "$work/bus.log"; exit 1; }

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
exec 4>&-
"$python" "$here/atspi_smoke.py" "$program" "$work"
