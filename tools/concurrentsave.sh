#!/bin/bash
# Saves and checks that run at once, as two programs of two users may:
#  * two saves of one file through its two hard-link names, started a random moment apart: each
#    must succeed or fail with its reason, and the file must then be whole (one of the two
#    contents, the same through both names), with no copy left beside it;
#  * two checkers started at once on a file whose save was killed while rewriting it in place
#    (stopped at a random one of its steps by qs_juv_savefile --stop-at, then killed): both must
#    report it as interrupted-save exactly when the old content's copy is there.
#
#   tools/concurrentsave.sh [seed [count]]     defaults: a random seed, 200 rounds of each
#
# BUILD_DIR names the build folder (default: build); the two programs are built first.
set -euo pipefail

source "$(dirname "$0")/saverun.sh"

fail() {
    echo "concurrentsave.sh: seed $seed, round $i: $*" >&2
    exit 1
}

# Contents that differ at every offset and in length, so that any mix is none of them.
head -c 1000000 /dev/zero | tr '\0' 'o' >"$work/old"
head -c 400000 /dev/zero | tr '\0' 'a' >"$work/a"
head -c 600000 /dev/zero | tr '\0' 'b' >"$work/b"
declare -A seen=()
for ((i = 0; i < count; i++)); do
    dir=$work/d$i
    mkdir "$dir"
    cp "$work/old" "$dir/q.cfg"
    ln "$dir/q.cfg" "$dir/other.cfg"
    # Either content through either name, either first.
    order=(a b)
    (( RANDOM % 2 )) && order=(b a)
    "$save" "$dir/q.cfg" <"$work/${order[0]}" 2>"$dir/a.err" &
    first=$!
    for ((turn = RANDOM % 2000; turn > 0; turn--)); do :; done
    "$save" "$dir/other.cfg" <"$work/${order[1]}" 2>"$dir/b.err" &
    second=$!
    outcome=
    for pid in "$first" "$second"; do
        if wait "$pid"; then outcome+=saved,; else outcome+=failed,; fi
    done
    [[ $outcome == saved,saved, ]] || [[ -s $dir/a.err || -s $dir/b.err ]] || fail "a save failed without a reason"
    cmp -s "$dir/q.cfg" "$dir/other.cfg" || fail "the two names differ"
    if cmp -s "$dir/q.cfg" "$work/a"; then state=a
    elif cmp -s "$dir/q.cfg" "$work/b"; then state=b
    elif cmp -s "$dir/q.cfg" "$work/old"; then state=old
    else fail "the file is a mix ($outcome)"
    fi
    [[ -z $(find "$dir" -name '.qs_juv-*' -print -quit) ]] || fail "a copy was left ($outcome)"
    [[ $state == "${order[1]}" ]] && last=second || last=first
    key="two saves ${outcome%,}, the ${last}'s content"
    [[ $state == old ]] && key="two saves ${outcome%,}, the old content"
    seen[$key]=$(( ${seen[$key]:-0} + 1 ))

    # A save stopped at one of its steps in place, then killed there.
    cp "$work/old" "$dir/k.cfg"
    ln "$dir/k.cfg" "$dir/k-link"
    steps=(sync:1 write:2 sync:2)
    step=${steps[RANDOM % 3]}
    "$save" --stop-at "$step" "$dir/k.cfg" <"$work/a" &
    pid=$!
    until [[ $(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null) == T ]]; do
        kill -0 "$pid" 2>/dev/null || fail "the save did not stop at $step"
    done
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    "$check" --json "$dir/k.cfg" >"$dir/1.json" 2>/dev/null &
    one=$!
    "$check" --json "$dir" >"$dir/2.json" 2>/dev/null &
    two=$!
    wait "$one" "$two" || true
    copy=$(find "$dir" -name '.qs_juv-old-*' -print -quit)
    said=0
    for report in "$dir/1.json" "$dir/2.json"; do
        grep -q '"verdict": "interrupted-save"' "$report" && said=$(( said + 1 ))
    done
    if [[ -n $copy ]]; then
        (( said == 2 )) || fail "killed at $step: $said of two checkers report the interrupted save"
        cmp -s "$copy" "$work/old" || fail "killed at $step: the copy is not the old content"
    else
        (( said == 0 )) && cmp -s "$dir/k.cfg" "$work/old" || fail "killed at $step before any copy, and the file is not whole"
    fi
    seen["checkers after a kill at $step: $said of 2 interrupted"]=$(( ${seen["checkers after a kill at $step: $said of 2 interrupted"]:-0} + 1 ))
    rm -rf "$dir"
done
for key in "${!seen[@]}"; do
    printf '%s: %d\n' "$key" "${seen[$key]}"
done | sort
echo "concurrentsave.sh: seed $seed, $count rounds: no mix, no copy left, every interrupted save reported by both checkers"
