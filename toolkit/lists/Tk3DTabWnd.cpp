#include "toolkit/lists/Tk3DTabWnd.h"

#include "platform/gui/DeferWindowPos.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Redraw.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(Tk3DTabWnd, TkTabWndBase)

VQ_BEGIN_MESSAGE_MAP(Tk3DTabWnd, TkTabWndBase)
VQ_ON_MESSAGE(WM_NCCREATE, OnNcCreate)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(TKTAB_ACTIVATED, OnActivated)
VQ_ON_MESSAGE(WM_SETFOCUS, OnSetFocus)
VQ_END_MESSAGE_MAP()

namespace {

constexpr DWORD FlagBits = 0x0FF0;
constexpr DWORD ModeBits = 0x0003;

RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    POINT tl{r.left, r.top}, br{r.right, r.bottom};
    ScreenToClient(GetParent(child), &tl);
    ScreenToClient(GetParent(child), &br);
    return RECT{tl.x, tl.y, br.x, br.y};
}

// Adds a move to the batch unless the window already has the rectangle.
HDWP Place(HDWP batch, HWND window, const RECT& to, UINT flags) {
    if (!window || !batch || ChildRect(window) == to) return batch;
    return DeferWindowPos(batch, window, 0, to.left, to.top, to.Width(), to.Height(),
                          flags | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

// The page border's light edge keeps the colour the program started with.
COLORREF PageHighlight() {
    static const COLORREF colour = GetSysColor(COLOR_BTNHIGHLIGHT);
    return colour;
}

void HLine(HDC dc, COLORREF colour, int x, int y, int length) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x, y, nullptr);
    LineTo(dc, x + length, y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void VLine(HDC dc, COLORREF colour, int x, int y, int length) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x, y, nullptr);
    LineTo(dc, x, y + length);
    SelectObject(dc, old);
    DeleteObject(pen);
}

bool HasTabStop(HWND window) {
    return window && (DWORD(GetWindowLongPtr(window, GWL_STYLE)) & WS_TABSTOP) && IsWindowVisible(window) &&
           IsWindowEnabled(window);
}

// The first sibling after (or before) `window` that is a tab stop.
HWND SiblingTabStop(HWND window, UINT direction) {
    for (HWND w = GetWindow(window, direction); w; w = GetWindow(w, direction))
        if (HasTabStop(w)) return w;
    return 0;
}

} // namespace

Tk3DTabWnd::Tk3DTabWnd() = default;
Tk3DTabWnd::~Tk3DTabWnd() = default;

BOOL Tk3DTabWnd::Create(CWnd* parent, DWORD style, UINT id) {
    const DWORD mode = (style & 0x2) ? 0x2 : (style & 0x1);
    m_dwFlags = (style & FlagBits) | mode;
    return TkTabWndBase::Create(parent, style & ~(FlagBits | ModeBits), id);
}

BOOL Tk3DTabWnd::CreateTabCtrl(DWORD, UINT id) {
    auto strip = std::make_unique<Tk3DTabControl>();
    if (!strip->Create(m_dwFlags | WS_VISIBLE, RECT{0, 0, 0, 0}, this, id)) return FALSE;
    m_pTabCtrl = std::move(strip);
    return TRUE;
}

Tk3DTabControl::Side Tk3DTabWnd::Side() const {
    if (m_dwFlags & TK3DTAB_BOTTOM) return Tk3DTabControl::Side::Bottom;
    if (m_dwFlags & TK3DTAB_TOP) return Tk3DTabControl::Side::Top;
    if (m_dwFlags & TK3DTAB_LEFT) return Tk3DTabControl::Side::Left;
    return Tk3DTabControl::Side::Right;
}

void Tk3DTabWnd::GetInsideRect(RECT& rect) const {
    RECT client{0, 0, 0, 0};
    if (m_hWnd) GetClientRect(m_hWnd, &client);
    const int inset = (m_dwFlags & TK3DTAB_FLATACTIVE) ? -3 : 1;
    switch (Side()) {
    case Tk3DTabControl::Side::Bottom:
        rect =
            RECT{client.left + 6, client.top + 4, client.right - 7, client.bottom - (m_nStripHeight + inset)};
        break;
    case Tk3DTabControl::Side::Top:
        rect =
            RECT{client.left + 6, client.top + m_nStripHeight + inset, client.right - 7, client.bottom - 4};
        break;
    case Tk3DTabControl::Side::Left:
        rect = RECT{client.left + m_nStripWidth + inset, client.top + 4, client.right - 7, client.bottom - 6};
        break;
    default:
        rect =
            RECT{client.left + 6, client.top + 4, client.right - (m_nStripWidth + inset), client.bottom - 6};
        break;
    }
}

RECT Tk3DTabWnd::StripRect() const {
    RECT client{0, 0, 0, 0}, inside;
    if (m_hWnd) GetClientRect(m_hWnd, &client);
    GetInsideRect(inside);
    switch (Side()) {
    case Tk3DTabControl::Side::Bottom:
        return RECT{inside.left, inside.bottom + 1, inside.right, client.bottom};
    case Tk3DTabControl::Side::Top:
        return RECT{inside.left, client.top, inside.right, inside.top};
    case Tk3DTabControl::Side::Left:
        return RECT{client.left, inside.top, inside.left, inside.bottom};
    default:
        return RECT{inside.right, client.top, client.right, client.top + inside.Height()};
    }
}

void Tk3DTabWnd::RecalcLayout() {
    if (!m_hWnd || !m_pTabCtrl) return;
    const Tk3DTabControl::Side side = Side();
    const bool across = side == Tk3DTabControl::Side::Bottom || side == Tk3DTabControl::Side::Top;
    m_nStripHeight = across ? 30 : 0;
    m_nStripWidth = across ? 0 : 30;
    RECT inside;
    GetInsideRect(inside);
    HDWP batch = BeginDeferWindowPos(2);
    batch = Place(batch, m_pTabCtrl->m_hWnd, StripRect(), SWP_NOREDRAW);
    if (m_pActiveWnd && m_pActiveWnd->m_hWnd)
        batch = Place(batch, m_pActiveWnd->m_hWnd,
                      RECT{inside.left, inside.top, inside.right - 1, inside.bottom}, 0);
    if (batch) EndDeferWindowPos(batch);
}

LRESULT Tk3DTabWnd::OnNcCreate(WPARAM, LPARAM) {
    const LRESULT result = Default();
    const HWND parent = ::vq::GetParent(m_hWnd);
    if (parent) {
        const auto ex = DWORD(GetWindowLongPtr(parent, GWL_EXSTYLE));
        if (ex & WS_EX_CLIENTEDGE) {
            SetWindowLongPtr(parent, GWL_EXSTYLE, std::intptr_t(ex & ~WS_EX_CLIENTEDGE));
            SetWindowPos(parent, 0, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return result;
}

LRESULT Tk3DTabWnd::OnSize(WPARAM type, LPARAM size) {
    const int width = int(size & 0xFFFF), height = int((size >> 16) & 0xFFFF);
    if (type != 1 /* minimized */ && width > 0 && height > 0) {
        RecalcLayout();
        if (m_pTabCtrl && m_pTabCtrl->m_hWnd) InvalidateRect(m_pTabCtrl->m_hWnd, nullptr, TRUE);
        InvalidateRect(m_hWnd, nullptr, FALSE);
    }
    return Default();
}

LRESULT Tk3DTabWnd::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    HDC dc = HDC(wParam);
    RECT client, inside;
    GetClientRect(m_hWnd, &client);
    GetInsideRect(inside);
    const int saved = SaveDC(dc);
    const RECT strip = StripRect();
    ExcludeClipRect(dc, strip.left, strip.top, strip.right, strip.bottom);
    HBRUSH face = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    const RECT bands[] = {
        {client.left, client.top, client.right, inside.top},
        {client.left, inside.top, inside.left, inside.bottom},
        {inside.right - 1, inside.top, client.right, inside.bottom},
        {client.left, inside.bottom, client.right, client.bottom},
        {inside.left, inside.bottom, inside.right, inside.bottom + 1},
    };
    for (const RECT& band : bands)
        if (!band.IsEmpty()) FillRect(dc, &band, face);
    DeleteObject(face);
    RestoreDC(dc, saved);
    return TRUE;
}

LRESULT Tk3DTabWnd::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd) {
        const RECT strip = StripRect();
        RECT part = IntersectRects(ps.rcPaint, strip);
        if (!part.IsEmpty()) {
            part = RECT{part.left - strip.left, part.top - strip.top, part.right - strip.left,
                        part.bottom - strip.top};
            RedrawWindow(m_pTabCtrl->m_hWnd, &part, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        }
    }
    RECT inside;
    GetInsideRect(inside);
    DrawPageBorder(dc, inside);
    EndPaint(m_hWnd, &ps);
    return 0;
}

// A bevel of four one-pixel lines round the page; the thin border keeps only the outer ones.
void Tk3DTabWnd::DrawPageBorder(HDC dc, const RECT& inside) const {
    const int L = inside.left, T = inside.top, R = inside.right, B = inside.bottom, W = R - L + 8;
    const bool thin = m_dwFlags & TK3DTAB_THINBORDER;
    const COLORREF highlight = PageHighlight(), face = GetSysColor(COLOR_BTNFACE),
                   shadow = GetSysColor(COLOR_BTNSHADOW), black = RGB(0, 0, 0);
    const int height = B - T + 8;
    VLine(dc, highlight, L - 4, T - 4, height);
    VLine(dc, face, L - 3, T - 4, height);
    if (!thin) {
        VLine(dc, shadow, L - 2, T - 4, height);
        VLine(dc, black, L - 1, T - 4, height);
        VLine(dc, highlight, R, T - 4, height);
        VLine(dc, face, R + 1, T - 4, height);
    }
    VLine(dc, shadow, R + 2, T - 4, height);
    VLine(dc, black, R + 3, T - 4, height);
    HLine(dc, highlight, L - 4, T - 4, W - 1);
    HLine(dc, face, L - 3, T - 3, W - 3);
    if (!thin) {
        HLine(dc, shadow, L - 2, T - 2, W - 6);
        HLine(dc, black, L - 1, T - 1, W - 8);
    }
    const Tk3DTabControl::Side side = Side();
    const int y = (side == Tk3DTabControl::Side::Bottom || side == Tk3DTabControl::Side::Right) ? B + 1 : B;
    if (!thin) {
        HLine(dc, highlight, L - 2, y, W - 5);
        HLine(dc, face, L - 3, y + 1, W - 3);
    }
    HLine(dc, shadow, L - 3, y + 2, W - 2);
    HLine(dc, black, L - 4, y + 3, W);
}

LRESULT Tk3DTabWnd::OnActivated(WPARAM index, LPARAM record) {
    if (!IsValidIndex(int(index))) return 0;
    if (record) reinterpret_cast<TkTabActivation*>(record)->id = std::int32_t(GetDlgCtrlID());
    ActivateTab(TabWindow(int(index)), int(index));
    InvalidateRect(m_hWnd, nullptr, TRUE);
    if (m_pNotifyWnd && m_pNotifyWnd->m_hWnd)
        ::vq::SendMessage(m_pNotifyWnd->m_hWnd, TKTAB_ACTIVATED, index, record);
    return 0;
}

// Shift+Tab from the window after this one lands on the page's last control; anything else
// that focuses the tab window lands on its strip.
LRESULT Tk3DTabWnd::OnSetFocus(WPARAM previous, LPARAM) {
    const LRESULT result = Default();
    const HWND next = GetWindow(m_hWnd, GW_HWNDNEXT);
    if (next && HWND(previous) == next && GetWindow(next, GW_HWNDNEXT) && m_pActiveWnd &&
        m_pActiveWnd->m_hWnd) {
        SetFocus(m_pActiveWnd->m_hWnd);
        m_pActiveWnd->SendMessage(WM_NEXTDLGCTL, 1, 0);
    } else if (m_pTabCtrl && m_pTabCtrl->m_hWnd) {
        SetFocus(m_pTabCtrl->m_hWnd);
    }
    return result;
}

BOOL Tk3DTabWnd::PreTranslateMessage(MSG* msg) {
    if (TkTabWndBase::PreTranslateMessage(msg)) return TRUE;
    if (!(GetStyle() & WS_TABSTOP) || msg->message != WM_KEYDOWN || !m_pTabCtrl) return FALSE;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const WPARAM key = msg->wParam;
    if (ctrl && (key == VK_TAB || key == VK_PRIOR || key == VK_NEXT) &&
        SendMessage(TKTAB_CTRLKEY, 0, reinterpret_cast<LPARAM>(msg)))
        return TRUE;
    const HWND focus = GetFocus(), strip = m_pTabCtrl->m_hWnd;
    if (focus == strip) {
        WPARAM arrow = 0;
        if (ctrl && key == VK_TAB) arrow = shift ? VK_LEFT : VK_RIGHT;
        if (key == VK_LEFT || key == VK_UP) arrow = VK_LEFT;
        if (key == VK_RIGHT || key == VK_DOWN) arrow = VK_RIGHT;
        if (arrow) {
            ::vq::SendMessage(strip, WM_KEYDOWN, arrow, 0);
            return TRUE;
        }
    }
    if (key == VK_TAB && !ctrl) return TabKey(msg, shift);
    CWnd* target = focus ? CWnd::FromHandlePermanent(focus) : nullptr;
    return target && target != this ? target->PreTranslateMessage(msg) : FALSE;
}

BOOL Tk3DTabWnd::TabKey(MSG* msg, bool back) {
    const HWND focus = GetFocus();
    const HWND page = m_pActiveWnd ? m_pActiveWnd->m_hWnd : 0;
    const bool inPage = page && focus && (focus == page || IsChild(page, focus));
    if (back) {
        if (!inPage) return page ? IsDialogMessage(page, msg) : FALSE;
        if (focus != page && SiblingTabStop(focus, GW_HWNDPREV)) return IsDialogMessage(page, msg);
        SetFocus(m_pTabCtrl->m_hWnd);
        return TRUE;
    }
    if (!inPage) {
        if (!page) return FALSE;
        const HWND first = GetNextDlgTabItem(page, 0, FALSE);
        SetFocus(first && IsChild(page, first) ? first : page);
        return TRUE;
    }
    if (focus != page && SiblingTabStop(focus, GW_HWNDNEXT)) return IsDialogMessage(page, msg);
    if (const HWND after = SiblingTabStop(m_hWnd, GW_HWNDNEXT)) {
        SetFocus(after);
        return TRUE;
    }
    if (!GetWindow(m_hWnd, GW_HWNDPREV)) return FALSE;
    HWND first = GetWindow(m_hWnd, GW_HWNDFIRST);
    if (!HasTabStop(first)) first = SiblingTabStop(first, GW_HWNDNEXT);
    if (!first || first == m_hWnd) return IsDialogMessage(page, msg);
    SetFocus(first);
    return TRUE;
}

void Tk3DTabWnd::EnableTab(int index, BOOL enable) {
    if (GetStrip()) GetStrip()->EnableTab(index, enable);
}

void Tk3DTabWnd::EnableTab(CWnd* window, BOOL enable) {
    int index = -1;
    if (FindTab(window, index)) EnableTab(index, enable);
}

BOOL Tk3DTabWnd::IsTabEnabled(int index) const {
    return GetStrip() && GetStrip()->IsTabEnabled(index);
}

BOOL Tk3DTabWnd::IsTabEnabled(CWnd* window) const {
    int index = -1;
    return FindTab(window, index) && IsTabEnabled(index);
}

DWORD Tk3DTabWnd::SetTabStyle(DWORD flags) {
    const DWORD old = m_dwFlags;
    m_dwFlags = flags;
    RecalcLayout();
    if (GetStrip()) GetStrip()->SetTabStyle(FlagBits, flags & FlagBits, 0);
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
    return old;
}

void Tk3DTabWnd::RefreshTabCtrl() {
    Tk3DTabControl* strip = GetStrip();
    if (!strip || !strip->m_hWnd) return;
    strip->Initialize(strip->GetStyle());
    strip->RecalcLayout();
    InvalidateRect(strip->m_hWnd, nullptr, TRUE);
}

BOOL Tk3DTabWnd::SetActiveTabFont(HFONT font, BOOL redraw) {
    return GetStrip() && GetStrip()->SetFont(font, 1, redraw);
}

BOOL Tk3DTabWnd::SetTabFont(HFONT font, BOOL redraw) {
    return GetStrip() && GetStrip()->SetFont(font, 0, redraw);
}

HFONT Tk3DTabWnd::GetActiveTabFont() const {
    return GetStrip() ? GetStrip()->GetFont(1) : nullptr;
}

HFONT Tk3DTabWnd::GetTabFont() const {
    return GetStrip() ? GetStrip()->GetFont(0) : nullptr;
}

} // namespace vq
