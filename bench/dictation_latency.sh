#!/usr/bin/env bash
# Key-up to the whole dictated text in a text field of another process (a
# Tk entry that reports its contents), for 300 and 1,500 characters of mixed
# text, median of 10 each, with the local stand-in answering at once; see
# bench/paste_latency.py. Also prints the idle memory of the running app.
# Run inside the test environment:
#   scripts/with-test-env bench/dictation_latency.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
build=$(cd "$build" && pwd)
. "$here/start_app.sh"
sleep 3
rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$app/status")

python3 "$here/paste_latency.py" "$ORMIL_API_BASE" "$log"
awk -v kb="$rss_kb" 'BEGIN { printf "idle memory of the running app: %.1f MB RSS\n", kb / 1024 }'
