#pragma once

#include "platform/gui/WindowSystem.h"

#include <optional>
#include <string>

namespace vq {

inline constexpr UINT CF_TEXT = 1;

// The clipboard over the GUI toolkit's. Text goes out as plain text for other programs and keeps
// its exact bytes for this one; registered formats carry bytes under their name. Writing needs
// the clipboard opened by a window (or none) and emptied first.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// One id of 0xC000 or more per name, the same for every call with that name; 0 for an empty name.
UINT RegisterClipboardFormat(const char* name);
BOOL SetClipboardData(UINT format, const std::string& data);
BOOL IsClipboardFormatAvailable(UINT format);
// The bytes of a format, or nothing when the clipboard does not hold it.
std::optional<std::string> GetClipboardData(UINT format);

} // namespace vq
