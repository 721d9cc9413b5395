#include "platform/gui/DragDrop.h"

#include "platform/gui/Messages.h"

#include <unordered_map>

namespace vq {

namespace {

// Drop targets by window; windows belong to the GUI thread, and so does this table.
std::unordered_map<HWND, DropTarget*>& Targets() {
    static std::unordered_map<HWND, DropTarget*> targets;
    return targets;
}

// The registered window at the point, or its nearest registered ancestor.
HWND TargetWindowAt(POINT screen) {
    auto& targets = Targets();
    for (HWND w = WindowFromPoint(screen); w; w = GetParent(w)) {
        const auto it = targets.find(w);
        if (it == targets.end()) continue;
        if (IsWindow(w)) return w;
        targets.erase(it);
        break;
    }
    return 0;
}

DropTarget* TargetOf(HWND window) {
    const auto it = Targets().find(window);
    return it == Targets().end() ? nullptr : it->second;
}

bool IsMouseInput(UINT message) {
    return message >= WM_MOUSEMOVE && message <= WM_MBUTTONDBLCLK;
}

// One drag from start to end: the window under the pointer it last spoke to, and its answer.
class DragLoop {
public:
    DragLoop(const DragData& data, DWORD allowed, HWND holder, UINT release)
        : data_(data), allowed_(allowed), holder_(holder), release_(release) {}

    DWORD Run() {
        MSG msg;
        for (;;) {
            // Another window taking the mouse ends the drag as Escape does.
            if (GetCapture() != holder_) return Cancel();
            if (!GetMessage(&msg, 0, 0, 0)) {
                PostQuitMessage(int(msg.wParam));
                return Cancel();
            }
            if (msg.message == WM_CANCELMODE || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE))
                return Cancel();
            if (!IsMouseInput(msg.message)) {
                DispatchMessage(&msg);
                continue;
            }
            const DWORD keys = DWORD(msg.wParam);
            if (msg.message != release_) {
                Follow(msg.pt, keys);
                continue;
            }
            // The release drops where the pointer is; it is no further step over the target.
            if (TargetWindowAt(msg.pt) != window_) Follow(msg.pt, keys);
            return Finish(msg.pt, keys);
        }
    }

private:
    void Follow(POINT screen, DWORD keys) {
        const HWND under = TargetWindowAt(screen);
        if (under != window_) {
            Leave();
            window_ = under;
            if (DropTarget* target = TargetOf(window_))
                effect_ = target->DragEnter(window_, data_, keys, screen, allowed_) & allowed_;
        } else if (DropTarget* target = TargetOf(window_)) {
            effect_ = target->DragOver(window_, keys, screen, allowed_) & allowed_;
        }
        SetCursor(LoadCursor(effect_ ? IDC_ARROW : IDC_NO));
    }

    void Leave() {
        if (DropTarget* target = TargetOf(window_)) target->DragLeave(window_);
        window_ = 0;
        effect_ = DROPEFFECT_NONE;
    }

    DWORD Finish(POINT screen, DWORD keys) {
        DropTarget* target = TargetOf(window_);
        if (!target || !effect_) return Cancel();
        const DWORD result = target->Drop(window_, data_, keys, screen, allowed_) & allowed_;
        window_ = 0;
        return result;
    }

    DWORD Cancel() {
        Leave();
        return DROPEFFECT_NONE;
    }

    const DragData& data_;
    const DWORD allowed_;
    const HWND holder_;
    const UINT release_;
    HWND window_ = 0;
    DWORD effect_ = DROPEFFECT_NONE;
};

} // namespace

std::optional<std::string> DragData::Get(UINT format) const {
    const auto it = formats_.find(format);
    if (it == formats_.end()) return std::nullopt;
    return it->second;
}

BOOL RegisterDragDrop(HWND window, DropTarget* target) {
    if (!window || !target || !IsWindow(window)) return FALSE;
    return Targets().emplace(window, target).second;
}

BOOL RevokeDragDrop(HWND window) {
    return Targets().erase(window) != 0;
}

DWORD DoDragDrop(const DragData& data, DWORD allowed) {
    const UINT release = GetKeyState(VK_LBUTTON) < 0   ? WM_LBUTTONUP
                         : GetKeyState(VK_RBUTTON) < 0 ? WM_RBUTTONUP
                                                       : 0;
    if (!release) return DROPEFFECT_NONE;
    POINT cursor;
    GetCursorPos(&cursor);
    HWND holder = GetCapture();
    if (!holder) holder = WindowFromPoint(cursor);
    if (!holder) return DROPEFFECT_NONE;
    SetCapture(holder);
    const DWORD result = DragLoop(data, allowed, holder, release).Run();
    if (GetCapture() == holder) ReleaseCapture();
    return result;
}

} // namespace vq
