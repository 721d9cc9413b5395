#include "platform/gui/Redraw.h"

#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/WindowRecord.h"

#include <vector>

namespace vq {

namespace {

bool ReachesChildren(const WindowRecord& r, UINT flags) {
    if (flags & RDW_NOCHILDREN) return false;
    return (flags & RDW_ALLCHILDREN) || !(r.style & WS_CLIPCHILDREN);
}

// Applies the flags to the window over `area` (client coordinates), then to the children it
// reaches, each over the part of the area it covers; collects the windows touched, parents first.
void Mark(WindowRecord& r, Region area, UINT flags, std::vector<HWND>& touched) {
    area = Region::Combine(area, Region(RECT{0, 0, r.client.Width(), r.client.Height()}), RGN_AND);
    if (flags & RDW_INVALIDATE) {
        r.update = Region::Combine(r.update, area, RGN_OR);
        if ((flags & RDW_ERASE) && !area.IsEmpty()) r.erasePending = true;
        if (flags & RDW_FRAME) r.frameDirty = true;
    }
    if (flags & RDW_INTERNALPAINT) r.internalPaint = true;
    if (flags & RDW_VALIDATE) {
        r.update = Region::Combine(r.update, area, RGN_DIFF);
        if (flags & RDW_NOERASE) r.erasePending = false;
        if (flags & RDW_NOFRAME) r.frameDirty = false;
    }
    if (flags & RDW_NOINTERNALPAINT) r.internalPaint = false;
    touched.push_back(r.handle);
    if (!ReachesChildren(r, flags)) return;
    // Children are affected to any depth alike.
    const UINT childFlags = (flags & ~RDW_NOCHILDREN) | RDW_ALLCHILDREN;
    for (HWND child : r.children) {
        WindowRecord* c = FindWindowRecord(child);
        if (!c || !(c->style & WS_VISIBLE)) continue;
        Region inChild = area;
        inChild.Offset(-c->rect.left - c->client.left, -c->rect.top - c->client.top);
        Mark(*c, std::move(inChild), childFlags, touched);
    }
}

void EraseNow(HWND window) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r || !IsWindowVisible(window)) return;
    if (r->frameDirty) {
        r->frameDirty = false;
        SendMessage(window, WM_NCPAINT, 1, 0);
    }
    GetUpdateRect(window, nullptr, TRUE);
}

} // namespace

BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags) {
    WindowRecord* r = FindWindowRecord(window);
    if (!r) return FALSE;
    if (region && (!IsGdiObject(region) || region->ObjectType() != GdiObject::Type::Region)) return FALSE;
    Region area;
    if (region)
        area = region->region;
    else if (rect)
        area = Region(*rect);
    else
        area = Region(RECT{0, 0, r->client.Width(), r->client.Height()});
    std::vector<HWND> touched;
    Mark(*r, std::move(area), flags, touched);
    SchedulePaint();
    for (HWND h : touched) {
        if (flags & RDW_UPDATENOW)
            UpdateWindow(h);
        else if (flags & RDW_ERASENOW)
            EraseNow(h);
    }
    return TRUE;
}

} // namespace vq
