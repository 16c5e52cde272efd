#!/usr/bin/env bash
# Runs every benchmark and prints one table: each row a figure with its
# baseline from the same run (or the target it is held to) and their ratio.
#
#   bench/run.sh [build folder]
#
# Start-up and the wizard run use the real program on a virtual X display
# (Xvfb, xcb), as a desktop user starts it; the baseline is a bare Qt window of
# the same size started the same way.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
work="$(mktemp -d)"
xvfb=""
trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT

rows=()
row() { rows+=("$(printf '%-44s %14s %14s %9s  %s' "$1" "$2" "$3" "$4" "$5")"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# --- Start-up to the first idle moment, and a wizard run's peak memory
. scripts/virtual-display.sh
start_virtual_display
export DISPLAY="$display"
home="$work/home"
mkdir -p "$home/.local/share/Varnex Configurator"
printf '[Setup]\r\nCheckUpdates=0\r\n' >"$home/.local/share/Varnex Configurator/VarnexCfg.ini"
start_ms() { # program -> milliseconds from its start to its first idle moment, as it reports them
  HOME="$home" XDG_DATA_HOME="$home/.local/share" QT_QPA_PLATFORM=xcb VARNEX_QUIT_AT_FIRST_IDLE=1 \
    VARNEX_START_NS="$(date +%s%N)" "$1" 2>&1 >/dev/null | sed -n 's/^first idle after \([0-9.]*\) ms$/\1/p'
}
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
start_ms "$build/bin/VarnexCfg" >/dev/null # warm caches first
program_runs=() bare_runs=()
for _ in $(seq 1 31); do
  program_runs+=("$(start_ms "$build/bin/VarnexCfg")")
  bare_runs+=("$(start_ms "$build/bench/bench_bare_window")")
done
program=$(printf '%s\n' "${program_runs[@]}" | median)
bare=$(printf '%s\n' "${bare_runs[@]}" | median)
row "start to painted first idle (median of 31)" "${program} ms" "${bare} ms bare" "$(ratio "$program" "$bare")" "target 1.20"

peak_kb() { awk '/VmHWM/ { print $2 }' "/proc/$1/status"; }
HOME="$home" XDG_DATA_HOME="$home/.local/share" QT_QPA_PLATFORM=xcb "$build/bin/VarnexCfg" >/dev/null 2>&1 &
app=$!
main="$(xdotool search --sync --all --onlyvisible --pid "$app" --name 'Varnex Configurator' | head -1)"
xdotool windowfocus --sync "$main"
xdotool key ctrl+n
sleep 1
for _ in $(seq 1 8); do
  xdotool search --all --onlyvisible --pid "$app" --name '^New configuration$' >/dev/null 2>&1 || break
  xdotool key --delay 150 Return
  sleep 0.3
done
sleep 1
wizard_peak=$(peak_kb "$app")
kill "$app"
wait "$app" 2>/dev/null || true
# The bare window ends at its first idle moment: its peak comes from time(1).
bare_peak=$(QT_QPA_PLATFORM=xcb /usr/bin/time -f '%M' "$build/bench/bench_bare_window" 2>&1 >/dev/null | tail -1)
row "wizard run, peak resident memory" "$((wizard_peak / 1024)) MB" "$((bare_peak / 1024)) MB bare" \
  "$(ratio "$wizard_peak" "$bare_peak")" "target 60 MB"
kill "$xvfb" 2>/dev/null || true
xvfb=""

# --- Sizing, complete results, documents
sizing=$("$build/bench/bench_sizing" | sed -n 's/.*: \([0-9]*\) sizings per second.*/\1/p')
row "sizings per second" "$sizing" "" "" ""
results=$("$build/bench/bench_results" | sed -n 's/.*: \([0-9]*\) results per second.*/\1/p')
row "complete results per second (priced)" "$results" "$sizing sizings" "$(ratio "$results" "$sizing")" ""
documents="$(QT_QPA_PLATFORM=offscreen "$build/bench/bench_documents")"
tables=$(echo "$documents" | awk '/^sizing, drawing and tables/ { print $(NF-1) }')
pdf=$(echo "$documents" | awk '/^PDF report/ { print $(NF-1) }')
word=$(echo "$documents" | awk '/^Word document/ { print $(NF-1) }')
row "PDF document (mean)" "$pdf ms" "$tables ms tables" "$(ratio "$pdf" "$tables")" "target 150 ms"
row "Word document (mean)" "$word ms" "$tables ms tables" "$(ratio "$word" "$tables")" "target 50 ms"

# --- Headless requests, with the sample price list and without
while read -r list n _ _ rate peak; do
  [ "$list" = priced ] || [ "$list" = plain ] || continue
  eval "rate_${list}_$n=$rate peak_${list}_$n=$peak"
done < <(bench/bench_headless.sh "$build")
for n in 10000 100000; do
  eval "rp=\$rate_priced_$n pp=\$peak_priced_$n rn=\$rate_plain_$n pn=\$peak_plain_$n"
  row "headless $n requests per second (priced)" "$rp" "$rn unpriced" "$(ratio "$rp" "$rn")" ""
  row "headless $n requests, peak memory (priced)" "$pp MB" "$pn MB unpriced" "$(ratio "$pp" "$pn")" ""
done

printf '%-44s %14s %14s %9s  %s\n' benchmark figure baseline ratio reference
printf '%s\n' "${rows[@]}"
