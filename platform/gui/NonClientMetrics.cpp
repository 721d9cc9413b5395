#include "platform/gui/NonClientMetrics.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"
#include "platform/gui/WindowRecord.h"

#include <cstring>
#include <mutex>

namespace vq {

namespace {

LOGFONT Face(std::int32_t height, std::int32_t weight) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    return lf;
}

NONCLIENTMETRICS Defaults() {
    NONCLIENTMETRICS m;
    m.iBorderWidth = 1;
    m.iScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    m.iScrollHeight = GetSystemMetrics(SM_CYHSCROLL);
    m.iCaptionWidth = GetSystemMetrics(SM_CYCAPTION) - 1;
    m.iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
    m.lfCaptionFont = Face(-11, FW_BOLD);
    m.iSmCaptionWidth = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    m.iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
    m.lfSmCaptionFont = Face(-11, FW_BOLD);
    m.iMenuWidth = GetSystemMetrics(SM_CYMENU) - 1;
    m.iMenuHeight = GetSystemMetrics(SM_CYMENU) - 1;
    m.lfMenuFont = Face(-11, FW_NORMAL);
    m.lfStatusFont = Face(-11, FW_NORMAL);
    m.lfMessageFont = Face(-11, FW_NORMAL);
    return m;
}

struct Settings {
    std::mutex mutex;
    NONCLIENTMETRICS metrics = Defaults();
    // Made on first use from the metrics' menu font.
    HFONT menuFont = nullptr;
    HFONT menuDefaultFont = nullptr;
};

Settings& Current() {
    static Settings settings;
    return settings;
}

bool WellFormed(UINT size, const void* data) {
    return data && static_cast<const NONCLIENTMETRICS*>(data)->cbSize == sizeof(NONCLIENTMETRICS) &&
           (size == 0 || size == sizeof(NONCLIENTMETRICS));
}

} // namespace

void BroadcastSettingChange(WPARAM action, LPARAM area) {
    for (HWND top : TopLevelWindows())
        if (IsWindow(top)) SendMessage(top, WM_SETTINGCHANGE, action, area);
}

BOOL SystemParametersInfo(UINT action, UINT size, void* data, UINT flags) {
    if (action == SPI_GETWORKAREA) {
        if (!data) return FALSE;
        *static_cast<RECT*>(data) = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return TRUE;
    }
    if (action != SPI_GETNONCLIENTMETRICS && action != SPI_SETNONCLIENTMETRICS) return FALSE;
    if (!WellFormed(size, data)) return FALSE;
    auto& s = Current();
    if (action == SPI_GETNONCLIENTMETRICS) {
        std::lock_guard lock(s.mutex);
        *static_cast<NONCLIENTMETRICS*>(data) = s.metrics;
        return TRUE;
    }
    HFONT old = nullptr, oldDefault = nullptr;
    {
        std::lock_guard lock(s.mutex);
        s.metrics = *static_cast<const NONCLIENTMETRICS*>(data);
        std::swap(old, s.menuFont);
        std::swap(oldDefault, s.menuDefaultFont);
    }
    // A menu drawing with the old font keeps it until it lets go.
    if (old) DeleteObject(old);
    if (oldDefault) DeleteObject(oldDefault);
    if (flags & SPIF_SENDCHANGE) BroadcastSettingChange(action, 0);
    return TRUE;
}

HFONT MenuFont() {
    auto& s = Current();
    std::lock_guard lock(s.mutex);
    if (!s.menuFont) s.menuFont = CreateFontIndirect(s.metrics.lfMenuFont);
    return s.menuFont;
}

HFONT MenuDefaultFont() {
    auto& s = Current();
    std::lock_guard lock(s.mutex);
    if (!s.menuDefaultFont) {
        LOGFONT bold = s.metrics.lfMenuFont;
        bold.lfWeight = FW_BOLD;
        s.menuDefaultFont = CreateFontIndirect(bold);
    }
    return s.menuDefaultFont;
}

} // namespace vq
