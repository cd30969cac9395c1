#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# scripts/demo under a real X server: the window comes up against the virtual
# device and takes typing, Alt+X exits, the device stops and nothing is left
# behind in the user's settings or in the temporary folder.
set -euo pipefail
root=${1:?source folder} build=${2:?build folder}
for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/home/.config" TMPDIR="$sandbox/tmp"
export XDG_RUNTIME_DIR="$sandbox/run"
# A real X server this time, whatever the other tests use.
export QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    set -euo pipefail
    "$0/scripts/demo" "$1" >"$TMPDIR/demo.log" 2>&1 &
    demo=$!
    wid=$(timeout 30 xdotool search --sync --name "^Brovik$" | head -n 1) || true
    [ -n "$wid" ] || { echo "the window did not appear:"; cat "$TMPDIR/demo.log"; exit 1; }
    sleep 0.5
    # No window manager runs here: give the window the focus, then type.
    xdotool windowfocus --sync "$wid" 2>/dev/null
    # The demo ticks CR: Enter sends ATZ with it, as the README tells.
    xdotool type "ATZ" 2>/dev/null
    xdotool key Return 2>/dev/null
    sleep 1
    xdotool key alt+x 2>/dev/null
    timeout 20 bash -c "while kill -0 $demo 2>/dev/null; do sleep 0.1; done"
    wait "$demo"
' "$root" "$build"

device_pid=$(sed -n 's/.*(process \([0-9]*\)) is COM1.*/\1/p' "$TMPDIR/demo.log")
[ -n "$device_pid" ] || { echo "FAIL: no device line"; cat "$TMPDIR/demo.log"; exit 1; }
if kill -0 "$device_pid" 2>/dev/null; then
    echo "FAIL: the virtual device (process $device_pid) still runs after the demo"
    exit 1
fi
if [ -n "$(ls -A "$TMPDIR" | grep -v '^demo.log$' || true)" ]; then
    echo "FAIL: the demo left something behind: $(ls -A "$TMPDIR")"
    exit 1
fi
if [ -e "$XDG_CONFIG_HOME/Brovik" ]; then
    echo "FAIL: the demo wrote the user's settings"
    exit 1
fi
echo "demo started and stopped cleanly"
