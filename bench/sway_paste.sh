#!/usr/bin/env bash
# On a headless sway: the stop command (a key binding's release) to the whole
# dictated text in a Wayland-native text field of another process, against
# wtype typing the same text, for 300 and 1,500 characters of mixed text;
# see bench/sway_paste.py. Runs its own sway through scripts/with-wayland-env:
#   bench/sway_paste.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
if [ "${ORMIL_WAYLAND_DESKTOP:-}" != sway ]; then
  export ORMIL_BUILD_DIR=$build
  exec "$here/../scripts/with-wayland-env" sway "$0" "$build"
fi
. "$here/start_app.sh"
python3 "$here/sway_paste.py" "$ORMIL_API_BASE" "$log" "$build"
