#pragma once

#include "platform/gui/ControlTypes.h"

#include <cstdint>

namespace vq {

// The class name of the window system's tool tips.
inline constexpr const char* TOOLTIPS_CLASS = "ToolTip";

// Tool-tip styles: show tips whatever window is active; show "&" as it is.
inline constexpr DWORD TTS_ALWAYSTIP = 0x01;
inline constexpr DWORD TTS_NOPREFIX = 0x02;

// A tool whose id is the handle of the window it covers, instead of a rectangle of its window.
inline constexpr UINT TTF_IDISHWND = 0x0001;

// Messages of a tool tip.
inline constexpr UINT TTM_ACTIVATE = WM_USER + 1;
inline constexpr UINT TTM_SETDELAYTIME = WM_USER + 3;
inline constexpr UINT TTM_ADDTOOL = WM_USER + 4;
inline constexpr UINT TTM_DELTOOL = WM_USER + 5;
inline constexpr UINT TTM_NEWTOOLRECT = WM_USER + 6;
inline constexpr UINT TTM_RELAYEVENT = WM_USER + 7;
inline constexpr UINT TTM_GETTOOLCOUNT = WM_USER + 13;

// Which delay TTM_SETDELAYTIME sets: all three from the initial one, or one of them.
enum : WPARAM { TTDT_AUTOMATIC = 0, TTDT_RESHOW = 1, TTDT_AUTOPOP = 2, TTDT_INITIAL = 3 };

// A text that is the id of a string resource rather than the string itself.
inline const char* MakeTextId(UINT id) {
    return reinterpret_cast<const char*>(std::uintptr_t(id & 0xFFFF));
}
inline bool IsTextId(const char* text) {
    return reinterpret_cast<std::uintptr_t>(text) <= 0xFFFF;
}

// One tool: a rectangle of `hwnd`'s client area known by `uId`, or with TTF_IDISHWND the whole
// window `uId`. The text is copied when the tool is added; it may also be a string id or
// LPSTR_TEXTCALLBACK. The size field is kept for callers that set it; one layout exists.
struct TOOLINFO {
    UINT cbSize = sizeof(TOOLINFO);
    UINT uFlags = 0;
    HWND hwnd = 0;
    std::uintptr_t uId = 0;
    RECT rect;
    const char* lpszText = nullptr;
    LPARAM lParam = 0;
};

// Notifications a tool tip sends to the window of a tool. TTN_NEEDTEXT carries NMTTDISPINFO: the
// answer points lpszText at a text (which must last until the handler returns) or a string id,
// or copies the text into szText.
inline constexpr UINT TTN_FIRST = UINT(-520);
inline constexpr UINT TTN_NEEDTEXT = TTN_FIRST;
inline constexpr UINT TTN_GETDISPINFO = TTN_NEEDTEXT;

struct NMTTDISPINFO {
    NMHDR hdr;
    const char* lpszText = nullptr;
    char szText[80] = {};
    UINT uFlags = 0;
    LPARAM lParam = 0;
};

// The "ToolTip" class, drawn by the window layer. Its tools' windows relay their mouse messages
// (TTM_RELAYEVENT with a MSG whose point is in the client coordinates of its window); the tip
// shows once the pointer has rested on a tool for the initial delay, for at most the autopop
// delay; the next tool the pointer reaches within the reshow delay after a tip went (the pointer
// left its tool, or the tool was deleted) shows its tip after only the reshow delay.
// A relayed button press hides the tip until the pointer leaves that tool. The delays run on the
// window system's timers.
LRESULT ToolTipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace vq
