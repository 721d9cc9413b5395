#include "platform/classlib/DialogResource.h"

#include "platform/gui/DialogManager.h"
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

// The average character width and the height of the template's font, as dialog units are
// measured; a template without a font has the system's dialog units.
SIZE BaseUnits(const std::optional<DialogFontTemplate>& description) {
    if (!description) {
        const DWORD units = GetDialogBaseUnits();
        return {std::int32_t(LOWORD(units)), std::int32_t(HIWORD(units))};
    }
    HFONT font = description->Create();
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

} // namespace

RECT DialogUnitsToPixels(SIZE baseUnits, const RECT& units) {
    const auto h = [&](int u) { return (u * baseUnits.cx + 2) / 4; };
    const auto v = [&](int u) { return (u * baseUnits.cy + 4) / 8; };
    return {h(units.left), v(units.top), h(units.right), v(units.bottom)};
}

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
    t.baseUnits = BaseUnits(t.font);
    t.rect = DialogUnitsToPixels(t.baseUnits, {x, y, x + cx, y + cy});
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
        item.rect = DialogUnitsToPixels(t.baseUnits, {ix, iy, ix + icx, iy + icy});
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
