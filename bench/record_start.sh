#!/usr/bin/env bash
# Key press to the recorder running, idle and with every core busy, beside
# parec's own start-up; see bench/record_start.py. Volume ducking is on, so
# the volume read of the start is part of what is measured.
# Run inside the test environment:
#   scripts/with-test-env bench/record_start.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
build=$(cd "$build" && pwd)
initial_settings='{"audioDucking": 1, "duckingLevel": 50}'
. "$here/start_app.sh"
python3 "$here/record_start.py" "$log"
