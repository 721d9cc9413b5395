#include "toolkit/frames/TkStatusBar.h"

#include "platform/classlib/FrameWnd.h"
#include "platform/gui/ControlFont.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/StandardControls.h"
#include "platform/gui/SystemColours.h"
#include "platform/res/Resources.h"
#include "toolkit/controls/TkSysMetrics.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vq {

namespace {

// The extra width of every pane: its edges and the text's inset.
constexpr std::int32_t kPaneFrame = 6;
// Bar-style bits that are not the window's.
constexpr DWORD kBarStyleBits = 0x0040FFFF;
constexpr DWORD kControlStyle = CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;

struct Borders {
    int horizontal = 0;
    int vertical = 0;
    int spacing = 0;
};

Borders BordersOf(HWND window) {
    std::array<int, 3> values{};
    if (window) SendMessage(window, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(values.data()));
    return {values[0], values[1], values[2]};
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkStatusBar, TkControlBar)

// The bar is the status control itself: what the control bar would do with the mouse, sizing and
// erasing is the control's.
VQ_BEGIN_MESSAGE_MAP(TkStatusBar, TkControlBar)
VQ_ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
VQ_ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_SIZE, OnStatusSize)
VQ_ON_MESSAGE(WM_SETTEXT, OnSetText)
VQ_ON_MESSAGE(WM_GETTEXT, OnGetText)
VQ_ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
VQ_ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnPassDefault)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnPassDefault)
VQ_ON_MESSAGE(WM_LBUTTONDBLCLK, OnPassDefault)
VQ_ON_MESSAGE(WM_CONTEXTMENU, OnPassDefault)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnPassDefault)
VQ_END_MESSAGE_MAP()

TkStatusBar::TkStatusBar() {
    m_cyTopBorder = 2;
    if (tkSysMetrics.m_bNewShell) {
        m_cxLeftBorder = m_cxRightBorder = m_cyBottomBorder = 0;
    } else {
        m_cxLeftBorder = m_cxRightBorder = 2;
        m_cyBottomBorder = 1;
    }
}

BOOL TkStatusBar::Create(CWnd* parent, DWORD style, UINT id) {
    return CreateEx(parent, 0, style, id);
}

BOOL TkStatusBar::CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, UINT id) {
    RegisterStandardControls();
    m_dwStyle = style & kBarStyleBits;
    // A bottom bar with a top border on the new shell draws no border of its own.
    if (tkSysMetrics.m_bNewShell && (style & 0xFF00) == 0x8200) m_dwStyle &= ~DWORD(0x0F80);
    DWORD windowStyle = (style & 0xFFBF0000) | kControlStyle | controlStyle;
    if (parent && (GetWindowLongPtr(parent->m_hWnd, GWL_STYLE) & WS_THICKFRAME))
        windowStyle |= SBARS_SIZEGRIP;
    if (!CWnd::CreateEx(0, STATUSCLASSNAME, "", windowStyle, RECT{}, parent, id)) return FALSE;
    // The control's WM_CREATE went by before the bar was attached: join the frame here.
    if (auto* frame = dynamic_cast<CFrameWnd*>(parent); frame && !m_pDockSite) {
        m_pDockSite = frame;
        frame->AddControlBar(this);
    }
    return TRUE;
}

BOOL TkStatusBar::PreCreateWindow(CREATESTRUCT& cs) {
    return TkControlBar::PreCreateWindow(cs);
}

SIZE TkStatusBar::TextExtent(const std::string& text) const {
    SIZE size{};
    HDC dc = GetDC(m_hWnd);
    if (!dc) return size;
    HGDIOBJ old = SelectObject(dc, DrawingFont(m_hWnd));
    GetTextExtentPoint32(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    return size;
}

BOOL TkStatusBar::SetIndicators(const UINT* ids, int count) {
    if (count < 0 || count > kMaxStatusParts || (count > 0 && !ids)) return FALSE;
    m_panes.assign(size_t(count), TkStatusPane{});
    for (int i = 0; i < count; ++i) {
        TkStatusPane& pane = m_panes[size_t(i)];
        pane.flags |= TkStatusPane::textPending;
        pane.id = ids[i];
        if (pane.id != 0) {
            std::array<char, 512> buffer{};
            pane.text = LoadString(pane.id, buffer.data(), int(buffer.size())) > 0 ? buffer.data() : "  ";
            pane.width = TextExtent(pane.text).cx;
        } else {
            pane.width = GetSystemMetrics(SM_CXSCREEN) / 4;
            if (i == 0) pane.style |= SBPS_NOBORDERS | SBPS_STRETCH;
        }
    }
    UpdateAllPanes(TRUE, TRUE);
    return TRUE;
}

int TkStatusBar::FindPaneById(UINT id) const {
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[size_t(i)].id == id) return i;
    return -1;
}

UINT TkStatusBar::GetItemID(int index) const {
    return IsValidIndex(index) ? m_panes[size_t(index)].id : 0;
}

void TkStatusBar::GetItemRect(int index, RECT* rect) const {
    if (!rect) return;
    if (!::vq::SendMessage(m_hWnd, SB_GETRECT, WPARAM(index), reinterpret_cast<LPARAM>(rect))) *rect = RECT{};
}

UINT TkStatusBar::GetPaneStyle(int index) const {
    return IsValidIndex(index) ? m_panes[size_t(index)].style : 0;
}

void TkStatusBar::SetPaneStyle(int index, UINT style) {
    if (!IsValidIndex(index)) return;
    TkStatusPane& pane = m_panes[size_t(index)];
    if ((pane.style ^ style) & SBPS_STRETCH) {
        pane.style = style;
        UpdateAllPanes(TRUE, FALSE);
    }
    pane.style = style;
    pane.flags |= TkStatusPane::textPending;
    SendPaneText(index);
}

void TkStatusBar::GetPaneInfo(int index, UINT& id, UINT& style, std::int32_t& width) const {
    if (!IsValidIndex(index)) return;
    const TkStatusPane& pane = m_panes[size_t(index)];
    id = pane.id;
    style = pane.style;
    width = pane.width;
}

void TkStatusBar::SetPaneInfo(int index, UINT id, UINT style, std::int32_t width) {
    if (!IsValidIndex(index)) return;
    TkStatusPane& pane = m_panes[size_t(index)];
    pane.id = id;
    const bool stretchChanged = ((pane.style ^ style) & SBPS_STRETCH) != 0;
    const bool styleChanged = pane.style != style;
    const bool widthChanged = pane.width != width;
    pane.style = style;
    pane.width = width;
    if (stretchChanged || widthChanged) {
        UpdateAllPanes(TRUE, FALSE);
    }
    if (styleChanged && !stretchChanged) {
        pane.flags |= TkStatusPane::textPending;
        SendPaneText(index);
    }
}

void TkStatusBar::SetPaneWidth(int index, std::int32_t width) {
    if (!IsValidIndex(index)) return;
    m_panes[size_t(index)].width = width;
    UpdateAllPanes(TRUE, FALSE);
}

std::string TkStatusBar::GetPaneText(int index) const {
    return IsValidIndex(index) ? m_panes[size_t(index)].text : std::string();
}

BOOL TkStatusBar::SetPaneText(int index, const char* text, BOOL update) {
    if (!IsValidIndex(index)) return FALSE;
    TkStatusPane& pane = m_panes[size_t(index)];
    const std::string value = text ? text : "";
    if (!(pane.flags & TkStatusPane::textPending) && pane.text == value) return TRUE;
    pane.text = value;
    if (update) {
        SendPaneText(index);
    } else {
        pane.flags |= TkStatusPane::textPending;
    }
    return TRUE;
}

void TkStatusBar::SendPaneText(int index) {
    TkStatusPane& pane = m_panes[size_t(index)];
    pane.flags &= ~TkStatusPane::textPending;
    if (!m_hWnd) return;
    const char* text = (pane.style & SBPS_DISABLED) ? nullptr : pane.text.c_str();
    ::vq::SendMessage(m_hWnd, SB_SETTEXT, WPARAM(UINT(index) | pane.style), reinterpret_cast<LPARAM>(text));
}

void TkStatusBar::SendPendingTexts() {
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[size_t(i)].flags & TkStatusPane::textPending) SendPaneText(i);
}

void TkStatusBar::CalcStatusInsideRect(RECT& rect) const {
    CControlBar::CalcInsideRect(rect, TRUE);
    // The window layer has no maximised state, so the grip always takes its room.
    if (GetWindowLongPtr(m_hWnd, GWL_STYLE) & SBARS_SIZEGRIP)
        rect.right -=
            BordersOf(m_hWnd).horizontal + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXBORDER);
}

void TkStatusBar::UpdateAllPanes(BOOL updateRects, BOOL updateTexts) {
    if (updateRects && m_hWnd && !m_panes.empty()) {
        RECT window;
        GetWindowRect(m_hWnd, &window);
        RECT inside{0, 0, window.Width(), window.Height()};
        CalcStatusInsideRect(inside);
        const Borders borders = BordersOf(m_hWnd);
        std::int64_t free = std::int64_t(inside.Width()) + borders.spacing;
        int stretching = 0;
        for (const TkStatusPane& pane : m_panes) {
            free -= std::int64_t(pane.width) + borders.spacing + kPaneFrame;
            if (pane.style & SBPS_STRETCH) ++stretching;
        }
        std::vector<int> edges;
        edges.reserve(m_panes.size());
        std::int64_t right = borders.horizontal;
        for (const TkStatusPane& pane : m_panes) {
            right += std::int64_t(pane.width) + kPaneFrame;
            if ((pane.style & SBPS_STRETCH) && free > 0 && stretching > 0) {
                const std::int64_t share = free / stretching;
                right += share;
                free -= share;
                --stretching;
            }
            edges.push_back(int(std::clamp<std::int64_t>(right, INT32_MIN, INT32_MAX)));
            right += borders.spacing;
        }
        ::vq::SendMessage(m_hWnd, SB_SETPARTS, WPARAM(edges.size()), reinterpret_cast<LPARAM>(edges.data()));
    }
    if (updateTexts) SendPendingTexts();
}

SIZE TkStatusBar::CalcFixedLayout(BOOL stretch, BOOL) {
    if (!stretch) return SIZE{0, 0};
    TEXTMETRIC tm{};
    if (HDC dc = GetDC(m_hWnd)) {
        HGDIOBJ old = SelectObject(dc, DrawingFont(m_hWnd));
        GetTextMetrics(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(m_hWnd, dc);
    }
    RECT margins{};
    CControlBar::CalcInsideRect(margins, TRUE);
    const std::int32_t height = tm.tmHeight - tm.tmInternalLeading - 1 +
                                2 * (GetSystemMetrics(SM_CYBORDER) + BordersOf(m_hWnd).vertical) +
                                margins.top - margins.bottom;
    return SIZE{32767, std::max(height, m_nMinHeight)};
}

SIZE TkStatusBar::CalcDynamicLayout(int, DWORD mode) {
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void TkStatusBar::OnUpdateCmdUI(CFrameWnd* target, BOOL) {
    TkStatusCmdUI state;
    state.m_pOther = this;
    state.m_pBar = this;
    for (int i = 0; i < GetCount(); ++i) {
        state.m_nID = m_panes[size_t(i)].id;
        state.m_nIndex = UINT(i);
        if (OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr)) continue;
        state.DoUpdate(target, FALSE);
    }
}

BOOL TkStatusBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_DRAWITEM) return TkControlBar::OnChildNotify(message, wParam, lParam, result);
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    if (result) *result = TRUE;
    return TRUE;
}

LRESULT TkStatusBar::OnNcHitTest(WPARAM, LPARAM) {
    const LRESULT hit = Default();
    return hit == HTBOTTOMRIGHT ? hit : LRESULT(HTCLIENT);
}

LRESULT TkStatusBar::OnNcCalcSize(WPARAM, LPARAM lParam) {
    const LRESULT result = Default();
    auto* rect = reinterpret_cast<RECT*>(lParam);
    if (!rect) return result;
    RECT margins{};
    CControlBar::CalcInsideRect(margins, TRUE);
    rect->left += margins.left;
    rect->top += margins.top - 2;
    rect->right += margins.right;
    rect->bottom += margins.bottom;
    return result;
}

LRESULT TkStatusBar::OnPaint(WPARAM, LPARAM) {
    SendPendingTexts();
    return Default();
}

LRESULT TkStatusBar::OnStatusSize(WPARAM, LPARAM) {
    const LRESULT result = Default();
    UpdateAllPanes(TRUE, FALSE);
    return result;
}

LRESULT TkStatusBar::OnSetText(WPARAM, LPARAM lParam) {
    const int index = FindPaneById(0);
    if (index < 0) return -1;
    return SetPaneText(index, reinterpret_cast<const char*>(lParam)) ? 0 : -1;
}

LRESULT TkStatusBar::OnGetText(WPARAM size, LPARAM lParam) {
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (size == 0 || !buffer) return 0;
    const int index = FindPaneById(0);
    const std::string text = index >= 0 ? m_panes[size_t(index)].text : std::string();
    const size_t copied = std::min(text.size(), size_t(size) - 1);
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
    // The class library's convention: the count with its terminator.
    return LRESULT(copied + 1);
}

LRESULT TkStatusBar::OnGetTextLength(WPARAM, LPARAM) {
    const int index = FindPaneById(0);
    return index >= 0 ? LRESULT(m_panes[size_t(index)].text.size()) : 0;
}

LRESULT TkStatusBar::OnSetMinHeight(WPARAM height, LPARAM) {
    const LRESULT result = Default();
    m_nMinHeight = std::int32_t(height);
    return result;
}

LRESULT TkStatusBar::OnPassDefault(WPARAM, LPARAM) {
    return Default();
}

void TkStatusCmdUI::Enable(BOOL enable) {
    m_bEnableChanged = TRUE;
    const int index = int(m_nIndex);
    const UINT style = m_pBar->GetPaneStyle(index);
    m_pBar->SetPaneStyle(index, enable ? style & ~UINT(SBPS_DISABLED) : style | SBPS_DISABLED);
}

void TkStatusCmdUI::SetCheck(int check) {
    const int index = int(m_nIndex);
    const UINT style = m_pBar->GetPaneStyle(index);
    m_pBar->SetPaneStyle(index, check ? style | SBPS_POPOUT : style & ~UINT(SBPS_POPOUT));
}

void TkStatusCmdUI::SetText(const char* text) {
    m_pBar->SetPaneText(int(m_nIndex), text, TRUE);
}

} // namespace vq
