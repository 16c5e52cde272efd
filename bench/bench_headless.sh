#!/usr/bin/env bash
# Headless throughput and peak memory: VarnexCfg --size on files of 10,000 and
# 100,000 accepted requests, in a private home with the sample price list of
# the build (prices on) and without it.
#
#   bench/bench_headless.sh [build folder]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Requests the wizard accepts: every size line with a load it can carry.
python3 - "$work" <<'PY'
import json, random, sys
random.seed(7)
sizes = [8000, 10000, 10000, 15000, 16000, 20000, 20000, 30000, 30000, 30000, 40000, 45000, 60000]
def requests(n):
    out = []
    for i in range(n):
        line = i % len(sizes)
        out.append({"sizeLine": line, "loadPower": random.randint(sizes[line] // 4, sizes[line]),
                    "autonomyMinutes": random.choice([5, 10, 15, 30, 60]),
                    "modularBatteryCabinet": i % 7 != 0 or sizes[line] > 10000})
    return out
for n in (10000, 100000):
    json.dump(requests(n), open(f"{sys.argv[1]}/r{n}.json", "w"))
PY

run() { # home, requests file -> "seconds peak_kB accepted"
    local home="$1" file="$2"
    HOME="$home" XDG_DATA_HOME="$home/.local/share" /usr/bin/time -f "%e %M" -o "$work/time" \
        "$build/bin/VarnexCfg" --size "$file" > "$work/out.json"
    local accepted
    accepted=$(grep -c '^        "ok": true' "$work/out.json" || true)
    echo "$(cat "$work/time") $accepted"
}

mkdir -p "$work/priced/.local/share/Varnex Configurator" "$work/plain"
cp "$build/PriceList.tc" "$work/priced/.local/share/Varnex Configurator/"
printf '%-12s %-10s %10s %12s %14s %10s\n' "price list" requests accepted seconds "requests/s" "peak MB"
for home in priced plain; do
    for n in 10000 100000; do
        read -r seconds peak accepted < <(run "$work/$home" "$work/r$n.json")
        awk -v h="$home" -v n="$n" -v a="$accepted" -v s="$seconds" -v p="$peak" \
            'BEGIN { printf "%-12s %-10d %10d %12.2f %14.0f %10.1f\n", h, n, a, s, n / s, p / 1024 }'
    done
done
