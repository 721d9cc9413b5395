#pragma once

#include "platform/gui/WindowSystem.h"

namespace vq {

// A message number of its own for a name, 0xC000 or above and the same on every call with that
// name for the life of the process; 0 for a null or empty name or when the range is used up.
UINT RegisterWindowMessage(const char* name);

} // namespace vq
