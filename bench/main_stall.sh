#!/usr/bin/env bash
# The main thread's longest stall during a whole dictation and with the sound
# server stopped at the press; see bench/main_stall.py.
# Run inside the test environment:
#   scripts/with-test-env bench/main_stall.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
build=$(cd "$build" && pwd)
. "$here/start_app.sh"
sleep 2
python3 "$here/main_stall.py" "$ORMIL_API_BASE" "$log" "$app"
