#pragma once

#include "platform/gui/ControlTypes.h"

#include <cstdint>

namespace vq {

// Messages of the common tool bar interface that the toolkit's tool bars answer.
inline constexpr UINT TB_ADDBUTTONS = WM_USER + 20;
inline constexpr UINT TB_DELETEBUTTON = WM_USER + 22;

// Button styles and states of a tool bar button record.
enum : std::uint8_t {
    TBSTYLE_BUTTON = 0x00,
    TBSTYLE_SEP = 0x01,
    TBSTYLE_CHECK = 0x02,
    TBSTYLE_DROPDOWN = 0x08
};
enum : std::uint8_t {
    TBSTATE_CHECKED = 0x01,
    TBSTATE_PRESSED = 0x02,
    TBSTATE_ENABLED = 0x04,
    TBSTATE_HIDDEN = 0x08,
    TBSTATE_INDETERMINATE = 0x10,
    TBSTATE_WRAP = 0x20,
};

// A drop-down button was pressed.
inline constexpr UINT TBN_DROPDOWN = UINT(-710);

// One button of TB_ADDBUTTONS: the fixed 20-byte layout callers build, whatever the pointer size.
struct TBBUTTON {
    std::int32_t iBitmap = 0;
    std::int32_t idCommand = 0;
    std::uint8_t fsState = 0;
    std::uint8_t fsStyle = 0;
    std::uint8_t bReserved[2] = {0, 0};
    std::uint32_t dwData = 0;
    std::int32_t iString = 0;
};
static_assert(sizeof(TBBUTTON) == 20);

// Messages of a rebar, which holds bars in bands, as the bars that live in one ask them.
inline constexpr UINT RB_SETBANDINFO = WM_USER + 6;
inline constexpr UINT RB_GETBANDCOUNT = WM_USER + 12;
inline constexpr UINT RB_GETBANDINFO = WM_USER + 29;

// Which fields of a band record a call reads or writes.
enum : UINT { RBBIM_CHILD = 0x10, RBBIM_CHILDSIZE = 0x20 };

// One band: the fields of the 80-byte record of 32-bit builds, read by name.
struct REBARBANDINFO {
    UINT cbSize = sizeof(REBARBANDINFO);
    UINT fMask = 0;
    UINT fStyle = 0;
    COLORREF clrFore = 0;
    COLORREF clrBack = 0;
    const char* lpText = nullptr;
    UINT cch = 0;
    std::int32_t iImage = 0;
    HWND hwndChild = 0;
    UINT cxMinChild = 0;
    UINT cyMinChild = 0;
    UINT cx = 0;
    void* hbmBack = nullptr;
    UINT wID = 0;
    UINT cyChild = 0;
    UINT cyMaxChild = 0;
    UINT cyIntegral = 0;
    UINT cxIdeal = 0;
    LPARAM lParam = 0;
    UINT cxHeader = 0;
};

} // namespace vq
