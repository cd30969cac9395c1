// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// SIGINT, SIGTERM and SIGHUP close the window as its frame would, so queued
// bytes still reach the device before the program ends.
void closeOnTerminationSignals(QWidget* window);
