#!/usr/bin/env bash
# The main job: installs what a fresh machine lacks, builds the plug-in and the
# command-line host, and runs the host against the plug-in. Arguments go to marl-host.
set -euo pipefail
cd "$(dirname "$0")/.."
SKIP_WINE=1 scripts/install-deps.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc 2>/dev/null || echo 2)" --target marl-host MarlJ1939 >/dev/null
exec build/linux/bin/marl-host "$@"
