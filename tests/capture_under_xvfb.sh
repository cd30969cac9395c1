#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A capture as a user makes one: Brovik under a real X server with
# --capture FILE and the raw capture chosen, while the virtual device
# streams; the log window opened with Ctrl+L, Alt+X to exit. The file must
# hold exactly the bytes the device says it sent.
set -euo pipefail
root=${1:?source folder} build=${2:?build folder}
for tool in xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

sandbox=$(mktemp -d)
device_pid=""
cleanup() {
    [ -n "$device_pid" ] && kill "$device_pid" 2>/dev/null || true
    rm -rf "$sandbox"
}
trap cleanup EXIT
export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/home/.config" TMPDIR="$sandbox/tmp"
export XDG_RUNTIME_DIR="$sandbox/run" QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$TMPDIR" "$XDG_CONFIG_HOME/Brovik"
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$build/tools/brovik-virtual-device" --stream 20000 --seconds 3 \
    >"$sandbox/device.out" 2>"$sandbox/device.err" &
device_pid=$!
for _ in $(seq 100); do
    path=$(head -n 1 "$sandbox/device.out" 2>/dev/null || true)
    [ -n "$path" ] && break
    sleep 0.05
done
[ -n "$path" ] || { echo "FAIL: the virtual device did not start"; cat "$sandbox/device.err"; exit 1; }
printf '[Ports]\nCOM1=%s\n[Log]\nCaptureRaw=1\n' "$path" >"$XDG_CONFIG_HOME/Brovik/Brovik.ini"
chmod 600 "$XDG_CONFIG_HOME/Brovik/Brovik.ini"
capture="$sandbox/capture.bin"

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    build=$0 capture=$1 device=$2 out=$3
    "$build/brovik" --capture "$capture" >"$out/brovik.log" 2>&1 &
    brovik=$!
    wid=$(timeout 30 xdotool search --sync --name "^Brovik$" | head -n 1) || true
    [ -n "$wid" ] || { echo "FAIL: the window did not appear"; cat "$out/brovik.log"; exit 1; }
    xdotool windowfocus --sync "$wid" 2>/dev/null
    xdotool key ctrl+l 2>/dev/null
    timeout 10 xdotool search --sync --name "^Brovik Log$" >/dev/null ||
        { echo "FAIL: Ctrl+L opened no log window"; exit 1; }
    # The stream ends by itself; two more ticks take in its last bytes.
    timeout 20 bash -c "while kill -0 $device 2>/dev/null; do sleep 0.1; done"
    sleep 1.2
    xdotool windowfocus --sync "$wid" 2>/dev/null
    xdotool key alt+x 2>/dev/null
    timeout 20 bash -c "while kill -0 $brovik 2>/dev/null; do sleep 0.1; done"
    wait "$brovik"
' "$build" "$capture" "$device_pid" "$sandbox"
wait "$device_pid" || true
device_pid=""

sent=$(sed -n 's/^sent \([0-9]*\) bytes$/\1/p' "$sandbox/device.err")
[ -n "$sent" ] && [ "$sent" -gt 0 ] || { echo "FAIL: the device sent nothing"; cat "$sandbox/device.err"; exit 1; }
# The stream's text: numbered lines, each ending in CR LF.
awk -v n=$((sent / 50 + 1)) \
    'BEGIN { for (i = 0; i < n; i++) printf "line %06d abcdefghijklmnopqrstuvwxyz0123456789\r\n", i }' \
    >"$sandbox/stream.txt"
head -c "$sent" "$sandbox/stream.txt" >"$sandbox/expected.bin"
[ -f "$capture" ] || { echo "FAIL: no capture file"; exit 1; }
if ! cmp "$sandbox/expected.bin" "$capture"; then
    echo "FAIL: the capture ($(stat -c %s "$capture") bytes) is not the $sent bytes sent"
    exit 1
fi
mode=$(stat -c %a "$capture")
[ "$mode" = 600 ] || { echo "FAIL: the capture is readable by others (mode $mode)"; exit 1; }
echo "captured all $sent bytes the device sent, exactly"
