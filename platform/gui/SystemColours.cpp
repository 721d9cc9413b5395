#include "platform/gui/SystemColours.h"

#include "platform/gui/GdiObjectTable.h"

#include <array>
#include <atomic>

namespace vq {

namespace {

// Constant-initialised: read during other objects' static initialisation, before any window.
constinit std::array<COLORREF, kSystemColourCount> colours = {
    RGB(192, 192, 192), // scroll bar
    RGB(0, 128, 128),   // desktop
    RGB(0, 0, 128),     // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(192, 192, 192), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(192, 192, 192), // active border
    RGB(192, 192, 192), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(0, 0, 128),     // highlight
    RGB(255, 255, 255), // highlight text
    RGB(192, 192, 192), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(192, 192, 192), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(0, 0, 0),       // 3-D dark shadow
    RGB(192, 192, 192), // 3-D light: the face colour, so the light ring of an edge is the face's
    RGB(0, 0, 0),       // tool tip text
    RGB(255, 255, 225), // tool tip background
    RGB(0, 0, 0),       // unused slot
    RGB(0, 0, 255),     // hot-tracked item
    RGB(16, 132, 208),  // active caption gradient
    RGB(181, 181, 181), // inactive caption gradient
};

std::array<HBRUSH, kSystemColourCount>& Brushes() {
    static std::array<HBRUSH, kSystemColourCount> brushes{};
    return brushes;
}

// Major version 5 (the newest family every Linux build counts as), minor 0.
constinit std::atomic<DWORD> reportedVersion{5};

} // namespace

COLORREF GetSysColor(int index) {
    return index >= 0 && index < kSystemColourCount ? colours[std::size_t(index)] : 0;
}

HBRUSH GetSysColorBrush(int index) {
    if (index < 0 || index >= kSystemColourCount) return nullptr;
    HBRUSH& brush = Brushes()[std::size_t(index)];
    if (!brush) {
        brush = new BrushObject(BS_SOLID, colours[std::size_t(index)], 0);
        brush->MarkStock();
        RegisterGdiObject(brush);
    }
    return brush;
}

void BroadcastSysColorChange();

BOOL SetSysColors(int count, const int* indexes, const COLORREF* values) {
    if (count < 0 || (count > 0 && (!indexes || !values))) return FALSE;
    for (int i = 0; i < count; ++i)
        if (indexes[i] < 0 || indexes[i] >= kSystemColourCount) return FALSE;
    for (int i = 0; i < count; ++i) {
        colours[std::size_t(indexes[i])] = values[i] & 0xFFFFFF;
        if (HBRUSH brush = Brushes()[std::size_t(indexes[i])]) brush->colour = values[i] & 0xFFFFFF;
    }
    BroadcastSysColorChange();
    return TRUE;
}

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return 1280;
    case SM_CYSCREEN:
        return 1024;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 16;
    case SM_CYCAPTION:
        return 19;
    case SM_CYMENU:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    // Texts are UTF-8 or Latin-1 bytes, never a double-byte code page.
    case SM_DBCSENABLED:
        return 0;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CYSMCAPTION:
        return 15;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    // The smallest a sizable window is tracked to keeps its caption usable; the largest lets its
    // frame reach past every edge of the screen.
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMINTRACK:
        return 27;
    case SM_CXMAXTRACK:
        return 1280 + 12;
    case SM_CYMAXTRACK:
        return 1024 + 12;
    default:
        return 0;
    }
}

UINT GetDoubleClickTime() {
    return 500;
}

DWORD GetVersion() {
    return reportedVersion.load();
}
void SetReportedVersion(DWORD version) {
    reportedVersion.store(version);
}

} // namespace vq
