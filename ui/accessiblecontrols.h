// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What assistive technology sees of two kinds of controls, for the whole
// program. A check box's Toggle action clicks the box, so it has exactly the
// effect of a mouse click or the space bar (handlers wired to clicked run, a
// greyed box turns into a two-state one); Qt's own action only flips the state
// and emits no click. A rule (a horizontal or vertical line frame) is a
// separator, not an empty frame. Install before the controls are made; more
// than once does no harm.
void installAccessibleControls();
