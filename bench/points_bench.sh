#!/usr/bin/env bash
# Times the verification points of a generated set of questionnaire files: qs_juv_check --points
# (text, JSON and CSV, to /dev/null) against qs_juv_check --quiet over the same files, which reads
# and checks them just the same, so the difference is the points and their output. Medians of
# interleaved runs after one warm-up run, and the peak resident memory of the CSV run.
#   bench/points_bench.sh [BUILD_DIR]     (default: build; COUNT=100000 RUNS=3 to change)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
count=${COUNT:-100000}
runs=${RUNS:-3}

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target qs_juv_check qs_juv_check_gen >/dev/null
check=$build/src/check/qs_juv_check

dir=$(mktemp -d "${TMPDIR:-/tmp}/qs_juv_points.XXXXXX")
trap 'rm -rf "$dir"' EXIT
"$build/bench/qs_juv_check_gen" "$dir/files" "$count"

# Status 1 of the check only says that damaged files were found, which they were made to be.
run() { "$check" "$@" "$dir/files" >/dev/null 2>&1 || [[ $? -le 1 ]]; }
timed() {
    local start end
    start=$(date +%s%N)
    run "$@"
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.0f\n", ns / 1e6 }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

modes=("--quiet" "--points" "--points --json" "--points --csv")
for mode in "${modes[@]}"; do
    # shellcheck disable=SC2086
    run $mode
done
declare -A times
for ((i = 0; i < runs; ++i)); do
    for mode in "${modes[@]}"; do
        # shellcheck disable=SC2086
        times[$mode]+="$(timed $mode) "
    done
done

rows=$("$check" --points --csv "$dir/files" 2>/dev/null | tail -n +2 | wc -l)
echo "files:            $count, $rows points (CSV rows)"
echo "runs:             $runs, interleaved, after one warm-up run each"
for mode in "${modes[@]}"; do
    # shellcheck disable=SC2086
    ms=$(printf '%s\n' ${times[$mode]} | median)
    printf 'qs_juv_check %-16s DIR: median %6s ms  (%s)\n' "$mode" "$ms" "${times[$mode]% }"
done
kb=$({ /usr/bin/time -f %M "$check" --points --csv "$dir/files" 2>&1 >/dev/null || true; } | tail -n 1)
echo "peak RSS of qs_juv_check --points --csv DIR: ${kb} kB"
echo "load average:     $(cut -d' ' -f1-3 /proc/loadavg)"
