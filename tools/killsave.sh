#!/bin/bash
# Kills saves at random moments and checks what each leaves: the file must be whole (all old or
# all new) or reported by qs_juv_check as interrupted-save; the next save must then leave no copy
# but the one the checker named, kept read-only, and the file must no longer be reported.
# Half the saves replace the file by rename, half rewrite it in place (it has a second hard link);
# half of the latter are killed while the rewrite runs, the rest at a random moment of the save.
#
#   tools/killsave.sh [seed [count]]     defaults: a random seed, 200 kills
#
# BUILD_DIR names the build folder (default: build); the two programs are built first.
set -euo pipefail

source "$(dirname "$0")/saverun.sh"

# Old and new differ at every offset, so that any mix of them is neither.
# The new content is the shorter: a rewrite cut short before its truncation leaves the old tail.
head -c 1000000 /dev/zero | tr '\0' 'o' >"$work/old"
head -c 400000 /dev/zero | tr '\0' 'n' >"$work/new"
# Kills fall anywhere within the time one whole save takes here, start-up included.
mkdir "$work/time"
cp "$work/old" "$work/time/q.cfg"
ln "$work/time/q.cfg" "$work/time/link"
start=$(date +%s%N)
"$save" "$work/time/q.cfg" <"$work/new"
span=$(( ($(date +%s%N) - start) / 1000000 + 1 ))
declare -A seen=()
for ((i = 0; i < count; i++)); do
    dir=$work/d$i
    mkdir "$dir"
    cp "$work/old" "$dir/q.cfg"
    mode=rename
    if (( RANDOM % 2 )); then
        ln "$dir/q.cfg" "$dir/link"
        mode=in-place
    fi
    "$save" "$dir/q.cfg" <"$work/new" 2>/dev/null &
    pid=$!
    if [[ $mode == in-place ]] && (( RANDOM % 2 )); then
        # Into the few milliseconds of the rewrite itself: once the new content shows at the start
        # of the file, or a random number of turns after the old content's copy appears (builtins
        # only, no process to start).
        if (( RANDOM % 2 )); then
            first=o
            while [[ $first == o ]] && kill -0 "$pid" 2>/dev/null; do
                IFS= read -r -n1 first <"$dir/q.cfg" || true
            done
        else
            while kill -0 "$pid" 2>/dev/null && ! compgen -G "$dir/.qs_juv-old-*" >/dev/null; do :; done
            for ((turn = RANDOM % 400; turn > 0; turn--)); do :; done
        fi
    else
        delay=$(( RANDOM % span ))
        sleep "$(( delay / 1000 )).$(printf '%03d' $(( delay % 1000 )))"
    fi
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true

    # Interrupted: the old content must be whole in the file or in the copy the checker names.
    copy=$(find "$dir" -name '.qs_juv-old-*' -print -quit)
    report=$("$check" --json "$dir/q.cfg" || true) # 1: not every file is ok
    if [[ $report == *'"verdict": "interrupted-save"'* ]]; then
        state=interrupted
        cmp -s "$dir/q.cfg" "$work/old" || cmp -s "$copy" "$work/old" || {
            echo "killsave.sh: seed $seed, kill $i ($mode): interrupted, and the old content is nowhere whole" >&2
            exit 1
        }
    elif cmp -s "$dir/q.cfg" "$work/old"; then
        state=old
    elif cmp -s "$dir/q.cfg" "$work/new"; then
        state=new
    else
        echo "killsave.sh: seed $seed, kill $i ($mode): the file is neither old nor new, and the checker does not say so" >&2
        exit 1
    fi
    # Another save completes and takes every copy of its own with it, but the one the user may
    # have been told of: that stays, whole and read-only, and no longer says the file is interrupted.
    "$save" "$dir/q.cfg" <"$work/new"
    kept=0
    if [[ $state == interrupted ]]; then
        again=$("$check" --json "$dir/q.cfg" || true)
        if [[ $(stat -c %a "$copy") != 400 || $again == *interrupted-save* ]] || ! cmp -s "$copy" "$work/old"; then
            echo "killsave.sh: seed $seed, kill $i ($mode): the next save did not keep $copy read-only, or the file is still reported" >&2
            exit 1
        fi
        kept=1
    fi
    leftovers=$(find "$dir" -name '.qs_juv-*' | wc -l)
    if (( leftovers != kept )) || ! cmp -s "$dir/q.cfg" "$work/new"; then
        echo "killsave.sh: seed $seed, kill $i ($mode): the next save left $leftovers copies" >&2
        exit 1
    fi
    seen[$mode-$state]=$(( ${seen[$mode-$state]:-0} + 1 ))
    rm -rf "$dir"
done
for key in $(printf '%s\n' "${!seen[@]}" | sort); do
    printf '%s %d\n' "$key" "${seen[$key]}"
done
echo "killsave.sh: seed $seed, $count kills within ${span} ms: every file whole or reported"
