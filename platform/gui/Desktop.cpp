#include "platform/gui/Desktop.h"

#include "platform/gui/OffscreenHarness.h"

#include <QPainter>
#include <algorithm>
#include <vector>

namespace vq {

namespace {

// No window gets this handle: theirs are multiples of four.
constexpr HWND kDesktop = 0x6;

struct DesktopState {
    Bitmap layer{0, 0, false};
    HWND locked = 0;
};

DesktopState& State() {
    thread_local DesktopState state;
    return state;
}

Bitmap& Layer() {
    Bitmap& layer = State().layer;
    const std::int32_t cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    if (layer.Width() != cx || layer.Height() != cy) {
        layer = Bitmap(cx, cy, false);
        // Nothing drawn: every pixel leaves the screen under it as it is.
        std::fill(layer.Data(), layer.Data() + std::size_t(cx) * std::size_t(cy), 0u);
    }
    return layer;
}

} // namespace

HWND GetDesktopWindow() {
    return kDesktop;
}

HDC GetDCEx(HWND window, HRGN, DWORD flags) {
    if (window == kDesktop || window == 0) {
        Bitmap& layer = Layer();
        return new DeviceContext(DeviceContext::Kind::Window, &layer, POINT{},
                                 Region(RECT{0, 0, layer.Width(), layer.Height()}), kDesktop);
    }
    return (flags & DCX_WINDOW) ? GetWindowDC(window) : GetDC(window);
}

BOOL LockWindowUpdate(HWND window) {
    DesktopState& s = State();
    if (window && s.locked && s.locked != window) return FALSE;
    s.locked = window;
    return TRUE;
}

HWND GetLockedWindow() {
    return State().locked;
}

bool IsDesktopLayerClear() {
    const Bitmap& layer = Layer();
    const std::uint32_t* data = layer.Data();
    return std::all_of(data, data + std::size_t(layer.Width()) * std::size_t(layer.Height()),
                       [](std::uint32_t v) { return (v & 0xFFFFFF) == 0; });
}

QImage ScreenComposite() {
    Bitmap& layer = Layer();
    QImage screen(layer.Width(), layer.Height(), QImage::Format_RGB32);
    const COLORREF background = GetSysColor(COLOR_BACKGROUND);
    screen.fill(QColor(int(GetRValue(background)), int(GetGValue(background)), int(GetBValue(background))));
    std::vector<HWND> tops;
    for (HWND w = GetTopWindow(0); w; w = GetWindow(w, GW_HWNDNEXT))
        tops.push_back(w);
    {
        QPainter painter(&screen);
        for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
            if (!IsWindowVisible(*it)) continue;
            RECT r;
            GetWindowRect(*it, &r);
            painter.drawImage(QPoint(r.left, r.top), OffscreenHarness::Composite(*it));
        }
    }
    for (std::int32_t y = 0; y < layer.Height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(screen.scanLine(y));
        const std::uint32_t* over = layer.Row(y);
        for (std::int32_t x = 0; x < layer.Width(); ++x)
            row[x] = 0xFF000000u | ((row[x] ^ over[x]) & 0xFFFFFF);
    }
    return screen;
}

} // namespace vq
