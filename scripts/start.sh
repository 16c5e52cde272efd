#!/usr/bin/env bash
# Installs what is missing, builds the program (only what it needs: not the
# tests, fuzzers or benchmarks) and starts it on its built-in defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh VarnexCfg
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display is available (DISPLAY is not set): the program window cannot be shown." >&2
  echo "Run it under a desktop session, or with xvfb-run -a build/bin/VarnexCfg." >&2
  exit 1
fi
exec build/bin/VarnexCfg "$@"
