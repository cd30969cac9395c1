// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Buffers of a quarter MiB and more (a flood's bytes, a file on its way out,
// the log's text) are mapped on their own and go back to the system when
// freed, instead of staying in the heap after a burst. Once, at start.
void returnLargeBuffersToTheSystem();
