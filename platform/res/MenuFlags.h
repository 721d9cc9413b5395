#pragma once

#include <cstdint>

namespace vq {

// Menu item flags: the same bits in the binary menu templates the resource compiler writes and in
// the calls that build and query menus at run time (where the template's end-of-level bit is the
// highlight state).
enum : std::uint32_t {
    MF_STRING = 0x0000,
    MF_BYCOMMAND = 0x0000,
    MF_ENABLED = 0x0000,
    MF_UNCHECKED = 0x0000,
    MF_GRAYED = 0x0001,
    MF_DISABLED = 0x0002,
    MF_CHECKED = 0x0008,
    MF_POPUP = 0x0010,
    MF_MENUBARBREAK = 0x0020,
    MF_MENUBREAK = 0x0040,
    MF_END = 0x0080,
    MF_HILITE = 0x0080,
    MF_OWNERDRAW = 0x0100,
    MF_BYPOSITION = 0x0400,
    MF_SEPARATOR = 0x0800,
    MF_HELP = 0x4000,
};

} // namespace vq
