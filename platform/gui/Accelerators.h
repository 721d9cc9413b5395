#pragma once

#include "platform/gui/WindowSystem.h"

#include <cstdint>
#include <span>

namespace vq {

// Keyboard shortcuts that turn a key into a command.
struct AcceleratorTable;
using HACCEL = AcceleratorTable*;

// A table from the binary accelerator resource; null when there is none or it is malformed.
HACCEL LoadAccelerators(std::uint32_t id);
HACCEL LoadAcceleratorsIndirect(std::span<const unsigned char> bytes);
BOOL DestroyAcceleratorTable(HACCEL table);
// A key message matching an entry (a virtual key with exactly its Shift, Ctrl and Alt, or a
// character) sends WM_COMMAND with the entry's id and 1 to the window; TRUE then.
BOOL TranslateAccelerator(HWND window, HACCEL table, const MSG* msg);

} // namespace vq
