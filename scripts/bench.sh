#!/usr/bin/env bash
# Builds the benchmarks (preset bench, RelWithDebInfo) and prints every figure of
# docs/PERFORMANCE.md side by side, with its goal and how it was taken. Instruction counts
# come from callgrind and repeat from run to run; times depend on the machine's load.
# BENCH_MESSAGES sets the receive path's measured messages (default 20000).
set -euo pipefail
cd "$(dirname "$0")/.."
SKIP_WINE=1 scripts/install-deps.sh >/dev/null
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 >/dev/null
bin=build/bench/bin
logs=${MARL_LOGS:-../shared/data/logs}
[ -d "$logs" ] || logs=/work/shared/data/logs
messages=${BENCH_MESSAGES:-20000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The host's J1939 parser decodes values for the host's screens; it is not ours to count.
host_parser_name='hostsim::(anonymous namespace)::ParseJ1939Msg(int'

row() { printf '%-44s %12s  %-14s %s\n' "$@"; }
baseline() { awk -v k="$1" '$1 == k { print $2 }' bench/baseline.txt; }
ratio() { local b; b=$(baseline "$1"); [ -n "$b" ] && awk -v b="$b" -v a="$2" 'BEGIN { printf "%.2fx less", b / a }'; }
# The replay figures after the receive path work, before the replay's own work.
since_receive_work() {
  local b; b=$(baseline "receive_work_$1")
  [ -n "$b" ] && awk -v b="$b" -v a="$2" 'BEGIN { printf ", %.2fx less than after the receive path work (%d)", b / a, b }'
}
totals() { awk '/^totals:/ { print $2 }' "$1"; }

row "Figure" "Value" "Goal" "Method"
for stream in pass throttled; do
  for subs in 10 500 1000; do
    out="$work/receive-$stream-$subs"
    valgrind --tool=callgrind --callgrind-out-file="$out" \
      "$bin/marl_receive_bench" --count "$stream" "$subs" "$messages" >/dev/null 2>"$out.err" || { cat "$out.err"; exit 1; }
    value=$(awk -v t="$(totals "$out.1")" -v n="$messages" 'BEGIN { printf "%.0f", t / n }')
    eval "receive_${stream}_${subs}=$value"
    row "receive, $stream, 8 modules, $subs subscriptions" "$value" "<= 1000" \
      "callgrind instr/message, entry to host parser $(ratio "receive_${stream}_${subs}" "$value")"
  done
  eval "low=\$receive_${stream}_10 high=\$receive_${stream}_1000"
  row "receive, $stream, 1000 vs 10 subscriptions" \
    "$(awk -v l="$low" -v h="$high" 'BEGIN { printf "%+.1f%%", 100 * (h - l) / l }')" "<= +10%" "from the two rows above"
done

for log in "$logs"/*.log; do
  name=$(basename "$log" .candump.log)
  out="$work/replay-$name"
  valgrind --tool=callgrind --callgrind-out-file="$out" --collect-atstart=no \
    --toggle-collect='hostsim::PlayCapture(*' --toggle-collect='hostsim::ReceiveThread::Run()' \
    "$bin/marl-host" replay "$log" --json >"$out.json" 2>/dev/null
  frames=$(sed -n 's/.*"frames": *\([0-9]*\).*/\1/p' "$out.json" | head -1)
  parser=$(callgrind_annotate --inclusive=yes --auto=no --threshold=100 "$out" 2>/dev/null |
    awk -v f="$host_parser_name" 'index($0, f) { gsub(",", "", $1); if ($1 + 0 > m + 0) m = $1 } END { print m + 0 }')
  value=$(awk -v t="$(totals "$out")" -v p="$parser" -v n="$frames" 'BEGIN { printf "%.0f", (t - p) / n }')
  row "replay $name ($frames frames)" "$value" "<= 2000" \
    "callgrind instr/frame, frame in to host parser (its inclusive cost taken off) $(ratio "replay_$name" "$value")$(since_receive_work "replay_$name" "$value")"
done

timing() { awk -v k="$1" '$1 == k { print $2 }' "$work/timing"; }
for what in wakeup discovery shutdown load; do "$bin/marl_timing_bench" "$what" >>"$work/timing"; done
row "answer wake-up p99 (us)" "$(timing wakeup_p99_us)" "<= 100" \
  "release on the receive thread to the sender's return, 2000 rounds (p50 $(timing wakeup_p50_us))"
row "discovery over its pauses and time-outs" "$(timing discovery_over_pct)%" "<= 3%" \
  "$(timing discovery_ms) ms for $(timing discovery_waits_ms) ms of pauses, real time"
row "last unregistration, idle (ms)" "$(timing shutdown_idle_ms)" "<= 200" "query thread running, real time"
row "last unregistration, 20 s settling (ms)" "$(timing shutdown_settling_ms)" "<= 200" \
  "exit event to return; discovery ended $(timing shutdown_settling_discovery_ms) ms after it"
row "4000 frames/s, query thread, 20 subs" "$(timing load_max_backlog)" "no growth" \
  "largest host receive backlog (messages) over 3 s at $(timing load_rate_per_s)/s; drained in $(timing load_drain_ms) ms"
