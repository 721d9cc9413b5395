#include "toolkit/lists/TkTabControl.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/Redraw.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkTabControl, TkTabControlBase)

VQ_BEGIN_MESSAGE_MAP(TkTabControl, TkTabControlBase)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroyStrip)
VQ_END_MESSAGE_MAP()

namespace {

constexpr std::uint8_t kSwissFamily = 0x20;
constexpr std::uintptr_t kRepeatTimer = 0x7AB;
constexpr DWORD kFirstDelay = 300;
constexpr DWORD kRepeatDelay = 20;
constexpr int kStep = 10;
constexpr DWORD kButtons[] = {TkTabControl::kFirst, TkTabControl::kPrevious, TkTabControl::kNext,
                              TkTabControl::kLast};

HFONT MakeFont(std::int32_t height, std::int32_t weight) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfPitchAndFamily = kSwissFamily;
    std::strcpy(lf.lfFaceName, "Arial Narrow");
    return CreateFontIndirect(lf);
}

SIZE TextSize(HDC dc, const std::string& text) {
    SIZE size{0, 0};
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
    return size;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

} // namespace

TkTabControl::TkTabControl() = default;

TkTabControl::~TkTabControl() {
    DestroyGdiObjects();
}

void TkTabControl::Initialize(DWORD style) {
    m_buttons = (style & 0x1)   ? (kPrevious | kNext)
                : (style & 0x2) ? (kFirst | kPrevious | kNext | kLast)
                                : 0;
    m_nRowHeight = GetSystemMetrics(SM_CYHSCROLL) + 1;
    m_nButtonWidth = m_nButtonHeight = m_nRowHeight;
    const std::int32_t height = GetSystemMetrics(SM_CYHSCROLL) - 1;
    DestroyGdiObjects();
    m_fonts[0] = MakeFont(height, FW_NORMAL);
    m_fonts[1] = MakeFont(height, FW_NORMAL);
    m_fonts[2] = MakeFont(height, FW_BOLD);
    m_brushes[0] = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    m_brushes[1] = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    m_brushes[2] = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
    for (HPEN& pen : m_pens)
        pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_shadowPen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    std::fill(std::begin(m_textColours), std::end(m_textColours), RGB(0, 0, 0));
}

void TkTabControl::DestroyGdiObjects() {
    for (HFONT& font : m_fonts)
        if (font) DeleteObject(std::exchange(font, nullptr));
    for (HPEN& pen : m_pens)
        if (pen) DeleteObject(std::exchange(pen, nullptr));
    for (HBRUSH& brush : m_brushes)
        if (brush) DeleteObject(std::exchange(brush, nullptr));
    if (m_shadowPen) DeleteObject(std::exchange(m_shadowPen, nullptr));
}

LRESULT TkTabControl::OnDestroyStrip(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = OnDestroy(wParam, lParam);
    DestroyGdiObjects();
    return result;
}

void TkTabControl::RecalcLayout() {
    if (!m_hWnd) return;
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_fonts[2]);
    for (auto& tab : m_tabs)
        tab->m_width = TextSize(dc, tab->m_label).cx + 20;
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
}

TkTab* TkTabControl::InsertTab(int index, const char* label, Object* client, void* user1, void* user2) {
    TkTab* tab = TkTabControlBase::InsertTab(index, label, client, user1, user2);
    if (tab) {
        RecalcLayout();
        InvalidateFrom(index);
    }
    return tab;
}

RECT TkTabControl::TabsArea() const {
    RECT area{0, 0, 0, 0};
    if (m_hWnd) GetClientRect(m_hWnd, &area);
    for (DWORD b : kButtons)
        if (m_buttons & b) area.left += m_nButtonWidth;
    return area;
}

RECT TkTabControl::ButtonRect(Button button) const {
    RECT client{0, 0, 0, 0};
    if (m_hWnd) GetClientRect(m_hWnd, &client);
    int left = client.left;
    for (DWORD b : kButtons) {
        if (!(m_buttons & b)) continue;
        if (b == button) return RECT{left, client.top, left + m_nButtonWidth, client.top + m_nButtonHeight};
        left += m_nButtonWidth;
    }
    return RECT{0, 0, 0, 0};
}

std::int32_t TkTabControl::TabLeft(int index) const {
    std::int32_t x = TabsArea().left + m_nOffset;
    for (int i = 0; i < index && i < GetTabCount(); ++i)
        x += m_tabs[i]->m_width - 5;
    return x;
}

HRGN TkTabControl::CreateTabShape(int index) const {
    if (!IsValidIndex(index)) return nullptr;
    const RECT area = TabsArea();
    const std::int32_t x = TabLeft(index), w = m_tabs[index]->m_width;
    const POINT shape[] = {{x, area.top}, {x + 6, area.bottom}, {x + w - 6, area.bottom}, {x + w, area.top}};
    return CreatePolygonRgn(shape, 4, ALTERNATE);
}

int TkTabControl::TabFromPoint(POINT client) const {
    for (int i = 0; i < GetTabCount(); ++i) {
        HRGN shape = CreateTabShape(i);
        const BOOL inside = PtInRegion(shape, client.x, client.y);
        DeleteObject(shape);
        if (inside) return i;
    }
    return -1;
}

std::int32_t TkTabControl::LastTabRightUnscrolled() const {
    if (m_tabs.empty()) return TabsArea().left;
    return TabLeft(GetTabCount() - 1) - m_nOffset + m_tabs.back()->m_width;
}

void TkTabControl::InvalidateTab(int index) {
    if (!m_hWnd) return;
    if (HRGN shape = CreateTabShape(index)) {
        RedrawWindow(m_hWnd, nullptr, shape, RDW_INVALIDATE | RDW_ERASE);
        DeleteObject(shape);
    }
}

void TkTabControl::DrawTab(HDC dc, int index, HRGN shape) {
    const RECT area = TabsArea();
    const std::int32_t x = TabLeft(index), w = m_tabs[index]->m_width;
    (void)shape;
    const std::int32_t L = x, T = area.top, B = area.bottom, W = w;
    const POINT fill[] = {{x, T}, {x + 6, B}, {x + w - 7, B}, {x + w - 2, T}};
    HRGN inside = CreatePolygonRgn(fill, 4, ALTERNATE);
    FillRgn(dc, inside, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
    DeleteObject(inside);
    Line(dc, L, T, L + 6, B - 1);
    HGDIOBJ current = SelectObject(dc, m_shadowPen);
    LineTo(dc, L + W - 8, B - 1);
    LineTo(dc, L + W - 2, T);
    SelectObject(dc, current);
    Line(dc, L + W - 7, B - 1, L + W - 1, T);
    const std::string& label = m_tabs[index]->m_label;
    const SIZE text = TextSize(dc, label);
    SetTextAlign(dc, TA_BOTTOM);
    TextOut(dc, L + 6 + (W - text.cx - 12) / 2, (B - 1) + (text.cy + T - (B - 1)) / 2, label.c_str(),
            int(label.size()));
}

void TkTabControl::DrawButton(HDC dc, Button button) const {
    const RECT r = ButtonRect(button);
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME));
    FrameRect(dc, &r, frame);
    DeleteObject(frame);
    RECT face{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    HBRUSH faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    FillRect(dc, &face, faceBrush);
    DeleteObject(faceBrush);
    const bool pressed = m_pressedButton == button;
    HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, pressed ? shadow : highlight);
    for (int d = 0; d < 2; ++d) {
        Line(dc, face.left + d, face.bottom - 1 - d, face.left + d, face.top + d);
        LineTo(dc, face.right - d, face.top + d);
    }
    if (!pressed) {
        SelectObject(dc, shadow);
        for (int d = 0; d < 2; ++d) {
            Line(dc, face.right - 1 - d, face.top + d, face.right - 1 - d, face.bottom - 1 - d);
            LineTo(dc, face.left + d - 1, face.bottom - 1 - d);
        }
    }
    SelectObject(dc, oldPen);
    DeleteObject(highlight);
    DeleteObject(shadow);

    const COLORREF ink = (m_disabledButtons & button) ? GetSysColor(COLOR_BTNSHADOW) : RGB(0, 0, 0);
    HBRUSH arrowBrush = CreateSolidBrush(ink);
    HPEN arrowPen = CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ ob = SelectObject(dc, arrowBrush);
    HGDIOBJ op = SelectObject(dc, arrowPen);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int shift = pressed ? 1 : 0;
    const int cx = r.left + width / 2 + shift, cy = r.top + height / 2 + shift;
    const int half = int(width * 0.3) / 2, halfH = int(height * 0.55) / 2;
    const bool left = button == kFirst || button == kPrevious;
    const int centre = (button == kPrevious || button == kLast) ? cx - 2 : cx;
    const int tip = left ? centre - half : centre + half, back = left ? centre + half : centre - half;
    const POINT arrow[] = {{tip, cy}, {back, cy - halfH}, {back, cy + halfH}};
    Polygon(dc, arrow, 3);
    if (button == kFirst) Line(dc, tip - 2, cy - halfH, tip - 2, cy + halfH + 1);
    if (button == kLast) Line(dc, tip + 2, cy - halfH, tip + 2, cy + halfH + 1);
    SelectObject(dc, ob);
    SelectObject(dc, op);
    DeleteObject(arrowBrush);
    DeleteObject(arrowPen);
}

LRESULT TkTabControl::OnEraseBkgnd(WPARAM dc, LPARAM) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    FillRect(reinterpret_cast<HDC>(dc), &client, m_brushes[0]);
    return TRUE;
}

LRESULT TkTabControl::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT clip;
    GetClipBox(dc, &clip);
    for (DWORD b : kButtons) {
        if (!(m_buttons & b)) continue;
        const RECT r = ButtonRect(Button(b));
        if (!IntersectRects(r, clip).IsEmpty()) DrawButton(dc, Button(b));
    }
    const RECT area = TabsArea();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    int active = -1;
    GetActiveTab(active);
    auto drawKind = [&](int kind, auto&& wanted) {
        SetTextColor(dc, m_textColours[kind]);
        SelectObject(dc, m_brushes[kind]);
        SelectObject(dc, m_fonts[kind]);
        SelectObject(dc, m_pens[kind]);
        for (int i = 0; i < GetTabCount(); ++i) {
            if (!wanted(i)) continue;
            HRGN shape = CreateTabShape(i);
            RECT box;
            GetRgnBox(shape, &box);
            if (!IntersectRects(box, clip).IsEmpty()) DrawTab(dc, i, shape);
            DeleteObject(shape);
        }
    };
    drawKind(0, [&](int i) { return i != active && !m_tabs[i]->m_selected; });
    drawKind(1, [&](int i) { return i != active && m_tabs[i]->m_selected; });
    drawKind(2, [&](int i) { return i == active; });
    SelectObject(dc, m_pens[0]);
    if (active >= 0) {
        const std::int32_t left = TabLeft(active), right = left + m_tabs[active]->m_width - 1;
        if (left > area.left) Line(dc, area.left, area.top, left, area.top);
        Line(dc, right, area.top, area.right, area.top);
    } else {
        Line(dc, area.left, area.top, area.right, area.top);
    }
    RestoreDC(dc, saved);
    EndPaint(m_hWnd, &ps);
    return 0;
}

void TkTabControl::UpdateScrollButtons() {
    const DWORD before = m_disabledButtons;
    if (m_tabs.empty()) {
        m_disabledButtons = kFirst | kPrevious | kNext | kLast;
    } else {
        const RECT area = TabsArea();
        const std::int32_t minimum = std::min(0, area.right - LastTabRightUnscrolled());
        m_nOffset = std::clamp(m_nOffset, minimum, 0);
        m_disabledButtons = 0;
        if (m_nOffset == 0) m_disabledButtons |= kFirst | kPrevious;
        if (m_nOffset == minimum) m_disabledButtons |= kNext | kLast;
    }
    if (!m_hWnd) return;
    for (DWORD b : kButtons)
        if ((m_buttons & b) && ((before ^ m_disabledButtons) & b)) {
            const RECT r = ButtonRect(Button(b));
            InvalidateRect(m_hWnd, &r, FALSE);
        }
    if (m_nOffset != m_nDrawnOffset) {
        const RECT area = TabsArea();
        ScrollWindowEx(m_hWnd, m_nOffset - m_nDrawnOffset, 0, &area, &area, nullptr, nullptr,
                       SW_INVALIDATE | SW_ERASE);
        m_nDrawnOffset = m_nOffset;
        UpdateWindow(m_hWnd);
    }
}

void TkTabControl::ScrollToTab(int index) {
    if (!IsValidIndex(index) || !m_hWnd) return;
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (client.right <= client.left || client.bottom <= client.top) return;
    const RECT area = TabsArea();
    const std::int32_t width = m_tabs[index]->m_width;
    const int margin = width + 20 <= area.right - area.left ? 20 : 0;
    std::int32_t left = TabLeft(index);
    if (left + width > area.right) {
        m_nOffset -= left + width - (area.right - margin);
        left = TabLeft(index);
    }
    if (left < area.left) m_nOffset += area.left + margin - left;
    UpdateScrollButtons();
}

DWORD TkTabControl::ButtonAt(POINT client) const {
    for (DWORD b : kButtons) {
        if (!(m_buttons & b)) continue;
        const RECT r = ButtonRect(Button(b));
        if (r.Contains(client.x, client.y)) return b;
    }
    return 0;
}

void TkTabControl::StepButton(DWORD button) {
    switch (button) {
    case kFirst:
        m_nOffset = 0;
        break;
    case kPrevious:
        m_nOffset += kStep;
        break;
    case kNext:
        m_nOffset -= kStep;
        break;
    case kLast:
        m_nOffset = TabsArea().right - LastTabRightUnscrolled();
        break;
    default:
        break;
    }
    UpdateScrollButtons();
}

void TkTabControl::PressButton(DWORD button) {
    if (m_disabledButtons & button) return;
    m_pressedButton = button;
    const RECT r = ButtonRect(Button(button));
    InvalidateRect(m_hWnd, &r, FALSE);
    StepButton(button);
    TrackButton(button);
    m_pressedButton = 0;
    if (::vq::IsWindow(m_hWnd)) InvalidateRect(m_hWnd, &r, FALSE);
}

void TkTabControl::TrackButton(DWORD button) {
    const HWND self = m_hWnd;
    SetCapture(self);
    DWORD last = GetTickCount();
    DWORD delay = kFirstDelay;
    MSG msg;
    for (;;) {
        // Another window taking the capture, or a cancel, ends the hold as a release would.
        if (GetCapture() != self || !::vq::IsWindow(self)) break;
        if (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_LBUTTONUP || msg.message == WM_CANCELMODE || msg.message == WM_QUIT) {
                if (msg.message == WM_QUIT) PostQuitMessage(int(msg.wParam));
                break;
            }
            if (msg.message == WM_TIMER && msg.hwnd == self && msg.wParam == kRepeatTimer) continue;
            DispatchMessage(&msg);
            continue;
        }
        const DWORD now = GetTickCount();
        if (now - last > delay) {
            if (button == kPrevious || button == kNext) StepButton(button);
            last = now;
            delay = kRepeatDelay;
            continue;
        }
        // Sleep until the step falls due or something else happens.
        SetTimer(self, kRepeatTimer, delay - (now - last) + 1, nullptr);
        if (!GetMessage(&msg, 0, 0, 0)) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_CANCELMODE) break;
        if (!(msg.message == WM_TIMER && msg.hwnd == self && msg.wParam == kRepeatTimer))
            DispatchMessage(&msg);
    }
    if (::vq::IsWindow(self)) {
        KillTimer(self, kRepeatTimer);
        if (GetCapture() == self) ReleaseCapture();
    }
}

void TkTabControl::ClickTab(int index, WPARAM keys) {
    TkTab& tab = *m_tabs[index];
    int active = -1;
    const BOOL hasActive = GetActiveTab(active);
    if (m_bMultiSelect && (keys & MK_CONTROL)) {
        tab.m_selected = !tab.m_selected;
        if (hasActive && active == index) m_bHasActive = FALSE;
        InvalidateTab(index);
        return;
    }
    if (m_bMultiSelect && (keys & MK_SHIFT)) {
        // The range starts at the last active tab; one that no longer exists gives the clicked
        // tab alone.
        const int from = IsValidIndex(m_nActiveIndex) ? m_nActiveIndex : index;
        const int low = std::min(from, index), high = std::max(from, index);
        for (int i = 0; i < GetTabCount(); ++i) {
            const BOOL selected = i >= low && i <= high;
            if (m_tabs[i]->m_selected != selected) InvalidateTab(i);
            m_tabs[i]->m_selected = selected;
        }
        m_bHasActive = FALSE;
        ActivateTab(index);
        return;
    }
    if (hasActive && active == index) {
        NotifyActiveTabClicked();
        return;
    }
    for (int i = 0; i < GetTabCount(); ++i)
        if (m_tabs[i]->m_selected || i == index) {
            m_tabs[i]->m_selected = FALSE;
            InvalidateTab(i);
        }
    ActivateTab(index);
}

LRESULT TkTabControl::OnLButtonDown(WPARAM keys, LPARAM point) {
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (const DWORD button = ButtonAt(p)) {
        PressButton(button);
        return 0;
    }
    const int index = TabFromPoint(p);
    if (index < 0) return Default();
    ClickTab(index, keys);
    return 0;
}

LRESULT TkTabControl::OnLButtonDblClk(WPARAM, LPARAM point) {
    const POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (const DWORD button = ButtonAt(p)) {
        PressButton(button);
        return 0;
    }
    const LRESULT result = Default();
    const int index = TabFromPoint(p);
    if (index >= 0) ::vq::SendMessage(::vq::GetParent(m_hWnd), TKTAB_DOUBLECLICKED, WPARAM(index), 0);
    return result;
}

LRESULT TkTabControl::OnSize(WPARAM, LPARAM) {
    UpdateScrollButtons();
    return Default();
}

BOOL TkTabControl::SetFont(HFONT font, int which, BOOL redraw) {
    if (which < 0 || which > 2 || !font) return FALSE;
    LOGFONT lf;
    if (!GetObject(font, sizeof lf, &lf)) return FALSE;
    HFONT made = CreateFontIndirect(lf);
    if (!made) return FALSE;
    if (m_fonts[which]) DeleteObject(m_fonts[which]);
    m_fonts[which] = made;
    RecalcLayout();
    if (redraw && m_hWnd) {
        int active = -1;
        if (which == 2) {
            if (GetActiveTab(active)) InvalidateTab(active);
        } else {
            InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    }
    return TRUE;
}

} // namespace vq
