#!/usr/bin/env bash
# The soak in full: scripts/soak.sh [cycles] (default 1000) registers, completes,
# subscribes and unregisters a module over and over while a busy capture keeps the
# receive thread at full rate and the query thread runs, at test time scale 10 so that
# discovery's pauses do not make it an hour. Prints the cycles, the time and resident
# memory after the tenth cycle and after the last; fails when memory grew more than 5%.
set -euo pipefail
cd "$(dirname "$0")/.."

cycles=${1:-1000}
scripts/install-deps.sh
cmake --preset soak >/dev/null
cmake --build --preset soak -j 2
MARL_TIME_SCALE=10 MARL_SOAK_CYCLES="$cycles" build/soak/bin/stress_tests --gtest_filter='*Soak*'
