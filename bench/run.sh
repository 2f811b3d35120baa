#!/usr/bin/env bash
# Start-up time and peak memory of the real form against a bare window of the same size, each a
# whole process on the offscreen platform, and the save/load round trip through the form.
#   bench/run.sh [RUNS]   (default 21 runs of each start program, interleaved)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
runs=${1:-21}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_start_form bench_start_bare bench_start_dialogs bench_roundtrip >/dev/null
export QT_QPA_PLATFORM=offscreen

out=$(mktemp)
trap 'rm -f "$out"' EXIT

# One run of a start program: wall microseconds and peak resident kilobytes.
run_once() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$out" "$build/bench/bench_start_$1" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(tail -n 1 "$out")"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

programs=(form bare dialogs)
declare -A us kb
for p in "${programs[@]}"; do
    run_once "$p" >/dev/null # warms the page and font caches
    us[$p]="" kb[$p]=""
done
for ((i = 0; i < runs; ++i)); do
    for p in "${programs[@]}"; do
        read -r t m < <(run_once "$p")
        us[$p]+="$t " kb[$p]+="$m "
    done
done
declare -A mus mkb
for p in "${programs[@]}"; do
    mus[$p]=$(tr ' ' '\n' <<<"${us[$p]}" | grep . | median)
    mkb[$p]=$(tr ' ' '\n' <<<"${kb[$p]}" | grep . | median)
done

echo "runs: $runs of each, interleaved, after one warm-up run each; QT_QPA_PLATFORM=offscreen"
awk -v f="${mus[form]}" -v b="${mus[bare]}" -v d="${mus[dialogs]}" 'BEGIN {
    r = f / b
    printf "start, form:                 median %6.1f ms\n", f / 1000
    printf "start, bare window:          median %6.1f ms\n", b / 1000
    printf "start ratio:                 %.2f (aim: at most 1.2) %s\n", r, (r <= 1.2 ? "met" : "NOT MET")
    printf "  bare window + two file dialogs as the form sets them up: median %.1f ms\n", d / 1000 }'
awk -v f="${mkb[form]}" -v b="${mkb[bare]}" -v d="${mkb[dialogs]}" 'BEGIN {
    r = f / b
    printf "peak RSS, form:              median %6.1f MB\n", f / 1024
    printf "peak RSS, bare window:       median %6.1f MB\n", b / 1024
    printf "peak RSS ratio:              %.2f (aim: at most 1.15) %s\n", r, (r <= 1.15 ? "met" : "NOT MET")
    printf "  bare window + two file dialogs as the form sets them up: median %.1f MB\n", d / 1024 }'
echo
# The offscreen platform warns once per dialog that it cannot pass size hints on.
"$build/bench/bench_roundtrip" 2>&1 | grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR
