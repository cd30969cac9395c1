// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ComPortMap;

// brovik --list: every COM number that maps to a device, one line each, with
// the device, its USB product and its serial number ("-" where unknown), in
// columns under a heading. An explicit entry for a device that is not there
// says so.
QString comPortListing(const ComPortMap& map);
