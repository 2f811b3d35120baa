#!/bin/bash
# Random sessions on the questionnaire form (tests/gui/tst_monkey.cpp) with any seed and length;
# a failure is cut down to a shortest sequence of steps that fails the same way, and printed.
#
#   tools/monkey.sh [steps [seed [runs]]]     defaults: 1000 steps, a random seed, 1 run
#
# Or MONKEY_STEPS, MONKEY_SEED, MONKEY_RUNS (runs take seed, seed+1, ...). MONKEY_SKIP=a,b leaves
# those invariants out; MONKEY_REPLAY=file runs the steps a failure printed (lines "name a b").
# MONKEY_KEEP_GOING=1 goes on with the next seed after a failure and counts the failures at the end.
# BUILD_DIR names the build folder (default: build); the test program is built first.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
steps=${1:-${MONKEY_STEPS:-1000}}
seed=${2:-${MONKEY_SEED:-$(( (RANDOM << 15) | RANDOM ))}}
runs=${3:-${MONKEY_RUNS:-1}}
for number in "$steps" "$seed" "$runs"; do
    [[ $number =~ ^[0-9]+$ ]] || { echo "monkey.sh: not a whole number: $number" >&2; exit 2; }
done

cmake --build "$build" --target tst_monkey >/dev/null || { echo "monkey.sh: cannot build tst_monkey in $build" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One run of the test program; the rest of the environment says what it runs.
monkey() {
    env QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$work/config" \
        QS_JUV_MONKEY_SKIP="${MONKEY_SKIP:-}" "$@" "$build/tests/tst_monkey" randomSessions
}

# Whether the steps in file $1 still crash or hang: the test program cannot shrink these itself.
still_dies() {
    local status=0
    monkey QS_JUV_MONKEY_SEED="$current" QS_JUV_MONKEY_REPLAY="$1" >"$work/try.out" 2>&1 || status=$?
    [[ $status -ne 0 ]] && ! grep -q '^FAIL!' "$work/try.out"
}

# Delta debugging over the lines of $work/steps: drop chunks while the run still dies.
shrink_crash() {
    local parts=2 count chunk start reduced
    while count=$(wc -l <"$work/steps") && ((count >= 2)); do
        chunk=$(( (count + parts - 1) / parts )); reduced=0
        for ((start = 1; start <= count; start += chunk)); do
            sed "${start},$((start + chunk - 1))d" "$work/steps" >"$work/candidate"
            if still_dies "$work/candidate"; then
                mv "$work/candidate" "$work/steps"; parts=$(( parts > 2 ? parts - 1 : 2 )); reduced=1; break
            fi
        done
        if ((!reduced)); then
            ((parts >= count)) && break
            parts=$(( parts * 2 < count ? parts * 2 : count ))
        fi
    done
}

failures=0
for ((run = 0; run < runs; run++)); do
    current=$((seed + run))
    status=0
    monkey QS_JUV_MONKEY_SEED="$current" QS_JUV_MONKEY_STEPS="$steps" QS_JUV_MONKEY_SHRINK=1 \
        QS_JUV_MONKEY_TRACE=1 QS_JUV_MONKEY_REPLAY="${MONKEY_REPLAY:-}" >"$work/out" 2>"$work/trace" || status=$?
    if grep -q '^FAIL!' "$work/out"; then
        echo "seed $current: a shortest failing sequence (replay it with MONKEY_SEED=$current MONKEY_REPLAY=file):"
        sed -n '/^FAIL!/,/^ *Loc:/p' "$work/out" | grep -v '^ *Loc:'
        ((++failures)); [[ ${MONKEY_KEEP_GOING:-0} == 1 ]] && continue
        exit 1
    fi
    if ((status != 0)); then
        echo "seed $current: the test program died (status $status); shrinking the steps it ran"
        grep '^monkey-step ' "$work/trace" | cut -d' ' -f2- >"$work/steps" || true
        cp "$work/trace" "$work/first-trace"
        shrink_crash
        echo "seed $current: a shortest sequence that still dies (MONKEY_SEED=$current MONKEY_REPLAY=file):"
        cat "$work/steps"
        echo "--- what the first run wrote last:"
        grep -v '^monkey-step ' "$work/first-trace" | tail -n 20
        ((++failures)); [[ ${MONKEY_KEEP_GOING:-0} == 1 ]] && continue
        exit 1
    fi
done
if ((failures > 0)); then
    echo "seeds $seed to $((seed + runs - 1)), $steps steps each: $failures of $runs failed"
    exit 1
fi
echo "seeds $seed to $((seed + runs - 1)), $steps steps each: every invariant held"
