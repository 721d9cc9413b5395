#include "platform/gui/Accelerators.h"

#include "platform/res/Resources.h"
#include "platform/res/TemplateReader.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace vq {

struct AcceleratorTable {
    struct Entry {
        std::uint16_t flags;
        std::uint16_t key;
        std::uint16_t id;
    };
    std::vector<Entry> entries;
};

namespace {

// Tables belong to the GUI thread only.
std::unordered_set<HACCEL>& Tables() {
    static std::unordered_set<HACCEL> tables;
    return tables;
}

constexpr std::uint16_t LastEntry = 0x80;

} // namespace

HACCEL LoadAcceleratorsIndirect(std::span<const unsigned char> bytes) {
    TemplateReader r(bytes);
    auto table = std::make_unique<AcceleratorTable>();
    while (true) {
        const std::uint16_t flags = r.Word();
        const std::uint16_t key = r.Word();
        const std::uint16_t id = r.Word();
        r.Word();
        if (!r.Ok()) return nullptr;
        table->entries.push_back({std::uint16_t(flags & ~LastEntry), key, id});
        if (flags & LastEntry) break;
    }
    HACCEL handle = table.release();
    Tables().insert(handle);
    return handle;
}

HACCEL LoadAccelerators(std::uint32_t id) {
    const auto bytes = FindResource(RT_ACCELERATOR, id);
    return bytes.empty() ? nullptr : LoadAcceleratorsIndirect(bytes);
}

BOOL DestroyAcceleratorTable(HACCEL table) {
    if (!Tables().erase(table)) return FALSE;
    delete table;
    return TRUE;
}

BOOL TranslateAccelerator(HWND window, HACCEL table, const MSG* msg) {
    if (!msg || !IsWindow(window) || !Tables().count(table)) return FALSE;
    const UINT m = msg->message;
    const bool key = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
    const bool character = m == WM_CHAR || m == WM_SYSCHAR;
    if (!key && !character) return FALSE;
    std::uint16_t held = 0;
    if (GetKeyState(VK_SHIFT) < 0) held |= FSHIFT;
    if (GetKeyState(VK_CONTROL) < 0) held |= FCONTROL;
    if (GetKeyState(VK_MENU) < 0 || m == WM_SYSKEYDOWN || m == WM_SYSCHAR) held |= FALT;
    for (const auto& e : table->entries) {
        const bool virtualKey = (e.flags & FVIRTKEY) != 0;
        if (virtualKey != key || e.key != msg->wParam) continue;
        // A virtual key needs exactly its modifiers; a character only its Alt.
        const std::uint16_t wanted = e.flags & (FSHIFT | FCONTROL | FALT);
        if (virtualKey ? wanted != held : (wanted & FALT) != (held & FALT)) continue;
        SendMessage(window, WM_COMMAND, WPARAM(MAKELPARAM(e.id, 1)), 0);
        return TRUE;
    }
    return FALSE;
}

} // namespace vq
