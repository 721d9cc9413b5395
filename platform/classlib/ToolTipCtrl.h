#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ToolTip.h"

#include <string>

namespace vq {

// A tool tip window object. Its window is a popup owned by the parent's window, so it floats above
// it; the windows of its tools relay their pointer messages to it (RelayEvent), usually from
// PreTranslateMessage.
class CToolTipCtrl : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CToolTipCtrl)
public:
    BOOL Create(CWnd* parent, DWORD style = 0);

    void Activate(BOOL activate) const { SendMessage(TTM_ACTIVATE, WPARAM(activate)); }
    // A tool over a rectangle of the window's client area, known by its id; with neither a
    // rectangle nor an id, the whole window is the tool and its parent is asked for the text.
    BOOL AddTool(CWnd* window, const char* text = LPSTR_TEXTCALLBACK, const RECT* toolRect = nullptr,
                 std::uintptr_t toolId = 0) const;
    // The same with the text from the string table.
    BOOL AddTool(CWnd* window, UINT textId, const RECT* toolRect = nullptr, std::uintptr_t toolId = 0) const;
    // Without an id, the tool that is the whole window.
    void DelTool(CWnd* window, std::uintptr_t toolId = 0) const;
    void SetToolRect(CWnd* window, std::uintptr_t toolId, const RECT& rect) const;
    void RelayEvent(MSG* msg) const { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    // All three delays from the initial one.
    void SetDelayTime(UINT delay) const { SetDelayTime(TTDT_AUTOMATIC, int(delay)); }
    void SetDelayTime(DWORD which, int delay) const {
        SendMessage(TTM_SETDELAYTIME, WPARAM(which), MAKELPARAM(delay, 0));
    }
    int GetToolCount() const { return int(SendMessage(TTM_GETTOOLCOUNT)); }
};

// What a window's tool hit test found under the pointer: the tool, and the text it shows when the
// tool's own text is left null. The framework adds the tool before the record goes.
struct ToolHit {
    TOOLINFO info;
    std::string text;
};

} // namespace vq
