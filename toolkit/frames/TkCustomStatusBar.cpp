#include "toolkit/frames/TkCustomStatusBar.h"

#include "platform/gui/Gdi.h"

#include <algorithm>
#include <array>

namespace vq {

namespace {

struct Borders {
    int horizontal = 0;
    int vertical = 0;
    int spacing = 0;
};

Borders BordersOf(HWND window) {
    std::array<int, 3> values{};
    SendMessage(window, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(values.data()));
    return {values[0], values[1], values[2]};
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObject(bitmap, sizeof bm, &bm)) return {};
    return {bm.bmWidth, bm.bmHeight};
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkCustomStatusBar, TkStatusBar)

VQ_BEGIN_MESSAGE_MAP(TkCustomStatusBar, TkStatusBar)
VQ_ON_MESSAGE(WM_SETCURSOR, OnSetCursor)
VQ_ON_MESSAGE(WM_SETFONT, OnSetFont)
VQ_ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
VQ_ON_MESSAGE(WM_SETTEXT, OnCustomSetText)
VQ_END_MESSAGE_MAP()

TkCustomStatusBar::TkCustomStatusBar() = default;

TkCustomStatusBar::~TkCustomStatusBar() = default;

BOOL TkCustomStatusBar::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style |= 0x1000;
    return TkStatusBar::PreCreateWindow(cs);
}

BOOL TkCustomStatusBar::SetIndicators(const UINT* ids, int count) {
    if (!TkStatusBar::SetIndicators(ids, count)) return FALSE;
    m_attributes.assign(size_t(count), PaneAttributes{});
    m_paneWindows.assign(size_t(count), nullptr);
    m_paneWindowFlags.assign(size_t(count), 0);
    // Every pane is drawn by the bar from here on, also after later style changes.
    for (int i = 0; i < count; ++i) {
        m_panes[size_t(i)].style |= SBPS_OWNERDRAW;
        SendPaneText(i);
    }
    return TRUE;
}

void TkCustomStatusBar::SetPaneInfoEx(const TkStatusPaneInfo& info, BOOL fit) {
    const int index = info.index;
    if (!IsValidIndex(index) || size_t(index) >= m_attributes.size()) return;
    UINT id = 0, style = 0;
    std::int32_t width = 0;
    GetPaneInfo(index, id, style, width);
    if (info.mask & TkStatusPaneInfo::maskId) id = info.id;
    if (info.mask & TkStatusPaneInfo::maskStyle) style = info.style;
    std::int32_t bitmapHeight = 0;
    if (info.mask & TkStatusPaneInfo::maskWidth) {
        width = info.width;
    } else if (fit && (info.mask & TkStatusPaneInfo::maskBitmap) && info.bitmap) {
        const SIZE size = BitmapSize(info.bitmap);
        width = size.cx;
        bitmapHeight = size.cy;
    }
    SetPaneInfo(index, id, style | SBPS_OWNERDRAW, width);
    if (info.mask & TkStatusPaneInfo::maskText) SetPaneText(index, info.text.c_str(), FALSE);

    PaneAttributes& a = m_attributes[size_t(index)];
    if (info.mask & TkStatusPaneInfo::maskAlignment) a.alignment = info.alignment;
    if (info.mask & TkStatusPaneInfo::maskTextColor) a.textColor = info.textColor;
    if (info.mask & TkStatusPaneInfo::maskBackColor) a.backColor = info.backColor;
    if (info.mask & TkStatusPaneInfo::maskBitmap) a.bitmap = info.bitmap;
    if (info.mask & TkStatusPaneInfo::maskCursor) a.cursor = info.cursor;
    a.flags = info.mask & TkStatusPaneInfo::maskAttributes;

    if (fit && bitmapHeight > 0) {
        ::vq::SendMessage(m_hWnd, SB_SETMINHEIGHT, WPARAM(bitmapHeight + 2 * BordersOf(m_hWnd).vertical), 0);
        RecalcParentLayout();
    }
    if (info.mask & TkStatusPaneInfo::maskWidth) RepositionPaneWindows();
    InvalidatePane(index);
}

void TkCustomStatusBar::GetPaneInfoEx(TkStatusPaneInfo& info) const {
    if (!IsValidIndex(info.index) || size_t(info.index) >= m_attributes.size()) return;
    GetPaneInfo(info.index, info.id, info.style, info.width);
    info.text = GetPaneText(info.index);
    const PaneAttributes& a = m_attributes[size_t(info.index)];
    info.textColor = a.textColor;
    info.backColor = a.backColor;
    info.bitmap = a.bitmap;
    info.cursor = a.cursor;
    info.alignment = a.alignment;
    info.mask = a.flags;
}

void TkCustomStatusBar::InvalidatePane(int index) {
    RECT r;
    if (m_hWnd && GetPaneRect(index, r)) InvalidateRect(m_hWnd, &r, FALSE);
}

void TkCustomStatusBar::DrawPaneText(HDC dc, const RECT& r, const std::string& text,
                                     const PaneAttributes& attributes) {
    SetBkMode(dc, TRANSPARENT);
    if (attributes.flags & TkStatusPaneInfo::maskTextColor) SetTextColor(dc, attributes.textColor);
    UINT options = ETO_CLIPPED;
    if (attributes.flags & TkStatusPaneInfo::maskBackColor) {
        SetBkColor(dc, attributes.backColor);
        options |= ETO_OPAQUE;
    }
    std::int32_t x = r.left + 1;
    UINT align = TA_LEFT | TA_TOP;
    if ((attributes.alignment & TA_CENTER) == TA_CENTER) {
        x = (r.left + r.right) / 2;
        align = TA_CENTER | TA_TOP;
    } else if (attributes.alignment & TA_RIGHT) {
        x = r.right - 1;
        align = TA_RIGHT | TA_TOP;
    }
    SetTextAlign(dc, align);
    SIZE extent{};
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &extent);
    const std::int32_t y = r.top + (r.Height() - extent.cy) / 2;
    ExtTextOut(dc, x, y, options, &r, text.c_str(), int(text.size()), nullptr);
}

void TkCustomStatusBar::DrawItem(DRAWITEMSTRUCT* item) {
    if (!item) return;
    const int index = int(item->itemID);
    if (!IsValidIndex(index) || size_t(index) >= m_attributes.size()) return;
    if ((GetPaneStyle(index) & SBPS_DISABLED) || (m_pProgress && index != 0)) return;
    const PaneAttributes& a = m_attributes[size_t(index)];
    const RECT& r = item->rcItem;
    if ((a.flags & TkStatusPaneInfo::maskBitmap) && a.bitmap) {
        const SIZE size = BitmapSize(a.bitmap);
        HDC memory = CreateCompatibleDC(item->hDC);
        HGDIOBJ old = SelectObject(memory, a.bitmap);
        BitBlt(item->hDC, r.left, r.top, size.cx, size.cy, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        return;
    }
    DrawPaneText(item->hDC, r, GetPaneText(index), a);
}

BOOL TkCustomStatusBar::GetPaneRect(int index, RECT& rect) const {
    if (!m_hWnd || !IsValidIndex(index)) return FALSE;
    const int parts = int(::vq::SendMessage(m_hWnd, SB_GETPARTS, 0, 0));
    if (index >= parts) return FALSE;
    std::vector<int> edges(static_cast<size_t>(parts));
    ::vq::SendMessage(m_hWnd, SB_GETPARTS, WPARAM(parts), reinterpret_cast<LPARAM>(edges.data()));
    const Borders borders = BordersOf(m_hWnd);
    RECT client;
    GetClientRect(m_hWnd, &client);
    rect.left = index == 0 ? borders.horizontal : edges[size_t(index) - 1] + borders.spacing;
    rect.right = edges[size_t(index)] < 0 ? client.right - borders.horizontal : edges[size_t(index)];
    rect.top = borders.vertical;
    rect.bottom = std::max(0, client.bottom - borders.vertical + 1);
    return TRUE;
}

int TkCustomStatusBar::PaneFromPoint(POINT point) const {
    for (int i = 0; i < GetCount(); ++i) {
        RECT r;
        if (GetPaneRect(i, r) && r.Contains(point.x, point.y)) return i;
    }
    return -1;
}

void TkCustomStatusBar::SetPaneWindow(int index, CWnd* window, int fitMode, UINT flags) {
    if (!IsValidIndex(index) || size_t(index) >= m_paneWindows.size()) return;
    m_paneWindows[size_t(index)] = window;
    m_paneWindowFlags[size_t(index)] = window ? flags : 0;
    if (!window || !window->m_hWnd) return;
    if (fitMode == 1) {
        RECT r;
        GetWindowRect(window->m_hWnd, &r);
        SetPaneWidth(index, r.Width());
    }
    RepositionPaneWindows();
}

CWnd* TkCustomStatusBar::GetPaneWindow(int index) const {
    return size_t(index) < m_paneWindows.size() ? m_paneWindows[size_t(index)] : nullptr;
}

UINT TkCustomStatusBar::GetPaneWindowFlags(int index) const {
    return size_t(index) < m_paneWindowFlags.size() ? m_paneWindowFlags[size_t(index)] : 0;
}

void TkCustomStatusBar::RepositionPaneWindows() {
    for (size_t i = 0; i < m_paneWindows.size(); ++i) {
        CWnd* window = m_paneWindows[i];
        RECT pane;
        if (!window || !window->m_hWnd || !GetPaneRect(int(i), pane)) continue;
        const UINT flags = m_paneWindowFlags[i];
        RECT own;
        GetWindowRect(window->m_hWnd, &own);
        RECT target = pane;
        const std::int32_t inset = (flags & insetWindow) ? 1 : 0;
        if (flags & keepWidth) {
            target.right = target.left + own.Width();
        } else {
            target.left += inset;
            target.right -= inset;
        }
        if (flags & keepHeight) {
            target.bottom = target.top + own.Height();
        } else {
            target.top += inset;
            target.bottom -= inset;
        }
        MoveWindow(window->m_hWnd, target.left, target.top, target.Width(), target.Height(), TRUE);
    }
}

void TkCustomStatusBar::ShowPaneWindows(BOOL show) {
    for (CWnd* window : m_paneWindows)
        if (window && window->m_hWnd) ShowWindow(window->m_hWnd, show ? SW_SHOW : SW_HIDE);
}

void TkCustomStatusBar::FitPanesToContents() {
    std::int32_t tallest = 0;
    for (int i = 0; i < GetCount(); ++i) {
        const PaneAttributes& a = m_attributes[size_t(i)];
        const bool hasBitmap = (a.flags & TkStatusPaneInfo::maskBitmap) && a.bitmap;
        const SIZE size = hasBitmap ? BitmapSize(a.bitmap) : TextExtent(GetPaneText(i));
        tallest = std::max(tallest, size.cy);
        if ((GetPaneStyle(i) & SBPS_STRETCH) || GetPaneWindow(i)) continue;
        SetPaneWidth(i, size.cx);
    }
    bool sized = false;
    for (size_t i = 0; i < m_paneWindows.size(); ++i) {
        CWnd* window = m_paneWindows[i];
        if (!window || !window->m_hWnd || (m_paneWindowFlags[i] & keepHeight)) continue;
        RECT r;
        GetWindowRect(window->m_hWnd, &r);
        POINT origin{r.left, r.top};
        ScreenToClient(m_hWnd, &origin);
        MoveWindow(window->m_hWnd, origin.x, origin.y, r.Width(), tallest, TRUE);
        sized = true;
    }
    if (sized) RecalcParentLayout();
}

void TkCustomStatusBar::RecalcParentLayout() {
    const HWND parent = ::vq::GetParent(m_hWnd);
    if (!parent) return;
    RECT r;
    GetWindowRect(parent, &r);
    ::vq::SendMessage(parent, WM_SIZE, 0, MAKELPARAM(r.Width(), r.Height()));
}

BOOL TkCustomStatusBar::ShowProgress(const char* text, int lower, int upper, BOOL reset, DWORD styleFlags) {
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (m_pProgress) {
        m_pProgress->SetStyleFlags(styleFlags);
    } else {
        auto progress = std::make_unique<TkProgressCtrl>();
        if (progress->Create(WS_CHILD, RECT{}, this, kProgressId, styleFlags))
            m_pProgress = std::move(progress);
    }
    ShowPaneWindows(FALSE);
    if (text && GetCount() > 0) {
        if (!m_pSavedPane) {
            m_pSavedPane = std::make_unique<TkStatusPaneInfo>();
            GetPaneInfoEx(*m_pSavedPane);
            m_pSavedPane->mask |= 0x1E;
        }
        TkStatusPaneInfo info;
        info.text = std::string(text) + " ";
        info.style = SBPS_NOBORDERS;
        info.textColor = m_pSavedPane->textColor;
        info.backColor = m_pSavedPane->backColor;
        info.width = TextExtent(info.text).cx;
        info.mask =
            TkStatusPaneInfo::maskStyle | TkStatusPaneInfo::maskWidth | TkStatusPaneInfo::maskText |
            TkStatusPaneInfo::maskAlignment |
            (m_pSavedPane->mask & (TkStatusPaneInfo::maskTextColor | TkStatusPaneInfo::maskBackColor));
        SetPaneInfoEx(info, TRUE);
        SendPaneText(0);
        const Borders borders = BordersOf(m_hWnd);
        client.left = info.width + 2 * borders.horizontal + 2 * borders.spacing + 1;
    }
    if (!m_pProgress) return FALSE;
    MoveWindow(m_pProgress->m_hWnd, client.left, client.top, client.Width(), client.Height(), TRUE);
    ShowWindow(m_pProgress->m_hWnd, SW_SHOW);
    m_pProgress->SetRange(lower, upper);
    if (reset) m_pProgress->SetPos(lower, TRUE);
    return TRUE;
}

void TkCustomStatusBar::HideProgress() {
    if (m_pProgress) {
        m_pProgress->DestroyWindow();
        m_pProgress.reset();
    }
    if (m_pSavedPane) {
        SetPaneInfoEx(*m_pSavedPane, TRUE);
        SendPaneText(0);
        m_pSavedPane.reset();
    }
    ShowPaneWindows(TRUE);
}

void TkCustomStatusBar::SetProgressPos(int position) {
    if (m_pProgress) m_pProgress->SetPos(position, TRUE);
}

void TkCustomStatusBar::StepProgress() {
    if (m_pProgress) m_pProgress->StepIt(TRUE);
}

LRESULT TkCustomStatusBar::OnSetCursor(WPARAM, LPARAM lParam) {
    if (LOWORD(std::uintptr_t(lParam)) == HTCLIENT) {
        POINT point;
        GetCursorPos(&point);
        ScreenToClient(m_hWnd, &point);
        const int index = PaneFromPoint(point);
        if (index >= 0 && size_t(index) < m_attributes.size()) {
            const PaneAttributes& a = m_attributes[size_t(index)];
            if ((a.flags & TkStatusPaneInfo::maskCursor) && a.cursor) {
                SetCursor(a.cursor);
                return TRUE;
            }
        }
    }
    return Default();
}

LRESULT TkCustomStatusBar::OnSetFont(WPARAM, LPARAM) {
    const LRESULT result = Default();
    RecalcParentLayout();
    return result;
}

LRESULT TkCustomStatusBar::OnSizeParent(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = OnSizeParentMessage(wParam, lParam);
    if (m_pProgress) {
        RECT r;
        GetWindowRect(m_pProgress->m_hWnd, &r);
        POINT origin{r.left, r.top};
        ScreenToClient(m_hWnd, &origin);
        RECT window;
        GetWindowRect(m_hWnd, &window);
        RECT client;
        GetClientRect(m_hWnd, &client);
        // The layout has not moved the bar yet: its new width is the one the pass gave it.
        const auto* layout = reinterpret_cast<const SizeParentParams*>(lParam);
        const std::int32_t right =
            layout ? std::max(client.right, layout->rect.right - layout->rect.left) : client.right;
        MoveWindow(m_pProgress->m_hWnd, origin.x, origin.y, right - origin.x, r.Height(), TRUE);
    } else {
        RepositionPaneWindows();
    }
    return result;
}

LRESULT TkCustomStatusBar::OnCustomSetText(WPARAM wParam, LPARAM lParam) {
    if (m_pProgress) return 0;
    return OnSetText(wParam, lParam);
}

} // namespace vq
