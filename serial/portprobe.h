#pragma once

// Whether serial port COMn is present: its device node is there. Nothing is
// opened, so a port held open by this program or another still counts.
bool portExists(int n);
