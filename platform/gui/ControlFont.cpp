#include "platform/gui/ControlFont.h"

#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/WindowRecord.h"

namespace vq {

namespace {

bool IsFont(HGDIOBJ object) {
    return IsGdiObject(object) && object->ObjectType() == GdiObject::Type::Font;
}

} // namespace

bool SetControlFont(HWND window, HFONT font) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r || (font && !IsFont(font))) return false;
    r->font = font;
    return true;
}

HFONT ControlFont(HWND window) {
    WindowRecord* r = FindWindowRecord(window);
    return r ? r->font : nullptr;
}

HFONT DrawingFont(HWND window) {
    const HFONT font = ControlFont(window);
    return font && IsFont(font) ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

LRESULT SetDrawnControlFont(HWND window, HFONT font, bool redraw) {
    if (SetControlFont(window, font) && redraw) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    return 0;
}

} // namespace vq
