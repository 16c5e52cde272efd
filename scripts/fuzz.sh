#!/usr/bin/env bash
# Runs every libFuzzer target of the sanitizer build for a bounded time and
# fails on any crash, leak, time-out or sanitizer report. Usage:
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [--update-corpus]
# The starting inputs are fuzz/corpus/<target>; inputs found are gathered in
# build-sanitize/fuzz-found/<target> and, with --update-corpus, merged into the
# repository's corpus. An input that fails is saved in fuzz/regressions/<target>/,
# where the ordinary tests run it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=25
update=0
for arg in "$@"; do
  case "$arg" in
    --update-corpus) update=1 ;;
    *[!0-9]*|'') echo "usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [--update-corpus]" >&2; exit 2 ;;
    *) seconds="$arg" ;;
  esac
done
scripts/deps.sh sanitize
scripts/build-sanitize.sh >/dev/null
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export LC_ALL=C.UTF-8
failed=()
printf '%-22s %10s %10s %8s  %s\n' target executions per-second corpus result
for program in build-sanitize/fuzz/*_libfuzzer; do
  target="$(basename "$program" _libfuzzer)"
  found="build-sanitize/fuzz-found/$target"
  mkdir -p "$found" "fuzz/regressions/$target"
  log="build-sanitize/fuzz-found/$target.log"
  status=0
  "$program" "$found" "fuzz/corpus/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=8192 -print_final_stats=1 -artifact_prefix="fuzz/regressions/$target/" >"$log" 2>&1 || status=$?
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  result=ok
  if [ "$status" -ne 0 ]; then result="FAILED (see $log)"; failed+=("$target"); fi
  rate=$(( ${runs:-0} / (seconds > 0 ? seconds : 1) ))
  printf '%-22s %10s %10s %8s  %s\n' "$target" "${runs:-?}" "$rate" "$(ls "$found" | wc -l)" "$result"
  if [ "$update" -eq 1 ] && [ "$status" -eq 0 ]; then
    merged="$(mktemp -d)"
    "$program" -merge=1 "$merged" "fuzz/corpus/$target" "$found" >/dev/null 2>&1
    rm -rf "fuzz/corpus/$target" && mv "$merged" "fuzz/corpus/$target"
  fi
  rmdir "fuzz/regressions/$target" 2>/dev/null || true
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}; the inputs are in fuzz/regressions/." >&2
  exit 1
fi
