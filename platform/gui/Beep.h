#pragma once

#include "platform/gui/MessageBox.h"

#include <functional>

namespace vq {

// Sounds the system's beep; the type (an MB_ICON* value, or 0xFFFFFFFF for the plain beep) only
// reaches the hook.
BOOL MessageBeep(UINT type);

// Sees the type of every beep, on the thread that asked for it, before it sounds; tests count
// beeps through it. Answers the hook it replaced; an empty one removes it.
using BeepHook = std::function<void(UINT type)>;
BeepHook SetBeepHook(BeepHook hook);

} // namespace vq
