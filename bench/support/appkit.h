// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the Qt helper programs of the benchmarks share.

#include <functional>
#include <string>

class FormMain;
class QObject;

namespace bench {

// Names the application as app/main.cpp does (its icon comes after the
// first frame, with the load).
void setUpLikeBrovik();

// Loads and shows the window as a start does, with COM1 open; false, after
// printing an "error" line with the log, when the port did not open.
bool loadWithPortOpen(FormMain& window);

// Calls handler with each line that arrives on stdin, and with "stop" once
// stdin ends, for as long as context lives.
void onStdinLines(QObject* context, std::function<void(const std::string&)> handler);

} // namespace bench
