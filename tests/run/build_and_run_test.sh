#!/usr/bin/env bash
# README's first command on this build: it must start the program, with the arguments given.
set -euo pipefail
root=$1
export QS_JUV_BUILD_DIR=$2
# The started program remembers folders: never in the user's settings.
export XDG_CONFIG_HOME=$(mktemp -d) XDG_STATE_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

version=$("$root/build-and-run.sh" --version) || fail "--version exited with $?"
[ "$version" = "qs_juv 4e" ] || fail "--version printed '$version'"

# With no arguments the window comes up and stays until it is closed.
"$root/build-and-run.sh" & pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the program ended at once with status $?"; }
kill "$pid"; wait "$pid" 2>/dev/null || true
echo "build-and-run.sh: --version and a start with no arguments work"
