#!/usr/bin/env bash
# Times qs_juv_check --quiet over a generated set of questionnaire files against plain cat of the
# same files, and prints the medians and their ratio (aim: at most 1.3). Then the checker's peak
# resident memory (/usr/bin/time -f %M) for a file at the size limit, 512 Ki lines of "a\n", the
# shape that costs the reader most per byte, and for trees of empty *.cfg files: many files deep
# down, many in one folder, and 300,000 of the longest names in one folder (aim: under 64 MB each).
#   bench/check_bench.sh [BUILD_DIR]     (default: build; COUNT=10000 RUNS=7 to change)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
count=${COUNT:-10000}
runs=${RUNS:-7}

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target qs_juv_check qs_juv_check_gen >/dev/null
check=$build/src/check/qs_juv_check

dir=$(mktemp -d "${TMPDIR:-/tmp}/qs_juv_bench.XXXXXX")
trap 'rm -rf "$dir"' EXIT
"$build/bench/qs_juv_check_gen" "$dir/files" "$count"
limit_file=$dir/limit.cfg
awk 'BEGIN { for (i = 0; i < 512 * 1024; ++i) print "a" }' >"$limit_file"

run_check() {
    # 1 only says that damaged files were found, which they were made to be.
    local status=0
    "$check" --quiet "$dir/files" >/dev/null || status=$?
    [[ $status -le 1 ]] || { echo "qs_juv_check failed with status $status" >&2; exit 1; }
}
run_cat() {
    find "$dir/files" -name '*.cfg' -exec cat {} + >/dev/null
}

# Milliseconds of one run, to three decimals.
timed() {
    local start end
    start=$(date +%s%N)
    "$@"
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f\n", ns / 1e6 }'
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One untimed round each, so both start from a warm page cache.
run_check
run_cat

# Processor milliseconds (user + system, children included) of one run: other jobs on the
# machine stretch wall time, and the many cat processes more than the one checker.
cpu_timed() {
    local TIMEFORMAT='%U %S'
    { time "$@"; } 2>&1 | awk '{ printf "%.0f\n", ($1 + $2) * 1000 }'
}

check_times=()
cat_times=()
check_cpu=()
cat_cpu=()
for ((i = 0; i < runs; ++i)); do
    check_times+=("$(timed run_check)")
    cat_times+=("$(timed run_cat)")
    check_cpu+=("$(cpu_timed run_check)")
    cat_cpu+=("$(cpu_timed run_cat)")
done

check_ms=$(printf '%s\n' "${check_times[@]}" | median)
cat_ms=$(printf '%s\n' "${cat_times[@]}" | median)
check_cpu_ms=$(printf '%s\n' "${check_cpu[@]}" | median)
cat_cpu_ms=$(printf '%s\n' "${cat_cpu[@]}" | median)
found=$("$check" --quiet "$dir/files" 2>/dev/null | tail -n 1 || true)

echo "files:            $count ($found)"
echo "runs:             $runs, interleaved, after one warm-up run each"
echo "qs_juv_check --quiet DIR:                       median ${check_ms} ms  (${check_times[*]})"
echo "find DIR -name '*.cfg' -exec cat {} + >/dev/null: median ${cat_ms} ms  (${cat_times[*]})"
awk -v a="$check_ms" -v b="$cat_ms" 'BEGIN { r = a / b; printf "ratio:            %.2f (aim: at most 1.3) %s\n", r, (r <= 1.3 ? "met" : "NOT MET") }'
echo "processor time (user + system), medians: qs_juv_check ${check_cpu_ms} ms, find + cat ${cat_cpu_ms} ms"
awk -v a="$check_cpu_ms" -v b="$cat_cpu_ms" 'BEGIN { printf "processor time ratio: %.2f\n", a / b }'
echo "load average:     $(cut -d' ' -f1-3 /proc/loadavg)"

# Verdict no-model-id (status 1) is expected: the lines hold no questionnaire.
peak_kb() { { /usr/bin/time -f %M "$check" --quiet "$@" 2>&1 >/dev/null || true; } | tail -n 1; }
limit_kb=$(peak_kb "$limit_file")
small_kb=$(peak_kb "$root/tests/data/profile-reference/out1.cfg")
echo "peak RSS, /usr/bin/time -f %M qs_juv_check --quiet FILE:"
echo "  512 Ki lines of a\\n (1 MiB, the limit): ${limit_kb} kB"
echo "  a saved questionnaire (for the floor):   ${small_kb} kB"
awk -v k="$limit_kb" 'BEGIN { printf "  aim: under 64 MB (65536 kB) %s\n", (k < 65536 ? "met" : "NOT MET") }'

# COUNT empty *.cfg files spread evenly over a chain of DEPTH nested folders named d.
make_tree() {
    local folder=$1 count=$2 depth=$3 i j
    local per=$((count / depth))
    for ((i = 0; i < depth; ++i)); do
        folder=$folder/d
        mkdir "$folder"
        for ((j = 0; j < per; ++j)); do
            : >"$folder/f$j.cfg"
        done
    done
}
echo "peak RSS, /usr/bin/time -f %M qs_juv_check --quiet DIR, trees of empty files:"
for shape in "4000 600" "20000 1000" "100000 1"; do
    read -r files depth <<<"$shape"
    rm -rf "$dir/tree"
    mkdir "$dir/tree"
    make_tree "$dir/tree" "$files" "$depth"
    kb=$(peak_kb "$dir/tree")
    printf '  %6d files in a chain of %4d folders: %6d kB  aim: under 64 MB %s\n' "$files" "$depth" "$kb" \
        "$( ((kb < 65536)) && echo met || echo 'NOT MET')"
done

# Names of 251 bytes, as long as a name goes with room to spare: more than the walk sorts, so that
# folder is taken in its listing order (stderr says so).
wide=${WIDE:-300000}
rm -rf "$dir/tree"
mkdir "$dir/tree"
python3 - "$dir/tree" "$wide" <<'PY'
import os, sys
for i in range(int(sys.argv[2])):
    name = "%07d" % i + "x" * 240 + ".cfg"
    os.close(os.open(os.path.join(sys.argv[1], name), os.O_CREAT | os.O_WRONLY, 0o644))
PY
kb=$(peak_kb "$dir/tree")
printf '  %6d names of 251 bytes in one folder:   %6d kB  aim: under 64 MB %s\n' "$wide" "$kb" \
    "$( ((kb < 65536)) && echo met || echo 'NOT MET')"
