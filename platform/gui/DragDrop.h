#pragma once

#include "platform/gui/WindowSystem.h"

#include <map>
#include <optional>
#include <string>

namespace vq {

enum : DWORD { DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4 };

// What a drag carries: bytes under clipboard formats, as the clipboard holds them.
class DragData {
public:
    void Set(UINT format, std::string bytes) { formats_[format] = std::move(bytes); }
    bool Has(UINT format) const { return formats_.count(format) != 0; }
    // The bytes of a format, or nothing when the drag does not carry it.
    std::optional<std::string> Get(UINT format) const;

private:
    std::map<UINT, std::string> formats_;
};

// A window's part in drags inside this program. Points are on the screen; keys are MK_* bits.
// Each answer is the effect the drop would have, of those the source allows.
class DropTarget {
public:
    virtual ~DropTarget() = default;
    virtual DWORD DragEnter(HWND window, const DragData& data, DWORD keys, POINT screen, DWORD allowed) = 0;
    virtual DWORD DragOver(HWND window, DWORD keys, POINT screen, DWORD allowed) = 0;
    virtual void DragLeave(HWND window) = 0;
    virtual DWORD Drop(HWND window, const DragData& data, DWORD keys, POINT screen, DWORD allowed) = 0;
};

// A window becomes a drop target until it is revoked or destroyed; FALSE for no window, or one
// registered already.
BOOL RegisterDragDrop(HWND window, DropTarget* target);
BOOL RevokeDragDrop(HWND window);

// Drags `data` from where the pointer is, on this thread, until the button that is down now comes
// up: the effect the target under the pointer answered to the drop, or DROPEFFECT_NONE when there
// was none, it refused, or Escape, WM_CANCELMODE or another window taking the mouse cancelled.
// The target is the registered window under the pointer or its nearest registered ancestor; the
// pointer shows the no-entry cursor where nothing would be dropped. Other messages are dispatched.
DWORD DoDragDrop(const DragData& data, DWORD allowed);

} // namespace vq
