#!/usr/bin/env bash
# Builds the libFuzzer target with clang and runs it on a copy of the committed seed corpus.
# Usage: fuzz/run.sh [seconds]   (default 60; new inputs and crashes land in build-fuzz/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQS_JUV_FUZZ=ON -DQS_JUV_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_questionnaire

# The committed corpus stays as it is: the fuzzer grows a working copy.
work="$build/corpus"
artifacts="$build/artifacts"
rm -rf "$work"
mkdir -p "$work" "$artifacts"
cp "$root"/fuzz/corpus/* "$work"/

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$build/fuzz/fuzz_questionnaire" "$work" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/"
