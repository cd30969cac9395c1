// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// BROVIK_VERSION comes from the build, so the device reports the release it came with.
inline constexpr std::string_view virtualDeviceIdentity = "Brovik virtual device " BROVIK_VERSION;
