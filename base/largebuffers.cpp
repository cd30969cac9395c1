// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/largebuffers.h"

#include <malloc.h>

void returnLargeBuffersToTheSystem() {
    // A fixed threshold: glibc would otherwise raise it to the size of each
    // large buffer freed, so the next flood's buffers grow by copying in the
    // heap and leave it bigger every time.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}
