#!/usr/bin/env bash
# The command-line host as a person meets it: every error path ends in one line on
# standard error and a non-zero exit; a session's JSON document holds what it found; its
# bus log is a can-utils log that log2asc converts and that the host's replay reads back
# to the session's VIN and the codes it cleared.
# Arguments: the marl-host program and the test data folder.
set -u
host=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

fail() {
  echo "FAILED: $*"
  failed=1
}

# expect_error FRAGMENT ARGS...: a non-zero exit and exactly one line holding FRAGMENT.
expect_error() {
  local fragment=$1
  shift
  "$host" "$@" >"$work/out" 2>"$work/err"
  local status=$?
  local lines
  lines=$(wc -l <"$work/err")
  if [ "$status" -eq 0 ] || [ "$lines" -ne 1 ] || ! grep -q -- "$fragment" "$work/err"; then
    fail "marl-host $* gave exit $status and $lines lines on stderr: $(cat "$work/err")"
  fi
}

printf 'no frame here\n' >"$work/junk.log"
printf '{"ecus": [' >"$work/bad.json"
plugin_dir=$(dirname "$host")
expect_error "cannot load" --plugin "$work/missing.so"
expect_error "not a vehicle-application plug-in" --plugin "$(ls "$plugin_dir"/ZORVAPI.* | head -n 1)"
expect_error "not valid JSON" --scenario "$work/bad.json"
expect_error "cannot open the bus log" replay "$work/missing.log"
expect_error "is a folder" replay "$work"
expect_error "holds no CAN frame" replay "$work/junk.log"
expect_error "marl-host:" --playback "$work/missing-folder"
expect_error "marl-host:" --watch -1
expect_error "marl-host:" replay

# A short session on the engine alone, with its bus log, as a JSON document: the
# document alone on standard output, the session's progress on standard error.
if ! "$host" --scenario "$data/trucks/engine-only.json" --watch 0 --no-dpf-test --bus-log "$work/bus.log" \
  --json >"$work/session.json" 2>"$work/session.txt"; then
  fail "the engine-only session: $(tail -n 5 "$work/session.txt")"
fi
grep -q "== Summary" "$work/session.txt" || fail "the session ended without its summary"
session_check='.summary.registered == 1 and .ecus[0].address == 0 and .ecus[0].vin == "1M2TR2407PM004217"
  and ([.ecus[0].faultsFound[] | "\(.spn)/\(.fmi)"] | index("3719/16") != null)
  and .ecus[0].clearing.acknowledged and .ecus[0].activeDtcs == [] and .recording.playedBack'
jq -e "$session_check" "$work/session.json" >/dev/null || fail "the session's JSON document: $(head -c 300 "$work/session.json")"
if command -v log2asc >/dev/null; then
  log2asc -I "$work/bus.log" -O "$work/bus.asc" can0 || fail "log2asc refused the bus log"
  grep -q "Rx" "$work/bus.asc" || fail "log2asc wrote no frame"
else
  fail "log2asc (can-utils) is missing: scripts/install-deps.sh installs it"
fi
"$host" replay "$work/bus.log" >"$work/replay.txt" 2>&1 || fail "replaying the bus log: $(tail -n 3 "$work/replay.txt")"
grep -q "1M2TR2407PM004217" "$work/replay.txt" || fail "the replayed bus log lost the session's VIN"
# The session cleared its codes: the capture's last DM1 lists none, and the replay names
# the codes the earlier DM1s listed.
"$host" replay "$work/bus.log" --json >"$work/replay.json" 2>/dev/null || fail "replaying the bus log as JSON"
replay_check='.ecus[] | select(.address == 0) | .activeDtcs == [] and
  ([.clearedDtcs[] | "\(.spn)/\(.fmi)"] | sort) == ["110/15", "3719/16"]'
jq -e "$replay_check" "$work/replay.json" >/dev/null || fail "the replayed bus log lost the session's DTCs"

exit $failed
