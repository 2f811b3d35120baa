#!/usr/bin/env bash
# Start-up time and peak memory of the real form against a bare window of the same size, each a
# whole process on the offscreen platform, and the save/load round trip through the form.
#   bench/run.sh [RUNS]   (default 21 runs of each start program, interleaved)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
runs=${1:-21}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_start_form bench_start_bare bench_start_dialogs bench_start_caption bench_roundtrip >/dev/null
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

programs=(form bare dialogs caption)
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
# One measure of the three programs: the medians, their ratio and whether it meets the aim.
report() { # what unit divisor aim form bare dialogs caption
    awk -v what="$1" -v unit="$2" -v div="$3" -v aim="$4" -v f="$5" -v b="$6" -v d="$7" -v c="$8" 'BEGIN {
        r = f / b
        printf "%-28s median %6.1f %s\n", what ", form:", f / div, unit
        printf "%-28s median %6.1f %s\n", what ", bare window:", b / div, unit
        printf "%-28s %.2f (aim: at most %s) %s\n", what " ratio:", r, aim, (r <= aim + 0 ? "met" : "NOT MET")
        printf "  bare window + two file dialogs as the form sets them up: median %.1f %s\n", d / div, unit
        printf "  bare window + one caption: median %.1f %s; form against it: %.2f\n", c / div, unit, f / c }'
}
report start ms 1000 1.3 "${mus[form]}" "${mus[bare]}" "${mus[dialogs]}" "${mus[caption]}"
report "peak RSS" MB 1024 1.15 "${mkb[form]}" "${mkb[bare]}" "${mkb[dialogs]}" "${mkb[caption]}"
echo
# The offscreen platform warns once per dialog that it cannot pass size hints on.
"$build/bench/bench_roundtrip" 2>&1 | grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR
