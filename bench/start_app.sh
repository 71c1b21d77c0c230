# Sourced by the benches that drive the real application: a private HOME, the
# local stand-in on a free port with a signed-up account, and Ormil started
# and signed in. Expects $build (the build folder); sets $work, $log, $app
# and ORMIL_API_BASE. Settings to start with may be put into
# "$XDG_CONFIG_HOME/Ormil/settings.json" by the caller through $initial_settings.
work=$(mktemp -d /tmp/ormil-bench.XXXXXX)
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
# Private temporary and cache folders too: another copy started meanwhile
# (another bench) would take the recordings in shared ones for leftovers.
export TMPDIR="$work/tmp" XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$HOME" "$TMPDIR"
if [ -n "${initial_settings:-}" ]; then
  mkdir -p "$XDG_CONFIG_HOME/Ormil"
  printf '%s\n' "$initial_settings" >"$XDG_CONFIG_HOME/Ormil/settings.json"
fi
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
# The sign-in ends with the main window up; a text field takes the keyboard
# after it.
until xdotool search --onlyvisible --name '^Ormil$' >/dev/null 2>&1; do sleep 0.1; done
