#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test on a session bus of its own, so that it never meets the user's
# running programs. Usage: on_session_bus.sh PROGRAM [ARGUMENTS...]
set -euo pipefail
command -v dbus-run-session >/dev/null || {
    echo "SKIP: dbus-run-session is not installed (Debian package dbus-daemon)"
    exit 77
}
exec dbus-run-session -- "$@"
