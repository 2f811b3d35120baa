#!/usr/bin/env bash
# Start-up of the real form against a window of the same size with one caption and an empty one,
# each a whole process: instructions (callgrind, when valgrind is installed), wall time and peak
# memory, on the offscreen platform and, when Xvfb is installed, under X11; then the save/load
# round trip through the form.
#   bench/run.sh [RUNS]   (default 21 timed runs of each start program, interleaved)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
runs=${1:-21}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_start_form bench_start_bare bench_start_dialogs bench_start_caption bench_roundtrip >/dev/null

work=$(mktemp -d)
xvfb=""
cleanup() {
    [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# One run of a start program: wall microseconds and peak resident kilobytes.
run_once() {
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time" "$build/bench/bench_start_$1" >/dev/null 2>&1
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(tail -n 1 "$work/time")"
}

# Instructions of one run under callgrind (repeatable to a few tenths of a percent).
instructions() {
    valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" "$build/bench/bench_start_$1" 2>&1 >/dev/null \
        | sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The form against the one-caption window and the empty one: what unit divisor aim form caption bare
report() {
    awk -v what="$1" -v unit="$2" -v div="$3" -v aim="$4" -v f="$5" -v c="$6" -v b="$7" 'BEGIN {
        r = f / c
        verdict = aim == "" ? "" : sprintf(" (aim: at most %s, %s)", aim, r <= aim + 0 ? "met" : "NOT MET")
        printf "  %-14s form %6.1f %s, one caption %6.1f, bare %6.1f; form/caption %.2f%s, form/bare %.2f\n",
            what, f / div, unit, c / div, b / div, r, verdict, f / b }'
}

# Every measure on the platform QT_QPA_PLATFORM names.
measure() {
    local programs=(form caption bare dialogs) p t m
    declare -A us kb ir
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
    echo "QT_QPA_PLATFORM=$QT_QPA_PLATFORM: $runs timed runs of each, interleaved, after one warm-up run each"
    if command -v valgrind >/dev/null; then
        for p in form caption bare; do ir[$p]=$(instructions "$p"); done
        report instructions M 1e6 1.2 "${ir[form]}" "${ir[caption]}" "${ir[bare]}"
    else
        echo "  instructions  not counted: valgrind is not installed"
    fi
    declare -A mus mkb
    for p in "${programs[@]}"; do
        mus[$p]=$(tr ' ' '\n' <<<"${us[$p]}" | grep . | median)
        mkb[$p]=$(tr ' ' '\n' <<<"${kb[$p]}" | grep . | median)
    done
    report "wall, median" ms 1000 "" "${mus[form]}" "${mus[caption]}" "${mus[bare]}"
    report "peak RSS, median" MB 1024 1.1 "${mkb[form]}" "${mkb[caption]}" "${mkb[bare]}"
    awk -v t="${mus[dialogs]}" -v m="${mkb[dialogs]}" 'BEGIN {
        printf "  bare window + two file dialogs as the form sets them up: median %.1f ms, %.1f MB\n", t / 1000, m / 1024 }'
}

export QT_QPA_PLATFORM=offscreen
measure
if command -v Xvfb >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb=$!
    for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
    if [[ -s $work/display ]]; then
        echo
        (export DISPLAY=:$(head -n 1 "$work/display") QT_QPA_PLATFORM=xcb; measure)
    else
        echo "X11: Xvfb did not start"
    fi
else
    echo "X11: not measured, Xvfb is not installed"
fi

echo
# The offscreen platform warns once per dialog that it cannot pass size hints on.
QT_QPA_PLATFORM=offscreen "$build/bench/bench_roundtrip" 2>&1 | grep -v -e propagateSizeHints -e XDG_RUNTIME_DIR
