# Sourced by tools/killsave.sh and tools/concurrentsave.sh: takes [seed [count]] from their
# arguments (a random seed, 200 by default), builds the saving program and the checker in
# BUILD_DIR (default: build) and sets seed, count, save, check and a work folder removed at exit.
name=$(basename "$0")
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
seed=${1:-$(( (RANDOM << 15) | RANDOM ))}
count=${2:-200}
for number in "$seed" "$count"; do
    [[ $number =~ ^[0-9]+$ ]] || { echo "$name: not a whole number: $number" >&2; exit 2; }
done
cmake --build "$build" --target qs_juv_savefile qs_juv_check >/dev/null \
    || { echo "$name: cannot build in $build" >&2; exit 2; }
save=$build/tools/qs_juv_savefile
check=$build/src/check/qs_juv_check
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
RANDOM=$seed
