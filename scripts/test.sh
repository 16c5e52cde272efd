#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh tests
# No function of src/ longer than 100 lines.
python3 scripts/function-lengths.py
scripts/build.sh
# A printer queue for the printing test, where CUPS can be started here.
VX_PRINT_OUT="$(scripts/print-queue.sh)"
export VX_PRINT_OUT
cd build
ctest --output-on-failure -j "$(nproc)"
