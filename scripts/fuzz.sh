#!/usr/bin/env bash
# Runs the libFuzzer targets long, one after the other, at the lowest priority so that
# the machine stays usable: scripts/fuzz.sh [seconds per target] [target...]
# (default 600 s, every target). MARL_FUZZ_RUNS=N runs each target N executions
# instead. New inputs go to build/fuzz/long/<target>; seeds come from fuzz/corpus/.
# MARL_FUZZ_JOBS=N runs N processes of each target side by side on one corpus, the
# executions shared out between them. A finding stops the run with the target's exit
# status and leaves the input in build/fuzz/findings/. Prints executions and executions
# per second for each target.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_parse_message fuzz_freeze_frame fuzz_fault_request fuzz_recording_reader fuzz_app_config
           fuzz_candump fuzz_transport)
fi

scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2

jobs=${MARL_FUZZ_JOBS:-1}
limit=(-max_total_time="$seconds")
[ -n "${MARL_FUZZ_RUNS:-}" ] && limit=(-runs="$(( (MARL_FUZZ_RUNS + jobs - 1) / jobs ))")
mkdir -p build/fuzz/findings
for target in "${targets[@]}"; do
  mkdir -p "build/fuzz/long/$target"
  started=$SECONDS
  pids=()
  logs=()
  for ((job = 1; job <= jobs; job++)); do
    log="build/fuzz/long/$target.log"
    [ "$jobs" -gt 1 ] && log="build/fuzz/long/$target.$job.log"
    logs+=("$log")
    nice -n 19 "build/fuzz/bin/$target" "${limit[@]}" -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$target-" "build/fuzz/long/$target" "fuzz/corpus/$target" \
      >"$log" 2>&1 &
    pids+=($!)
  done
  status=0
  for pid in "${pids[@]}"; do wait "$pid" || status=$?; done
  execs=$(cat "${logs[@]}" | grep -oE 'number_of_executed_units: [0-9]+' | awk '{n += $2} END {print n + 0}')
  seconds_taken=$((SECONDS - started))
  rate=$(( execs / (seconds_taken > 0 ? seconds_taken : 1) ))
  echo "$target: ${execs:-?} executions in $jobs process(es), $rate exec/s, ${seconds_taken} s, exit $status"
  [ "$status" -eq 0 ] || { echo "finding: see ${logs[*]} and build/fuzz/findings/"; exit "$status"; }
done
