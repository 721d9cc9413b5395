#include "toolkit/frames/TkMenuTemplate.h"

#include "platform/gui/Menu.h"
#include "platform/res/MenuFlags.h"

namespace vq {

namespace {

// Deeper nesting than any menu has is taken for a damaged template.
constexpr int kMaxDepth = 32;

HMENU BuildMenu(TemplateReader& cursor, int depth) {
    if (depth > kMaxDepth) return nullptr;
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    auto fail = [menu] {
        DestroyMenu(menu);
        return HMENU(nullptr);
    };
    while (true) {
        const std::uint16_t flags = cursor.Word();
        const UINT passed = flags & ~UINT(MF_END);
        if (flags & MF_POPUP) {
            const std::string text = cursor.Text();
            if (!cursor.Ok()) return fail();
            HMENU popup = BuildMenu(cursor, depth + 1);
            if (!popup) return fail();
            if (!AppendMenu(menu, passed, reinterpret_cast<std::uintptr_t>(popup), text.c_str())) {
                DestroyMenu(popup);
                return fail();
            }
        } else {
            const std::uint16_t id = cursor.Word();
            const std::string text = cursor.Text();
            if (!cursor.Ok()) return fail();
            const bool separator = flags == 0 && id == 0 && text.empty();
            if (!AppendMenu(menu, separator ? UINT(MF_SEPARATOR) : passed, id, text.c_str())) return fail();
        }
        if (flags & MF_END) return menu;
    }
}

} // namespace

HMENU MenuFromTemplate(TemplateReader& cursor) {
    return BuildMenu(cursor, 0);
}

BOOL NextMenuItem(TemplateReader& cursor) {
    const std::uint16_t flags = cursor.Word();
    if (!(flags & MF_POPUP)) cursor.Word();
    cursor.Text();
    return cursor.Ok();
}

BOOL SkipPopup(TemplateReader& cursor) {
    while (true) {
        const std::uint16_t flags = cursor.Word();
        if (flags & MF_POPUP) {
            cursor.Text();
            if (!cursor.Ok() || !SkipPopup(cursor)) return FALSE;
        } else {
            cursor.Word();
            cursor.Text();
        }
        if (!cursor.Ok()) return FALSE;
        if (flags & MF_END) return TRUE;
    }
}

BOOL SkipMenuItems(TemplateReader& cursor, int count) {
    for (int i = 0; i < count; ++i) {
        TemplateReader peek = cursor;
        const std::uint16_t flags = peek.Word();
        if (!NextMenuItem(cursor)) return FALSE;
        if ((flags & MF_POPUP) && !SkipPopup(cursor)) return FALSE;
        if ((flags & MF_END) && i + 1 < count) return FALSE;
    }
    return TRUE;
}

std::string GetMenuItemText(const TemplateReader& cursor) {
    TemplateReader item = cursor;
    const std::uint16_t flags = item.Word();
    if (!(flags & MF_POPUP)) item.Word();
    std::string text = item.Text();
    return item.Ok() ? text : std::string();
}

} // namespace vq
