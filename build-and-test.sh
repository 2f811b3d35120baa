#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; fuzzes the file reader; then
# builds and runs every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQS_JUV_WERROR="${QS_JUV_WERROR:-OFF}"
cmake --build "$root/build"
ctest --test-dir "$root/build" --output-on-failure

# A minute of fuzzing the file reader; a crash or a broken property fails the run.
"$root/fuzz/run.sh" 60

# Any sanitizer report ends its test at once and fails the run.
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQS_JUV_SANITIZE=ON -DQS_JUV_WERROR="${QS_JUV_WERROR:-OFF}"
cmake --build "$root/build-asan"
ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
    ctest --test-dir "$root/build-asan" --output-on-failure

