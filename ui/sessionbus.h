// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a session bus may be reached at all: its address is given, the
// user's bus socket is in the runtime folder, or there is an X display on
// which the bus library may find or start one. Without any of them, asking
// Qt for the bus only costs time and memory before it fails.
bool sessionBusWithinReach();
