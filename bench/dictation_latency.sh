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
work=$(mktemp -d /tmp/ormil-bench.XXXXXX)
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
"$build/tools/devservice/ormil-devservice" --port "$port" >"$work/service.log" 2>&1 &
service=$!
trap 'kill $service ${app:-} 2>/dev/null || true; rm -rf "$work"' EXIT
export ORMIL_API_BASE="http://127.0.0.1:$port" ORMIL_AUTH_BASE="http://127.0.0.1:$port"
until curl -s "$ORMIL_API_BASE/api/download/version" >/dev/null; do sleep 0.1; done
curl -s -X POST "$ORMIL_API_BASE/__control/accounts" -d '{"email":"bench@ormil.test","password":"pw"}' >/dev/null
curl -s -X POST "$ORMIL_API_BASE/__control/telegram-token" -d '{"token":"bench","email":"bench@ormil.test"}' >/dev/null

export ORMIL_DEBUG_LOG="$work/debug.log"
log=$ORMIL_DEBUG_LOG
"$build/src/ormil" >"$work/app.log" 2>&1 &
app=$!
until grep -q "Hotkey service initialized" "$log" 2>/dev/null; do sleep 0.1; done
"$build/src/ormil" "ormil://auth?token=bench"
until grep -q "ormil_auth_fallback_access_token" "$XDG_CONFIG_HOME/Ormil/settings.json" 2>/dev/null; do sleep 0.1; done
# The sign-in ends with the main window up; the text field takes the
# keyboard after it.
until xdotool search --onlyvisible --name '^Ormil$' >/dev/null 2>&1; do sleep 0.1; done
sleep 3
rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$app/status")

python3 "$here/paste_latency.py" "$ORMIL_API_BASE" "$log"
awk -v kb="$rss_kb" 'BEGIN { printf "idle memory of the running app: %.1f MB RSS\n", kb / 1024 }'
