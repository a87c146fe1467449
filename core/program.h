// The program's start, written against the platform.
#pragma once

#include "platform/platform.h"

namespace calorix {

// Starts Calorix: one copy only, the settings version, the monitor found or
// launched. Returns true when the program goes on running (its work then
// happens in timer and window events), false when it has ended.
bool StartCalorix(platform::Platform& platform);

}  // namespace calorix
