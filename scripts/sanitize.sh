#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# into build-sanitize/ (with the libFuzzer programs), and runs every test there;
# the first sanitizer report stops the test that made it, and the run fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh tests sanitize
scripts/build-sanitize.sh
VX_PRINT_OUT="$(scripts/print-queue.sh)"
export VX_PRINT_OUT
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
cd build-sanitize
ctest --output-on-failure -j "$(nproc)"
