#include "toolkit/lists/Tk3DTabControl.h"

#include "platform/classlib/ToolTipCtrl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"
#include "toolkit/controls/TkSysMetrics.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(Tk3DTab, TkTab)
VQ_IMPLEMENT_RUNTIME_CLASS(Tk3DTabControl, TkTabControlBase)

VQ_BEGIN_MESSAGE_MAP(Tk3DTabControl, TkTabControlBase)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
VQ_ON_MESSAGE(WM_MOUSEMOVE, OnMouseMove)
VQ_ON_MESSAGE(WM_KEYDOWN, OnKeyDown)
VQ_ON_MESSAGE(WM_SETFOCUS, OnFocusChange)
VQ_ON_MESSAGE(WM_KILLFOCUS, OnFocusChange)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroyStrip)
VQ_END_MESSAGE_MAP()

namespace {

constexpr std::uint8_t SwissFamily = 0x20;
constexpr int LabelHeight = 15;
constexpr int NormalWeight = 400;
constexpr int ActiveWeight = 600;
// Room a strip keeps beyond its tabs, and the least a tab takes along it.
constexpr int StripSlack = 12;
constexpr int MinimumTabLength = 19;
constexpr int ActiveGrowth = 3;
constexpr const char* Ellipsis = "...";
// Paints the brush where the mask is black and keeps the destination where it is white.
constexpr DWORD MaskedPaint = 0xB8074A;
// The rest of a disabled tab's picture beyond the tab, so the etching has room.
constexpr int DisabledMargin = 5;

POINT PointOf(LPARAM lParam) {
    return POINT{std::int16_t(LOWORD(std::uintptr_t(lParam))), std::int16_t(HIWORD(std::uintptr_t(lParam)))};
}

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

int Escapement(DWORD style) {
    if (style & TK3DTAB_LEFT) return 900;
    if (style & TK3DTAB_RIGHT) return -900;
    return 0;
}

HFONT MakeFont(int weight, int escapement) {
    LOGFONT lf;
    lf.lfHeight = LabelHeight;
    lf.lfWeight = weight;
    lf.lfEscapement = escapement;
    lf.lfPitchAndFamily = SwissFamily;
    std::strcpy(lf.lfFaceName, "Arial Narrow");
    return CreateFontIndirect(lf);
}

void Polyline(HDC dc, HPEN pen, std::initializer_list<POINT> points) {
    HGDIOBJ old = SelectObject(dc, pen);
    ::vq::Polyline(dc, points.begin(), int(points.size()));
    SelectObject(dc, old);
}

void Line(HDC dc, COLORREF colour, int x0, int y0, int x1, int y1) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

bool EndsWithEllipsis(const std::string& label) {
    return label.size() >= 3 && label.compare(label.size() - 3, 3, Ellipsis) == 0;
}

} // namespace

Tk3DTabControl::Tk3DTabControl() = default;

Tk3DTabControl::~Tk3DTabControl() {
    DestroyGdiObjects();
}

// ---- drawing objects

void Tk3DTabControl::Initialize(DWORD style) {
    DestroyGdiObjects();
    CreateFonts(style);
    m_brushes[1] = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    m_brushes[0] = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    m_pens[0] = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_pens[1] = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_shadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    m_highlightPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    m_inactiveTextColour = m_activeTextColour = RGB(0, 0, 0);
    EnableToolTips(TRUE);
}

void Tk3DTabControl::CreateFonts(DWORD style) {
    for (HFONT& font : m_fonts)
        if (font) DeleteObject(std::exchange(font, nullptr));
    m_fonts[0] = MakeFont(NormalWeight, Escapement(style));
    m_fonts[1] = MakeFont(ActiveWeight, Escapement(style));
}

void Tk3DTabControl::DestroyGdiObjects() {
    for (HFONT& font : m_fonts)
        if (font) DeleteObject(std::exchange(font, nullptr));
    for (HPEN& pen : m_pens)
        if (pen) DeleteObject(std::exchange(pen, nullptr));
    for (HBRUSH& brush : m_brushes)
        if (brush) DeleteObject(std::exchange(brush, nullptr));
    if (m_shadowPen) DeleteObject(std::exchange(m_shadowPen, nullptr));
    if (m_highlightPen) DeleteObject(std::exchange(m_highlightPen, nullptr));
}

LRESULT Tk3DTabControl::OnDestroyStrip(WPARAM wParam, LPARAM lParam) {
    return OnDestroy(wParam, lParam);
}

BOOL Tk3DTabControl::SetFont(HFONT font, int which, BOOL redraw) {
    if (which != 0 && which != 1) return FALSE;
    LOGFONT description;
    if (!font || !GetObject(font, sizeof description, &description)) return FALSE;
    description.lfEscapement = Escapement(GetStyle());
    HFONT made = CreateFontIndirect(description);
    if (!made) return FALSE;
    if (m_fonts[which]) DeleteObject(m_fonts[which]);
    m_fonts[which] = made;
    RecalcLayout();
    if (redraw) {
        int active = -1;
        if (which == 1 && GetActiveTab(active))
            InvalidateTab(active);
        else if (which == 0)
            InvalidateFrom(0);
    }
    return TRUE;
}

// ---- tabs

std::unique_ptr<TkTab> Tk3DTabControl::CreateNewTab() {
    return std::make_unique<Tk3DTab>();
}

const std::string& Tk3DTabControl::InfoLabel(const TkTab& tab) const {
    return static_cast<const Tk3DTab&>(tab).m_fullLabel;
}

TkTab* Tk3DTabControl::InsertTab(int index, const char* label, Object* client, void* user1, void* user2) {
    TkTab* tab = TkTabControlBase::InsertTab(index, label, client, user1, user2);
    if (!tab) return nullptr;
    static_cast<Tk3DTab*>(tab)->m_fullLabel = tab->m_label;
    RecalcLayout();
    InvalidateFrom(index);
    return tab;
}

TkTab* Tk3DTabControl::AddTab(const char* label, Object* client, void* user1, void* user2) {
    return InsertTab(GetTabCount(), label, client, user1, user2);
}

BOOL Tk3DTabControl::RenameTab(int index, const char* label) {
    if (!IsValidIndex(index)) return FALSE;
    Get3DTab(index)->m_fullLabel = label ? label : "";
    return TkTabControlBase::RenameTab(index, label);
}

void Tk3DTabControl::SetTabIcon(int index, const char* resource, int cx, int cy) {
    SetTabIcon(index, resource ? LoadIcon(resource, cx, cy) : nullptr);
}

void Tk3DTabControl::SetTabIcon(int index, UINT resourceId, int cx, int cy) {
    SetTabIcon(index, LoadIcon(resourceId, cx, cy));
}

void Tk3DTabControl::SetTabIcon(int index, HICON icon) {
    if (!IsValidIndex(index)) return;
    Get3DTab(index)->m_hIcon = icon;
    RecalcLayout();
    InvalidateFrom(index);
}

void Tk3DTabControl::InvalidateTab(int index) {
    if (!m_hWnd || !IsValidIndex(index)) return;
    RECT r = Get3DTab(index)->m_rect;
    ++r.right;
    ++r.bottom;
    InvalidateRect(m_hWnd, &r, TRUE);
}

BOOL Tk3DTabControl::EnableTab(int index, BOOL enable) {
    if (!IsValidIndex(index)) return FALSE;
    Tk3DTab* tab = Get3DTab(index);
    if (bool(tab->m_bEnabled) != bool(enable)) {
        tab->m_bEnabled = enable ? TRUE : FALSE;
        InvalidateTab(index);
    }
    return TRUE;
}

BOOL Tk3DTabControl::IsTabEnabled(int index) const {
    return IsValidIndex(index) && Get3DTab(index)->m_bEnabled;
}

void Tk3DTabControl::SetTabStyle(DWORD remove, DWORD add, UINT /*flags*/) {
    if (!m_hWnd) return;
    const DWORD style = (GetStyle() & ~remove) | add;
    SetWindowLongPtr(m_hWnd, GWL_STYLE, std::intptr_t(style));
    if (add & TK3DTAB_POSITIONS) CreateFonts(style);
    RecalcLayout();
}

void Tk3DTabControl::SetAutoFit(BOOL on) {
    m_bAutoFit = on;
    for (auto& tab : m_tabs)
        tab->m_label = static_cast<Tk3DTab&>(*tab).m_fullLabel;
}

Tk3DTabControl::Side Tk3DTabControl::GetSide() const {
    const DWORD style = m_hWnd ? GetStyle() : 0;
    if (style & TK3DTAB_BOTTOM) return Side::Bottom;
    if (style & TK3DTAB_TOP) return Side::Top;
    if (style & TK3DTAB_LEFT) return Side::Left;
    if (style & TK3DTAB_RIGHT) return Side::Right;
    return Side::None;
}

// ---- layout

int Tk3DTabControl::TabLength(HDC dc, const Tk3DTab& tab, const std::string& label) const {
    int length = tab.m_hIcon ? 25 : 6;
    if (m_bShowLabels) {
        SIZE extent{0, 0};
        GetTextExtentPoint32(dc, label.c_str(), int(label.size()), &extent);
        length += extent.cx + 6;
    }
    return length;
}

int Tk3DTabControl::TotalLength(bool fullLabels) const {
    if (!m_hWnd) return 0;
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_fonts[1]);
    int total = 0;
    for (const auto& tab : m_tabs) {
        const auto& t = static_cast<const Tk3DTab&>(*tab);
        total += TabLength(dc, t, fullLabels ? t.m_fullLabel : t.m_label);
    }
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    return total;
}

void Tk3DTabControl::RecalcLayout() {
    if (!m_hWnd) return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    const Side side = GetSide();
    const bool across = side == Side::Bottom || side == Side::Top;
    const int available = across ? client.Width() : client.Height();
    const bool showing = m_bShowLabels;
    m_bShowLabels = TRUE;
    const int total = TotalLength(true);
    m_bShowLabels = showing;
    if (m_bAutoFit)
        AutoFitLabels(total, MinimumTabLength * GetTabCount(), available);
    else
        m_bShowLabels = available > total + StripSlack;
    const DWORD style = GetStyle();
    if (across) {
        const int y = side == Side::Bottom ? client.top + 2 : client.bottom - m_nTabHeight - 3;
        int x = client.left + m_nLeftMargin;
        for (int i = 0; i < GetTabCount(); ++i) {
            ComputeTabRect(i, x, y, style);
            x += m_tabs[i]->m_width;
        }
    } else {
        const int x = side == Side::Left ? client.right - m_nTabWidth - 3 : client.left + 2;
        int y = client.top + m_nTopMargin;
        for (int i = 0; i < GetTabCount(); ++i) {
            ComputeTabRect(i, x, y, style);
            y += m_tabs[i]->m_height;
        }
    }
    int active = -1;
    if ((style & TK3DTAB_FLATACTIVE) || !GetActiveTab(active)) return;
    RECT& r = Get3DTab(active)->m_rect;
    switch (side) {
    case Side::Bottom:
    case Side::Top:
        r.left -= ActiveGrowth;
        r.right += ActiveGrowth;
        (side == Side::Bottom ? r.bottom : r.top) += side == Side::Bottom ? ActiveGrowth : -ActiveGrowth;
        break;
    default:
        r.top -= ActiveGrowth;
        r.bottom += ActiveGrowth;
        if (side == Side::Left)
            r.left -= ActiveGrowth;
        else
            r.right += ActiveGrowth;
        break;
    }
}

void Tk3DTabControl::ComputeTabRect(int index, int x, int y, DWORD style) {
    if (!IsValidIndex(index) || !m_hWnd) return;
    Tk3DTab& tab = *Get3DTab(index);
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_fonts[1]);
    const int length = TabLength(dc, tab, tab.m_label);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    const bool across = (style & (TK3DTAB_BOTTOM | TK3DTAB_TOP)) != 0;
    tab.m_rect = across ? RECT{x, y, x + length, y + m_nTabHeight} : RECT{x, y, x + m_nTabWidth, y + length};
    tab.m_width = tab.m_rect.Width();
    tab.m_height = tab.m_rect.Height();
}

void Tk3DTabControl::OnActivateTab(int) {
    RecalcLayout();
}

LRESULT Tk3DTabControl::OnSize(WPARAM, LPARAM) {
    RecalcLayout();
    return Default();
}

BOOL Tk3DTabControl::GetTabRect(int index, RECT* rect) const {
    if (!IsValidIndex(index) || !rect) return FALSE;
    *rect = Get3DTab(index)->m_rect;
    return TRUE;
}

// Labels shrink from the widest, one character a step, each ending in "..."; when that is not
// enough they lose their last characters, and when nothing is left they are not shown at all.
void Tk3DTabControl::AutoFitLabels(int /*total*/, int minimum, int available) {
    const auto tabAt = [this](int i) -> Tk3DTab& { return *Get3DTab(i); };
    const int count = GetTabCount();
    m_bShowLabels = TRUE;
    for (int i = 0; i < count; ++i) {
        Tk3DTab& tab = tabAt(i);
        tab.m_label = tab.m_fullLabel.size() >= 3 ? Ellipsis : tab.m_fullLabel;
        tab.m_bShortened = tab.m_label != tab.m_fullLabel;
    }
    bool mayShorten = TotalLength(false) + StripSlack <= available;
    if (mayShorten) {
        for (int i = 0; i < count; ++i) {
            tabAt(i).m_label = tabAt(i).m_fullLabel;
            tabAt(i).m_bShortened = FALSE;
        }
    }
    m_bShowLabels = available > minimum;
    if (available <= 0) return;

    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_fonts[1]);
    const auto width = [dc](const std::string& label) {
        SIZE extent{0, 0};
        GetTextExtentPoint32(dc, label.c_str(), int(label.size()), &extent);
        return extent.cx;
    };
    const auto shortenable = [](const Tk3DTab& tab) {
        return tab.m_label == tab.m_fullLabel ? !tab.m_fullLabel.empty()
                                              : EndsWithEllipsis(tab.m_label) && tab.m_label.size() > 3;
    };
    const auto widest = [&](bool onlyShortenable) {
        int found = -1, best = -1;
        for (int i = 0; i < count; ++i) {
            if (onlyShortenable && !shortenable(tabAt(i))) continue;
            if (!onlyShortenable && tabAt(i).m_label.empty()) continue;
            const int w = width(tabAt(i).m_label);
            if (w > best) {
                best = w;
                found = i;
            }
        }
        return found;
    };
    int total = TotalLength(false);
    while (mayShorten && total + StripSlack > available) {
        const int i = widest(true);
        if (i < 0) {
            mayShorten = false;
            break;
        }
        Tk3DTab& tab = tabAt(i);
        std::string stem;
        if (tab.m_label == tab.m_fullLabel) {
            const std::size_t cut = tab.m_fullLabel.rfind(Ellipsis, 0) == 0 ? 3 : 4;
            stem = tab.m_fullLabel.substr(0, tab.m_fullLabel.size() - std::min(cut, tab.m_fullLabel.size()));
        } else {
            stem = tab.m_label.substr(0, tab.m_label.size() - 3);
            if (!stem.empty()) stem.pop_back();
        }
        tab.m_label = tab.m_fullLabel.size() >= 3 ? stem + Ellipsis : stem;
        tab.m_bShortened = TRUE;
        total = TotalLength(false);
    }
    if (!mayShorten && m_bShowLabels) {
        for (int i = 0; i < count; ++i)
            tabAt(i).m_bShortened = TRUE;
        while (total + StripSlack > available && m_bShowLabels) {
            const int i = widest(false);
            if (i >= 0) tabAt(i).m_label.pop_back();
            m_bShowLabels = FALSE;
            for (int k = 0; k < count; ++k)
                if (!tabAt(k).m_label.empty()) m_bShowLabels = TRUE;
            total = TotalLength(false);
        }
    }
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
}

// ---- painting

LRESULT Tk3DTabControl::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(m_hWnd, &client);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap =
        CreateCompatibleBitmap(screen, std::max(client.Width(), 1), std::max(client.Height(), 1));
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    FillSolid(dc, 0, 0, client.Width(), client.Height(), GetSysColor(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    ::vq::SetTextColor(dc, m_inactiveTextColour);
    HGDIOBJ oldBrush = SelectObject(dc, m_brushes[0]);
    HGDIOBJ oldFont = SelectObject(dc, m_fonts[0]);
    HGDIOBJ oldPen = SelectObject(dc, m_pens[0]);
    int active = -1;
    const bool hasActive = GetActiveTab(active);
    for (int i = 0; i < GetTabCount(); ++i)
        if (!hasActive || i != active) DrawTab(dc, i);
    DrawPageEdge(dc, client);
    RECT clip;
    GetClipBox(screen, &clip);
    if (hasActive && !IntersectRects(Get3DTab(active)->m_rect, clip).IsEmpty()) {
        ::vq::SetTextColor(dc, m_activeTextColour);
        SelectObject(dc, m_brushes[1]);
        SelectObject(dc, m_brushes[0]);
        SelectObject(dc, m_fonts[1]);
        SelectObject(dc, m_pens[1]);
        DrawTab(dc, active);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    BitBlt(screen, 0, 0, client.Width(), client.Height(), dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(m_hWnd, &ps);
    return 0;
}

// Four lines along the page's side of the strip, which the page border continues.
void Tk3DTabControl::DrawPageEdge(HDC dc, const RECT& client) const {
    const bool thin = GetStyle() & TK3DTAB_THINBORDER;
    const COLORREF colours[4] = {GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNFACE),
                                 GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 0)};
    const Side side = GetSide();
    for (int k = 0; k < 4; ++k) {
        // The thin border leaves out the lines on the page's far side of the bevel.
        const bool outer = k < 2;
        switch (side) {
        case Side::Bottom:
            if (thin && outer) continue;
            Line(dc, colours[k], client.left, client.top + k, client.right, client.top + k);
            break;
        case Side::Top:
            if (thin && !outer) continue;
            Line(dc, colours[k], client.left, client.bottom - 4 + k, client.right, client.bottom - 4 + k);
            break;
        case Side::Left:
            if (thin && !outer) continue;
            Line(dc, colours[k], client.right - 4 + k, client.top, client.right - 4 + k, client.bottom);
            break;
        default:
            if (thin && outer) continue;
            Line(dc, colours[k], client.left + k, client.top + (k == 2 ? 1 : 0), client.left + k,
                 client.bottom);
            break;
        }
    }
}

void Tk3DTabControl::FillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF colour) {
    const COLORREF old = SetBkColor(dc, colour);
    const RECT r{x, y, x + cx, y + cy};
    ExtTextOut(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void Tk3DTabControl::DrawTab(HDC dc, int index) {
    Tk3DTab* tab = Get3DTab(index);
    if (!tab) return;
    const DWORD style = GetStyle();
    const Side side = GetSide();
    RECT fill = tab->m_rect;
    if (side == Side::Bottom) --fill.bottom;
    if (side == Side::Right) fill.right -= 2;
    FillSolid(dc, fill.left, fill.top, fill.Width(), fill.Height(), GetSysColor(COLOR_BTNFACE));
    DrawTabContents(dc, tab, style);
    switch (side) {
    case Side::Top:
        DrawTopTab(dc, tab, style);
        break;
    case Side::Left:
        DrawLeftTab(dc, tab, style);
        break;
    case Side::Right:
        DrawRightTab(dc, tab, style);
        break;
    default:
        DrawBottomTab(dc, tab, style);
        break;
    }
}

void Tk3DTabControl::DrawBottomTab(HDC dc, Tk3DTab* tab, DWORD style) {
    const RECT& r = tab->m_rect;
    const int L = r.left, T = r.top, B = r.bottom, R = (style & TK3DTAB_INNEREDGE) ? r.right - 1 : r.right;
    HPEN black = HPEN(GetCurrentObject(dc, OBJ_PEN));
    Polyline(dc, m_highlightPen, {{L, T + 1}, {L, B - 2}});
    Polyline(
        dc, m_shadowPen,
        {{L + 1, B - 2}, {L + 1, B - 1}, {R - 2, B - 1}, {R - 2, B - 2}, {R - 1, B - 2}, {R - 1, T}, {R, T}});
    Polyline(dc, black, {{R, T + 2}, {R, B - 2}, {R - 2, B}, {L + 2, B}});
}

void Tk3DTabControl::DrawTopTab(HDC dc, Tk3DTab* tab, DWORD style) {
    const RECT& r = tab->m_rect;
    const int L = r.left, T = r.top, B = r.bottom, R = (style & TK3DTAB_INNEREDGE) ? r.right - 1 : r.right;
    HPEN black = HPEN(GetCurrentObject(dc, OBJ_PEN));
    Polyline(dc, m_highlightPen, {{L, B - 1}, {L, T + 2}, {L + 2, T}, {R - 2, T}});
    Polyline(dc, m_shadowPen, {{R - 2, T + 1}, {R - 1, T + 2}, {R - 1, B}});
    Polyline(dc, black, {{R - 1, T + 1}, {R, T + 2}, {R, B}});
}

void Tk3DTabControl::DrawLeftTab(HDC dc, Tk3DTab* tab, DWORD style) {
    const RECT& r = tab->m_rect;
    const int L = r.left, T = r.top, R = r.right, B = (style & TK3DTAB_INNEREDGE) ? r.bottom - 1 : r.bottom;
    HPEN black = HPEN(GetCurrentObject(dc, OBJ_PEN));
    Polyline(dc, m_highlightPen, {{L, B - 2}, {L, T + 2}, {L + 2, T}, {R, T}});
    Polyline(dc, m_shadowPen, {{L + 1, B - 2}, {L + 2, B - 1}, {R, B - 1}});
    Polyline(dc, black, {{L + 1, B - 1}, {L + 2, B}, {R, B}});
}

void Tk3DTabControl::DrawRightTab(HDC dc, Tk3DTab* tab, DWORD style) {
    const RECT& r = tab->m_rect;
    const int L = r.left, T = r.top, R = r.right, B = (style & TK3DTAB_INNEREDGE) ? r.bottom - 1 : r.bottom;
    HPEN black = HPEN(GetCurrentObject(dc, OBJ_PEN));
    Polyline(dc, m_highlightPen, {{L, T}, {R - 2, T}});
    Polyline(dc, m_shadowPen, {{R - 2, T}, {R - 1, T + 1}, {R - 1, B - 2}});
    Polyline(dc, m_shadowPen, {{R - 1, B - 2}, {R - 2, B - 1}, {L, B - 1}});
    Polyline(dc, black, {{R, T + 2}, {R, B - 2}});
    Polyline(dc, black, {{R, B - 2}, {R - 2, B}, {L, B}});
}

bool Tk3DTabControl::TabStops() const {
    const HWND owner = ::vq::GetParent(m_hWnd);
    return owner && (DWORD(GetWindowLongPtr(owner, GWL_STYLE)) & WS_TABSTOP);
}

void Tk3DTabControl::DrawTabContents(HDC dc, Tk3DTab* tab, DWORD style) {
    const RECT& r = tab->m_rect;
    const std::string& label = tab->m_label;
    SIZE extent{0, 0};
    if (m_bShowLabels) GetTextExtentPoint32(dc, label.c_str(), int(label.size()), &extent);
    const Side side = GetSide();
    const bool turned = (style & (TK3DTAB_LEFT | TK3DTAB_RIGHT)) != 0;
    if (turned) std::swap(extent.cx, extent.cy);
    POINT text{}, icon{};
    switch (side) {
    case Side::Bottom:
    case Side::Top:
        icon = POINT{r.left + 6, (r.top + r.bottom) / 2 - 8};
        text = POINT{r.left + 6 + (tab->m_hIcon ? 19 : 0), r.top + (r.Height() - extent.cy) / 2};
        break;
    case Side::Left:
        icon = POINT{r.left + (r.Width() - 16) / 2, r.bottom - 22};
        // Upward text starts at its bottom left.
        text = POINT{r.left + (r.Width() - extent.cx) / 2, r.bottom - 6 - (tab->m_hIcon ? 19 : 0)};
        break;
    default:
        icon = POINT{r.left + (r.Width() - 16) / 2, r.top + 6};
        text = POINT{r.left + (r.Width() - extent.cx) / 2, r.top + 6 + (tab->m_hIcon ? 19 : 0)};
        // Downward text starts at its top right.
        if (side == Side::Right) text.x += extent.cx;
        break;
    }
    HDC target = dc;
    RECT place = r;
    HDC composed = nullptr;
    HBITMAP picture = nullptr;
    HGDIOBJ oldPicture = nullptr;
    if (!tab->m_bEnabled) {
        // A disabled tab is drawn on a face-coloured picture of its own, etched, then put in place.
        composed = CreateCompatibleDC(dc);
        picture = composed
                      ? CreateCompatibleBitmap(dc, r.Width() + DisabledMargin, r.Height() + DisabledMargin)
                      : nullptr;
        if (picture) {
            oldPicture = SelectObject(composed, picture);
            FillSolid(composed, 0, 0, r.Width() + DisabledMargin, r.Height() + DisabledMargin,
                      GetSysColor(COLOR_BTNFACE));
            SelectObject(composed, GetCurrentObject(dc, OBJ_FONT));
            SetBkMode(composed, TRANSPARENT);
            ::vq::SetTextColor(composed, RGB(0, 0, 0));
            target = composed;
            text = POINT{text.x - r.left, text.y - r.top};
            icon = POINT{icon.x - r.left, icon.y - r.top};
            place = RECT{0, 0, r.Width(), r.Height()};
        } else if (composed) {
            DeleteDC(std::exchange(composed, nullptr));
        }
    }
    int active = -1;
    if (tab->m_bEnabled && TabStops() && tab->m_selected && GetFocus() == m_hWnd && GetActiveTab(active)) {
        static constexpr int insets[4][4] = {{2, 1, 3, 2}, {2, 2, 3, 1}, {2, 2, 1, 3}, {1, 2, 2, 3}};
        const int* inset = insets[side == Side::Bottom ? 0
                                  : side == Side::Top  ? 1
                                  : side == Side::Left ? 2
                                                       : 3];
        const RECT focus{r.left + inset[0], r.top + inset[1], r.right - inset[2], r.bottom - inset[3]};
        DrawFocusRect(dc, &focus);
    }
    if (tab->m_hIcon) DrawIconEx(target, icon.x, icon.y, tab->m_hIcon, 16, 16, 0, nullptr, DI_NORMAL);
    if (m_bShowLabels && !label.empty())
        ExtTextOut(target, text.x, text.y, ETO_CLIPPED, &place, label.c_str(), UINT(label.size()), nullptr);
    if (composed) {
        DrawDisabled(composed, r.Width() + DisabledMargin, r.Height() + DisabledMargin);
        BitBlt(dc, r.left, r.top, r.Width(), r.Height(), composed, 0, 0, SRCCOPY);
        SelectObject(composed, oldPicture);
        DeleteObject(picture);
        DeleteDC(composed);
    }
}

void Tk3DTabControl::DrawDisabled(HDC dc, int cx, int cy) {
    const TkSysMetrics& colours = tkSysMetrics;
    HDC maskDc = CreateCompatibleDC(dc);
    HBITMAP mask = CreateBitmap(cx, cy, 1, 1, nullptr);
    if (!maskDc || !mask) {
        if (mask) DeleteObject(mask);
        if (maskDc) DeleteDC(maskDc);
        return;
    }
    HGDIOBJ oldMask = SelectObject(maskDc, mask);
    PatBlt(maskDc, 0, 0, cx, cy, WHITENESS);
    // Face and highlight pixels are ground; everything else is ink.
    SetBkColor(dc, colours.m_crButtonFace);
    BitBlt(maskDc, 0, 0, cx - 3, cy - 3, dc, 1, 1, SRCCOPY);
    SetBkColor(dc, colours.m_crButtonHighlight);
    BitBlt(maskDc, 0, 0, cx - 3, cy - 3, dc, 1, 1, SRCPAINT);
    SetBkColor(dc, RGB(255, 255, 255));
    ::vq::SetTextColor(dc, RGB(0, 0, 0));
    HBRUSH highlight = CreateSolidBrush(colours.m_crButtonHighlight);
    HBRUSH shadow = CreateSolidBrush(colours.m_crButtonShadow);
    HGDIOBJ oldBrush = SelectObject(dc, highlight);
    BitBlt(dc, 2, 2, cx - 4, cy - 4, maskDc, 0, 0, MaskedPaint);
    SelectObject(dc, shadow);
    BitBlt(dc, 1, 1, cx - 3, cy - 3, maskDc, 0, 0, MaskedPaint);
    SelectObject(dc, oldBrush);
    DeleteObject(highlight);
    DeleteObject(shadow);
    SelectObject(maskDc, oldMask);
    DeleteObject(mask);
    DeleteDC(maskDc);
}

// ---- input

int Tk3DTabControl::TabFromPoint(POINT client) const {
    int active = -1;
    if (GetActiveTab(active) && Contains(Get3DTab(active)->m_rect, client)) return active;
    for (int i = 0; i < GetTabCount(); ++i)
        if (Contains(Get3DTab(i)->m_rect, client)) return i;
    return -1;
}

LRESULT Tk3DTabControl::OnLButtonDown(WPARAM, LPARAM lParam) {
    const int index = TabFromPoint(PointOf(lParam));
    if (index >= 0 && Get3DTab(index)->m_bEnabled) {
        int active = -1;
        if (GetActiveTab(active) && active == index)
            NotifyActiveTabClicked();
        else
            ActivateTab(index);
    }
    if (!m_hWnd) return 0;
    if (GetStyle() & TK3DTAB_DRAGTABS) SetCapture(m_hWnd);
    if (TabStops()) SetFocus(m_hWnd);
    return 0;
}

LRESULT Tk3DTabControl::OnLButtonUp(WPARAM, LPARAM) {
    if ((GetStyle() & TK3DTAB_DRAGTABS) && GetCapture() == m_hWnd) ReleaseCapture();
    return 0;
}

LRESULT Tk3DTabControl::OnLButtonDblClk(WPARAM, LPARAM lParam) {
    const POINT point = PointOf(lParam);
    for (int i = 0; i < GetTabCount(); ++i)
        if (Get3DTab(i)->m_bEnabled && Contains(Get3DTab(i)->m_rect, point))
            ::vq::SendMessage(::vq::GetParent(m_hWnd), TKTAB_DOUBLECLICKED, WPARAM(i), 0);
    return 0;
}

LRESULT Tk3DTabControl::OnMouseMove(WPARAM, LPARAM lParam) {
    if ((GetStyle() & TK3DTAB_DRAGTABS) && GetCapture() == m_hWnd) DragActiveTab(PointOf(lParam));
    return Default();
}

// The active tab moves to where the pointer is once the pointer lies where the moved tab would be,
// so a tab does not swap back and forth under a still pointer.
void Tk3DTabControl::DragActiveTab(POINT point) {
    int active = -1;
    if (!GetActiveTab(active) || Contains(Get3DTab(active)->m_rect, point)) return;
    int target = -1;
    for (int i = 0; i < GetTabCount() && target < 0; ++i)
        if (i != active && Contains(Get3DTab(i)->m_rect, point)) target = i;
    if (target < 0) return;
    const RECT& a = Get3DTab(active)->m_rect;
    const RECT& t = Get3DTab(target)->m_rect;
    const bool across = GetSide() == Side::Bottom || GetSide() == Side::Top;
    const int at = across ? point.x : point.y;
    const int aStart = across ? a.left : a.top, aEnd = across ? a.right : a.bottom;
    const int aLength = aEnd - aStart;
    const int tStart = across ? t.left : t.top, tLength = across ? t.Width() : t.Height();
    const bool passed = target > active ? (at > aStart + tLength && at < aEnd + tLength)
                                        : (at > tStart && at < tStart + aLength);
    if (!passed) return;
    const HWND focus = GetFocus();
    auto record = std::move(m_tabs[std::size_t(active)]);
    m_tabs.erase(m_tabs.begin() + active);
    m_tabs.insert(m_tabs.begin() + target, std::move(record));
    ActivateTab(target);
    if (focus && IsWindow(focus)) SetFocus(focus);
    InvalidateRect(m_hWnd, nullptr, TRUE);
}

void Tk3DTabControl::StepTab(int step) {
    int active = -1;
    if (!GetActiveTab(active)) return;
    for (int i = active + step; i >= 0 && i < GetTabCount(); i += step) {
        if (!Get3DTab(i)->m_bEnabled) continue;
        ActivateTab(i);
        if (m_hWnd) SetFocus(m_hWnd);
        return;
    }
}

LRESULT Tk3DTabControl::OnKeyDown(WPARAM key, LPARAM) {
    if (key == VK_LEFT || key == VK_UP) StepTab(-1);
    if (key == VK_RIGHT || key == VK_DOWN) StepTab(1);
    return Default();
}

LRESULT Tk3DTabControl::OnFocusChange(WPARAM, LPARAM) {
    if (TabStops()) InvalidateRect(m_hWnd, nullptr, FALSE);
    return Default();
}

std::intptr_t Tk3DTabControl::OnToolHitTest(POINT point, ToolHit* hit) const {
    for (int i = 0; i < GetTabCount(); ++i) {
        const Tk3DTab& tab = *Get3DTab(i);
        const bool wanted = tab.m_bShortened || (!m_bShowLabels && !m_bAutoFit);
        if (!wanted || !Contains(tab.m_rect, point)) continue;
        if (hit) {
            hit->info.hwnd = m_hWnd;
            hit->info.uId = std::uintptr_t(i + 1);
            hit->info.rect = tab.m_rect;
            hit->info.lpszText = nullptr;
            hit->text = tab.m_fullLabel;
        }
        return i + 1;
    }
    return -1;
}

} // namespace vq
