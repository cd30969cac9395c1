// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// brovik --release and brovik --reclaim: calls Release or Reclaim on the
// running Brovik over the session bus and prints its answer, or one line on
// stderr saying why not (no session bus, no Brovik running, or its refusal).
// Returns the exit status: 0 done, 1 otherwise. Needs a QCoreApplication.
int askRunningBrovik(const QString& method);
