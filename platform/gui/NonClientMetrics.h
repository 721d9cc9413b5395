#pragma once

#include "platform/gui/GdiObject.h"
#include "platform/gui/WindowSystem.h"

namespace vq {

// The sizes and fonts of captions, menus, status lines and message boxes.
struct NONCLIENTMETRICS {
    UINT cbSize = sizeof(NONCLIENTMETRICS);
    std::int32_t iBorderWidth = 0;
    std::int32_t iScrollWidth = 0;
    std::int32_t iScrollHeight = 0;
    std::int32_t iCaptionWidth = 0;
    std::int32_t iCaptionHeight = 0;
    LOGFONT lfCaptionFont;
    std::int32_t iSmCaptionWidth = 0;
    std::int32_t iSmCaptionHeight = 0;
    LOGFONT lfSmCaptionFont;
    std::int32_t iMenuWidth = 0;
    std::int32_t iMenuHeight = 0;
    LOGFONT lfMenuFont;
    LOGFONT lfStatusFont;
    LOGFONT lfMessageFont;
};

enum : UINT { SPI_GETWORKAREA = 0x0030, SPI_GETNONCLIENTMETRICS = 0x0029, SPI_SETNONCLIENTMETRICS = 0x002A };
enum : UINT { SPIF_UPDATEINIFILE = 0x1, SPIF_SENDCHANGE = 0x2 };

// Reads or changes a system setting. The metrics travel in `data`, whose cbSize (and `size`, when
// not 0) must be the structure's size; the work area is a RECT, the whole fixed screen since
// there is no task bar to leave out. A change with SPIF_SENDCHANGE sends WM_SETTINGCHANGE,
// carrying the action, to every top-level window of the calling thread. FALSE for an action it
// does not know or a malformed structure.
BOOL SystemParametersInfo(UINT action, UINT size, void* data, UINT flags);

// Sends WM_SETTINGCHANGE to every top-level window of the calling thread; class-library windows
// pass it on to their descendants.
void BroadcastSettingChange(WPARAM action, LPARAM area);

// The font the layer's menus draw with: the menu font of the metrics, made again after a change.
HFONT MenuFont();
// The same font in bold, for a menu's default item.
HFONT MenuDefaultFont();

} // namespace vq
