// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ComPortMap;

// Whether serial port COMn of the map is present: its device node is there.
// Nothing is opened, so a port held open by this program or another still counts.
bool portExists(const ComPortMap& map, int n);
