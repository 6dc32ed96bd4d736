#!/usr/bin/env bash
# The whole suite: installs what a fresh machine lacks, then builds and runs the tests
# on Linux, under AddressSanitizer with UndefinedBehaviorSanitizer, under
# ThreadSanitizer, and against the 32-bit Windows DLL under Wine. Prints how many tests
# ran in each configuration and how long it took, and exits non-zero when one failed.
# The fuzz configuration builds the libFuzzer targets and runs each briefly from its seeds.
# Set MARL_SKIP=windows,tsan,fuzz,... to leave configurations out.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
skip=",${MARL_SKIP:-},"
summary=()

count_tests() {  # sums the GoogleTest totals (fuzz: the passed targets) of the last CTest run
  local log="build/$1/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || { echo 0; return; }
  if [ "$1" = fuzz ]; then grep -ac 'Test Passed' "$log" || true; return; fi
  { grep -aoE '\[  PASSED  \] [0-9]+ test' "$log" || true; } | awk '{s += $4} END {print s + 0}'
}

failed=0

run_preset() {  # builds and runs one configuration; a failure is recorded, not fatal
  local preset=$1 label=$2 started result
  if [[ "$skip" == *",$preset,"* ]]; then
    summary+=("$label: skipped")
    return
  fi
  started=$SECONDS
  echo "==== $label: configure and build (preset $preset)"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" -j "$jobs"; then
    result="BUILD FAILED"
  else
    echo "==== $label: run"
    if ctest --preset "$preset" --output-on-failure; then
      result="$(count_tests "$preset") tests passed"
    else
      result="TESTS FAILED"
    fi
  fi
  [[ "$result" == *FAILED ]] && failed=1
  local line
  line="$label: $result in $((SECONDS - started)) s"
  echo "==== $line"
  summary+=("$line")
}

run_preset linux "Linux"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_preset asan "Linux, AddressSanitizer + UndefinedBehaviorSanitizer"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_preset tsan "Linux, ThreadSanitizer"
run_preset fuzz "libFuzzer targets, short runs"

if [[ "$skip" != *",windows,"* ]]; then
  export WINEDEBUG=-all
  export WINEPREFIX="${WINEPREFIX:-$HOME/.wine-marl}"
  # One wine server for the whole run: left to itself it exits a few seconds after its
  # last client, and a test starting just then loses its connection ("recvmsg:
  # Connection reset by peer"). A server that is already running cannot be made
  # persistent, so any left over is ended first, and the persistent one is started
  # before anything else starts one.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
  # The first start of a prefix builds it; do that once before tests start in parallel.
  wineboot -i >/dev/null 2>&1 || true
fi
run_preset windows "Windows DLL (i686) under Wine"
if [[ "$skip" != *",windows,"* ]]; then wineserver -k >/dev/null 2>&1 || true; fi

echo
echo "==== Summary (wall time per configuration, $SECONDS s in all)"
for line in "${summary[@]}"; do echo "  $line"; done
exit "$failed"
