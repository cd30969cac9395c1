#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The windows as a screen reader sees them: brovik under a real X server with
# its accessibility bridge on a private AT-SPI bus, read and driven through
# pyatspi (tests/atspi_check.py). Skips only when a tool is missing.
set -euo pipefail
root=${1:?source folder} build=${2:?build folder}
python=/usr/bin/python3 # Debian's, where python3-pyatspi lives
for tool in xvfb-run dbus-run-session xdotool "$python"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x /usr/libexec/at-spi-bus-launcher ] ||
    { echo "SKIP: at-spi2-core is not installed"; exit 77; }
"$python" -c 'import pyatspi' 2>/dev/null ||
    { echo "SKIP: python3-pyatspi is not installed"; exit 77; }

sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/home/.config" TMPDIR="$sandbox/tmp"
export XDG_RUNTIME_DIR="$sandbox/run"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS
mkdir -p "$HOME" "$TMPDIR"
mkdir -m 700 "$XDG_RUNTIME_DIR"

xvfb-run -a -s "-screen 0 1024x768x24" \
    dbus-run-session -- "$python" "$root/tests/atspi_check.py" "$build/brovik"
