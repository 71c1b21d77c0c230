#!/usr/bin/env bash
# The paste call to the whole text in another process's text field: XTest on
# X11, the remote-desktop portal on headless GNOME and KDE, and wtype typing
# the same text on headless sway. Prints one line per desktop.
#   bench/wayland_paste.sh [BUILD-DIR]
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
bench=$build/bench/bench_wayland_paste
"$here/scripts/with-test-env" "$bench" || echo "X11: failed ($?)"
for desktop in gnome kde sway; do
  "$here/scripts/with-wayland-env" "$desktop" "$bench" || echo "$desktop: failed or skipped ($?)"
done
