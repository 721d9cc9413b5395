#include "platform/classlib/DialogResource.h"

#include "platform/gui/Gdi.h"
#include "platform/res/Resources.h"
#include "platform/res/TemplateReader.h"

#include <string>
#include <utility>

namespace vq {

namespace {

const char* ClassOfOrdinal(int ordinal) {
    switch (ordinal) {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    default:
        return nullptr;
    }
}

// The average character width and the height of the dialog's font, as dialog units are measured.
SIZE BaseUnits(const std::optional<DialogFontTemplate>& description) {
    HFONT font = description ? description->Create() : nullptr;
    HDC dc = GetDC(0);
    HGDIOBJ old = SelectObject(dc, font ? HGDIOBJ(font) : GetStockObject(DEFAULT_GUI_FONT));
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent;
    GetTextExtentPoint32(dc, letters, 52, &extent);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    if (font) DeleteObject(font);
    ReleaseDC(0, dc);
    return {(extent.cx / 26 + 1) / 2, tm.tmHeight};
}

RECT ToPixels(SIZE base, int x, int y, int cx, int cy) {
    const auto h = [&](int v) { return (v * base.cx + 2) / 4; };
    const auto v = [&](int u) { return (u * base.cy + 4) / 8; };
    return {h(x), v(y), h(x + cx), v(y + cy)};
}

} // namespace

std::optional<DialogTemplate> ReadDialogTemplate(std::span<const unsigned char> bytes) {
    TemplateReader r(bytes);
    if (r.Word() != 1 || r.Word() != 0xFFFF) return std::nullopt;
    DialogTemplate t;
    t.rectIsClient = true;
    r.Dword(); // help context
    t.exStyle = r.Dword();
    t.style = r.Dword();
    const int count = r.Word();
    const int x = r.Short(), y = r.Short(), cx = r.Short(), cy = r.Short();
    int ordinal = 0;
    r.NameOrOrdinal(ordinal); // menu
    r.NameOrOrdinal(ordinal); // class
    t.caption = r.Text();
    if (t.style & DS_SETFONT) {
        DialogFontTemplate font;
        font.points = r.Word();
        font.weight = r.Word();
        font.italic = r.Byte() != 0;
        font.charSet = r.Byte();
        font.face = r.Text();
        // Without a face the dialog keeps the system's font.
        if (!font.face.empty()) t.font = std::move(font);
    }
    if (!r.Ok() || cx < 0 || cy < 0) return std::nullopt;
    const SIZE base = BaseUnits(t.font);
    t.rect = ToPixels(base, x, y, cx, cy);
    for (int i = 0; i < count; ++i) {
        r.Align4();
        DialogItemTemplate item;
        r.Dword(); // help context
        item.exStyle = r.Dword();
        item.style = r.Dword();
        const int ix = r.Short(), iy = r.Short(), icx = r.Short(), icy = r.Short();
        item.id = r.Dword();
        item.className = r.NameOrOrdinal(ordinal);
        if (ordinal) {
            const char* name = ClassOfOrdinal(ordinal);
            if (!name) return std::nullopt;
            item.className = name;
        }
        item.text = r.NameOrOrdinal(ordinal);
        const int extra = r.Word();
        for (int k = 0; k < extra; ++k)
            r.Byte();
        if (!r.Ok() || icx < 0 || icy < 0) return std::nullopt;
        item.rect = ToPixels(base, ix, iy, icx, icy);
        t.items.push_back(std::move(item));
    }
    return t;
}

std::optional<DialogTemplate> LoadDialogTemplate(std::uint32_t id) {
    const auto bytes = FindResource(RT_DIALOG, id);
    if (bytes.empty()) return std::nullopt;
    return ReadDialogTemplate(bytes);
}

} // namespace vq
