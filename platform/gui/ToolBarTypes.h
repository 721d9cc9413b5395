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

} // namespace vq
