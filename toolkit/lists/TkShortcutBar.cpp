#include "toolkit/lists/TkShortcutBar.h"

#include "platform/classlib/Document.h"
#include "platform/classlib/View.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/DeferWindowPos.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Redraw.h"
#include "platform/gui/SystemColours.h"
#include "platform/res/Resources.h"
#include "toolkit/lists/TkListResources.h"
#include "toolkit/lists/TkShortcutListCtrl.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkShortcutBar, CWnd)

VQ_BEGIN_MESSAGE_MAP(TkShortcutBar, CWnd)
VQ_ON_MESSAGE(WM_PAINT, OnPaint)
VQ_ON_MESSAGE(WM_ERASEBKGND, OnEraseBkgnd)
VQ_ON_MESSAGE(WM_LBUTTONDOWN, OnLButtonDown)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnLButtonUp)
VQ_ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
VQ_ON_MESSAGE(WM_SIZE, OnSize)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroy)
VQ_END_MESSAGE_MAP()

namespace {

constexpr DWORD StyleBits = 0x3F;
constexpr DWORD OrientationBits = 0x03;
constexpr DWORD BarStyleBits = 0x3C;
constexpr UINT FirstClientId = 60160;
constexpr std::uintptr_t AnimationTimer = 0x5B5B;
constexpr std::uint8_t SwissFamily = 0x20;

const char* BarClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = &CWnd::WindowProcedure;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.hbrBackground = HBRUSH(std::uintptr_t(COLOR_WINDOW + 1));
        wc.lpszClassName = "VqShortcutBar";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqShortcutBar" : nullptr;
}

std::string DefaultFace() {
    std::array<char, 64> face{};
    return LoadString(IDS_TK_BAR_FONT, face.data(), int(face.size())) > 0 ? std::string(face.data())
                                                                          : "Arial";
}

POINT PointOf(LPARAM lParam) {
    return POINT{std::int16_t(LOWORD(std::uintptr_t(lParam))), std::int16_t(HIWORD(std::uintptr_t(lParam)))};
}

} // namespace

TkShortcutBar::TkShortcutBar()
    : m_pBarClass(&TkBar::Class()), m_pListBarClass(&TkListBar::Class()),
      m_pListCtrlClass(&TkShortcutListCtrl::Class()), m_fontFace(DefaultFace()),
      m_crText(GetSysColor(COLOR_MENUTEXT)), m_crBack(GetSysColor(COLOR_BTNFACE)) {}

TkShortcutBar::~TkShortcutBar() {
    if (m_hWnd) DestroyWindow();
    DeleteGdiObjects();
}

// ---- creation

BOOL TkShortcutBar::CreateEx(DWORD, const char*, const char*, DWORD style, const RECT&, CWnd* parent,
                             UINT id) {
    if (!(style & OrientationBits)) style |= TKSB_VERTICAL;
    return Create(parent, style, id);
}

BOOL TkShortcutBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_dwOrientation = style & OrientationBits;
    if (!m_dwOrientation) m_dwOrientation = TKSB_VERTICAL;
    m_dwBarStyle = style & BarStyleBits;
    if (m_hWnd) return TRUE;
    if (!CWnd::CreateEx(0, BarClassName(), "", style & ~StyleBits, RECT{0, 0, 0, 0}, parent, id))
        return FALSE;
    CreateGdiObjects();
    return TRUE;
}

void TkShortcutBar::CreateGdiObjects() {
    DeleteGdiObjects();
    for (int i = 0; i < 2; ++i) {
        LOGFONT lf;
        lf.lfHeight = m_nFontHeight;
        lf.lfWeight = 400;
        lf.lfEscapement = i ? 900 : 0;
        lf.lfPitchAndFamily = SwissFamily;
        std::strncpy(lf.lfFaceName, m_fontFace.c_str(), sizeof lf.lfFaceName - 1);
        m_fonts[i] = CreateFontIndirect(lf);
    }
    m_hBkBrush = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
}

void TkShortcutBar::DeleteGdiObjects() {
    for (HFONT& font : m_fonts)
        if (font) DeleteObject(std::exchange(font, nullptr));
    if (m_hBkBrush) DeleteObject(std::exchange(m_hBkBrush, nullptr));
}

std::unique_ptr<TkBar> TkShortcutBar::CreateBarObject() {
    std::unique_ptr<Object> object = m_pBarClass ? m_pBarClass->CreateObject() : nullptr;
    if (!dynamic_cast<TkBar*>(object.get())) return nullptr;
    return std::unique_ptr<TkBar>(static_cast<TkBar*>(object.release()));
}

std::unique_ptr<TkBar> TkShortcutBar::CreateListBarObject() {
    std::unique_ptr<Object> object = m_pListBarClass ? m_pListBarClass->CreateObject() : nullptr;
    if (!dynamic_cast<TkBar*>(object.get())) return nullptr;
    return std::unique_ptr<TkBar>(static_cast<TkBar*>(object.release()));
}

CWnd* TkShortcutBar::CreateClientWnd(const RuntimeClass* windowClass, CCreateContext* context, UINT id) {
    if (!windowClass || !m_hWnd) return nullptr;
    std::unique_ptr<Object> object;
    try {
        object = windowClass->CreateObject();
    } catch (const Exception&) {
        return nullptr;
    }
    auto* window = dynamic_cast<CWnd*>(object.get());
    if (!window) return nullptr;
    auto* view = dynamic_cast<CView*>(window);
    if (view) view->SetCreatingInFrame(true);
    BOOL created = FALSE;
    try {
        created = window->CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, this, id);
    } catch (const Exception&) {
        created = FALSE;
    }
    if (view) view->SetCreatingInFrame(false);
    if (!created) return nullptr;
    if (view && context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(view);
    if (!OnCreateClient(window)) {
        // A view deletes itself with its window; anything else is deleted here.
        if (view) object.release();
        window->DestroyWindow();
        return nullptr;
    }
    // From here on the window's object belongs to its bar, or to itself when it is a view.
    object.release();
    return window;
}

// ---- adding and removing bars

std::unique_ptr<TkBar> TkShortcutBar::MakeListBar(int index) {
    std::unique_ptr<TkBar> bar = CreateListBarObject();
    if (!bar) return nullptr;
    bar->CreateBrushes();
    CWnd* list = CreateClientWnd(m_pListCtrlClass, nullptr, FirstClientId + UINT(index));
    if (!list) return nullptr;
    bar->SetWnd(list);
    bar->SetOwnedObject(list);
    m_madeClients.insert(bar.get());
    return bar;
}

TkBar* TkShortcutBar::Place(int index, std::unique_ptr<TkBar> bar, CWnd* window, const char* label,
                            BOOL recalc) {
    TkBar* placed = bar.get();
    m_bars.insert(m_bars.begin() + index, std::move(bar));
    placed->SetLabel(label);
    placed->SetEnabled(TRUE);
    if (window) placed->SetWnd(window);
    SetBarFont(IsVertical() ? m_fonts[0] : m_fonts[1], index);
    // The open bar is a bar, not a place.
    if (m_nActiveIndex >= index) ++m_nActiveIndex;
    if (recalc && RecalcLayout()) Repaint();
    return placed;
}

TkListBar* TkShortcutBar::AddBar(const char* label, BOOL recalc) {
    const int index = GetBarCount();
    std::unique_ptr<TkBar> bar = MakeListBar(index);
    if (!bar) return nullptr;
    if (!OnAddBar(bar.get())) {
        DiscardBar(std::move(bar));
        return nullptr;
    }
    TkBar* placed = Place(index, std::move(bar), nullptr, label, FALSE);
    placed->SetTextColor(m_crText);
    placed->SetBkColor(m_crBack);
    if (recalc && RecalcLayout()) Repaint();
    return dynamic_cast<TkListBar*>(placed);
}

TkBar* TkShortcutBar::AddBar(const RuntimeClass* viewClass, const char* label, CCreateContext* context,
                             BOOL recalc, UINT id) {
    return InsertBar(GetBarCount(), viewClass, label, context, recalc, id);
}

TkBar* TkShortcutBar::AddBar(CWnd* window, const char* label, BOOL recalc) {
    std::unique_ptr<TkBar> bar = CreateBarObject();
    if (!bar) return nullptr;
    bar->CreateBrushes();
    if (!OnAddBar(bar.get())) return nullptr;
    TkBar* placed = Place(GetBarCount(), std::move(bar), window, label, FALSE);
    placed->SetTextColor(m_crText);
    placed->SetBkColor(m_crBack);
    if (recalc && RecalcLayout()) Repaint();
    return placed;
}

TkListBar* TkShortcutBar::InsertBar(int index, const char* label, BOOL recalc) {
    if (index < 0 || index > GetBarCount()) return nullptr;
    std::unique_ptr<TkBar> bar = MakeListBar(GetBarCount());
    if (!bar) return nullptr;
    return dynamic_cast<TkListBar*>(Place(index, std::move(bar), nullptr, label, recalc));
}

TkBar* TkShortcutBar::InsertBar(int index, const RuntimeClass* viewClass, const char* label,
                                CCreateContext* context, BOOL recalc, UINT id) {
    if (index < 0 || index > GetBarCount()) return nullptr;
    if (id == UINT(-1)) id = FirstClientId + UINT(GetBarCount());
    CWnd* window = CreateClientWnd(viewClass, context, id);
    if (!window) return nullptr;
    TkBar* bar =
        index == GetBarCount() ? AddBar(window, label, FALSE) : InsertBar(index, window, label, FALSE);
    if (!bar) {
        if (!dynamic_cast<CView*>(window)) {
            std::unique_ptr<CWnd> owned(window);
            owned->DestroyWindow();
        } else {
            window->DestroyWindow();
        }
        return nullptr;
    }
    // A view deletes itself with its window; any other window's object goes with the bar.
    if (!dynamic_cast<CView*>(window)) bar->SetOwnedObject(window);
    m_madeClients.insert(bar);
    if (recalc && RecalcLayout()) Repaint();
    return bar;
}

TkBar* TkShortcutBar::InsertBar(int index, CWnd* window, const char* label, BOOL recalc) {
    if (index < 0 || index > GetBarCount()) return nullptr;
    std::unique_ptr<TkBar> bar = CreateBarObject();
    if (!bar) return nullptr;
    bar->CreateBrushes();
    return Place(index, std::move(bar), window, label, recalc);
}

void TkShortcutBar::DiscardBar(std::unique_ptr<TkBar> bar) {
    if (!bar) return;
    bar->DestroyClient();
    if (m_madeClients.erase(bar.get())) {
        const HWND window = bar->GetWndHandle();
        if (window && IsWindow(window)) ::vq::DestroyWindow(window);
    }
    bar->DeleteOwnedObject();
    // A bar that is not to be deleted stays with whoever keeps it.
    if (!bar->GetAutoDelete()) (void)bar.release();
}

BOOL TkShortcutBar::RemoveBar(int index) {
    if (!IsValidIndex(index) || !OnRemoveBar(index)) return FALSE;
    std::unique_ptr<TkBar> bar = std::move(m_bars[std::size_t(index)]);
    m_bars.erase(m_bars.begin() + index);
    DiscardBar(std::move(bar));
    if (m_nActiveIndex != -1) {
        if (m_bars.empty()) {
            m_nActiveIndex = -1;
        } else if (index < m_nActiveIndex) {
            --m_nActiveIndex;
        } else if (index == m_nActiveIndex) {
            const int open = std::min(index, GetBarCount() - 1);
            ActivateBar(open);
            if (TestBarStyle(TKSB_FRAMEACTIVE))
                m_bars[std::size_t(open)]->SetFlags(m_bars[std::size_t(open)]->GetFlags() | TkBar::Framed);
            m_nActiveIndex = open;
        }
    }
    if (RecalcLayout()) Repaint();
    return TRUE;
}

BOOL TkShortcutBar::SetBarLabel(int index, const char* label) {
    if (!IsValidIndex(index)) return FALSE;
    m_bars[std::size_t(index)]->SetLabel(label);
    InvalidateBar(index);
    return TRUE;
}

// ---- opening bars

BOOL TkShortcutBar::SetActiveBar(int index) {
    if (index != -1 && !IsValidIndex(index)) return FALSE;
    if (index == -1) {
        if (TkBar* open = GetBarAt(m_nActiveIndex)) {
            if (open->GetWndHandle()) ShowWindow(open->GetWndHandle(), SW_HIDE);
            open->SetClientExtent(0);
            open->SetFlags(open->GetFlags() & ~TkBar::Framed);
        }
        m_nActiveIndex = -1;
    } else {
        if (TestBarStyle(TKSB_ANIMATE) && HasActiveBar() && index != m_nActiveIndex)
            AnimateBarSwitch(m_nActiveIndex, index);
        else
            ActivateBar(index);
        if (TestBarStyle(TKSB_FRAMEACTIVE)) {
            if (TkBar* old = GetBarAt(m_nActiveIndex)) old->SetFlags(old->GetFlags() & ~TkBar::Framed);
            TkBar& now = *m_bars[std::size_t(index)];
            now.SetFlags(now.GetFlags() | TkBar::Framed);
        }
        m_nActiveIndex = index;
    }
    if (RecalcLayout()) Repaint();
    return TRUE;
}

void TkShortcutBar::Reveal(TkBar& bar) {
    const HWND window = bar.GetWndHandle();
    if (!window) return;
    ShowWindow(window, SW_SHOW);
    if (bar.GetFlags() & TkBar::NoActivate) return;
    if (auto* view = dynamic_cast<CView*>(bar.GetWnd()))
        if (CFrameWnd* frame = GetParentFrame()) frame->SetActiveView(view, TRUE);
    SetFocus(window);
}

void TkShortcutBar::ActivateBar(int index) {
    if (!IsValidIndex(index)) return;
    for (int i = 0; i < GetBarCount(); ++i) {
        if (i == index) continue;
        TkBar& other = *m_bars[std::size_t(i)];
        other.SetClientExtent(0);
        if (other.GetWndHandle()) ShowWindow(other.GetWndHandle(), SW_HIDE);
    }
    TkBar& bar = *m_bars[std::size_t(index)];
    bar.SetClientExtent(m_nOpenExtent);
    Reveal(bar);
}

void TkShortcutBar::WaitUntil(DWORD deadline) {
    MSG msg;
    for (DWORD now = GetTickCount(); std::int32_t(deadline - now) > 0; now = GetTickCount()) {
        SetTimer(m_hWnd, AnimationTimer, deadline - now, nullptr);
        // Only this window's timer: nothing else is handled while the bars slide.
        if (!GetMessage(&msg, m_hWnd, WM_TIMER, WM_TIMER)) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
    }
    KillTimer(m_hWnd, AnimationTimer);
}

void TkShortcutBar::AnimateBarSwitch(int from, int to) {
    if (from == to || !IsValidIndex(from) || !IsValidIndex(to)) {
        ActivateBar(to);
        return;
    }
    TkBar& oldBar = *m_bars[std::size_t(from)];
    TkBar& newBar = *m_bars[std::size_t(to)];
    const int steps = std::max(m_nAnimationSteps, 1);
    const int step = std::max(oldBar.GetClientExtent() / steps, 1);
    if (newBar.GetWndHandle()) ShowWindow(newBar.GetWndHandle(), SW_SHOWNA);
    RECT client;
    GetClientRect(m_hWnd, &client);
    for (;;) {
        const DWORD deadline = GetTickCount() + DWORD(m_nAnimationDelay);
        if (oldBar.GetClientExtent() - step < 1) break;
        WaitUntil(deadline);
        oldBar.SetClientExtent(oldBar.GetClientExtent() - step);
        newBar.SetClientExtent(newBar.GetClientExtent() + step);
        CalcBarRects(IsVertical(), client);
        PositionClients();
        RedrawWindow(m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    oldBar.SetClientExtent(0);
    newBar.SetClientExtent(m_nOpenExtent);
    CalcBarRects(IsVertical(), client);
    PositionClients();
    Reveal(newBar);
    if (oldBar.GetWndHandle()) ShowWindow(oldBar.GetWndHandle(), SW_HIDE);
}

BOOL TkShortcutBar::DisableBar(int index) {
    if (!IsValidIndex(index) || !OnDisableBar(index)) return FALSE;
    m_bars[std::size_t(index)]->SetEnabled(FALSE);
    int next = index + 1;
    if (!FindNextEnabled(next)) {
        next = GetBarCount() - 1;
        FindPrevEnabled(next);
    }
    if (IsValidIndex(next)) SetActiveBar(next);
    return TRUE;
}

BOOL TkShortcutBar::EnableBar(int index) {
    if (!IsValidIndex(index) || !OnEnableBar(index)) return FALSE;
    m_bars[std::size_t(index)]->SetEnabled(TRUE);
    return TRUE;
}

BOOL TkShortcutBar::IsBarEnabled(int index) const {
    return IsValidIndex(index) && m_bars[std::size_t(index)]->IsEnabled();
}

BOOL TkShortcutBar::FindPrevEnabled(int& index) const {
    for (; index >= 0 && index < GetBarCount(); --index)
        if (m_bars[std::size_t(index)]->IsEnabled()) return TRUE;
    return FALSE;
}

BOOL TkShortcutBar::FindNextEnabled(int& index) const {
    for (; index >= 0 && index < GetBarCount(); ++index)
        if (m_bars[std::size_t(index)]->IsEnabled()) return TRUE;
    return FALSE;
}

void TkShortcutBar::OnBarStyleChanged(DWORD removed, DWORD added) {
    TkBar* open = GetBarAt(m_nActiveIndex);
    if (!open) return;
    if (added & TKSB_FRAMEACTIVE) open->SetFlags(open->GetFlags() | TkBar::Framed);
    if (removed & TKSB_FRAMEACTIVE) open->SetFlags(open->GetFlags() & ~TkBar::Framed);
    if ((added | removed) & TKSB_FRAMEACTIVE) InvalidateBar(open);
}

// ---- layout

BOOL TkShortcutBar::RecalcLayout() {
    if (!m_hWnd) return FALSE;
    RECT client;
    GetClientRect(m_hWnd, &client);
    if (client.IsEmpty()) return FALSE;
    DistributeSpace(IsVertical() ? client.Height() : client.Width(),
                    IsVertical() ? m_nLastHeight : m_nLastWidth);
    CalcBarRects(IsVertical(), client);
    PositionClients();
    return TRUE;
}

// The open bar takes what the headers leave; at least a pixel, since an extent marks it as open.
void TkShortcutBar::DistributeSpace(int available, int) {
    int headers = 0;
    for (const auto& bar : m_bars)
        headers += bar->GetHeaderExtent();
    const int free = std::max(available - headers, 1);
    for (auto& bar : m_bars)
        if (bar->GetClientExtent() != 0) bar->SetClientExtent(free);
}

void TkShortcutBar::CalcBarRects(BOOL vertical, const RECT& rc) {
    int pos = vertical ? rc.Height() : rc.Width();
    for (auto it = m_bars.rbegin(); it != m_bars.rend(); ++it) {
        TkBar& bar = **it;
        pos -= bar.GetClientExtent();
        bar.SetClientRect(vertical ? RECT{0, pos, rc.Width(), pos + bar.GetClientExtent()}
                                   : RECT{pos, 0, pos + bar.GetClientExtent(), rc.Height()});
        pos -= bar.GetHeaderExtent();
        bar.SetHeaderRect(vertical ? RECT{0, pos, rc.Width(), pos + bar.GetHeaderExtent()}
                                   : RECT{pos, 0, pos + bar.GetHeaderExtent(), rc.Height()});
    }
}

void TkShortcutBar::PositionClients() {
    if (m_bars.empty()) return;
    constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOCOPYBITS;
    HDWP batch = BeginDeferWindowPos(GetBarCount());
    for (const auto& bar : m_bars) {
        const HWND window = bar->GetWndHandle();
        if (!window || !IsWindow(window)) continue;
        const RECT& to = bar->GetClientRect();
        RECT now;
        GetWindowRect(window, &now);
        POINT topLeft{now.left, now.top};
        ScreenToClient(m_hWnd, &topLeft);
        if (topLeft.x == to.left && topLeft.y == to.top && now.Width() == to.Width() &&
            now.Height() == to.Height())
            continue;
        if (batch)
            batch = DeferWindowPos(batch, window, 0, to.left, to.top, to.Width(), to.Height(), flags);
        else
            SetWindowPos(window, 0, to.left - 1, to.top, to.Width() - 1, to.Height(), flags);
    }
    if (batch) EndDeferWindowPos(batch);
}

// ---- fonts, colours and menus

void TkShortcutBar::SetBarFont(HFONT font, int index) {
    if (!m_hWnd) return;
    HDC dc = GetDC(m_hWnd);
    for (int i = 0; i < GetBarCount(); ++i) {
        if (index != -1 && i != index) continue;
        m_bars[std::size_t(i)]->SetFont(font);
        m_bars[std::size_t(i)]->CalcSize(dc, IsVertical());
    }
    ReleaseDC(m_hWnd, dc);
}

void TkShortcutBar::SetAlign(DWORD orientation) {
    m_dwOrientation = orientation & OrientationBits;
    SetBarFont(IsVertical() ? m_fonts[0] : m_fonts[1], -1);
    if (RecalcLayout()) Repaint();
}

void TkShortcutBar::ModifyBarStyle(DWORD remove, DWORD add, BOOL redraw) {
    const DWORD before = m_dwBarStyle;
    m_dwBarStyle = (m_dwBarStyle & ~(remove & StyleBits)) | (add & StyleBits);
    if (m_hWnd && ((remove | add) & ~StyleBits)) {
        const auto style = DWORD(GetWindowLongPtr(m_hWnd, GWL_STYLE));
        SetWindowLongPtr(m_hWnd, GWL_STYLE,
                         std::intptr_t((style & ~(remove & ~StyleBits)) | (add & ~StyleBits)));
    }
    OnBarStyleChanged(before & ~m_dwBarStyle, m_dwBarStyle & ~before);
    if (redraw && RecalcLayout()) Repaint();
}

void TkShortcutBar::SetFontHeight(const int& height) {
    m_nFontHeight = height;
    if (!m_hWnd) return;
    CreateGdiObjects();
    SetBarFont(IsVertical() ? m_fonts[0] : m_fonts[1], -1);
    if (RecalcLayout()) Repaint();
}

void TkShortcutBar::SetFontName(const std::string& face) {
    m_fontFace = face;
    if (!m_hWnd) return;
    CreateGdiObjects();
    SetBarFont(IsVertical() ? m_fonts[0] : m_fonts[1], -1);
    if (RecalcLayout()) Repaint();
}

void TkShortcutBar::SetBkBrush(COLORREF colour) {
    if (m_hBkBrush) DeleteObject(m_hBkBrush);
    m_hBkBrush = CreateSolidBrush(colour);
}

TkBar* TkShortcutBar::GetBarChecked(int index) const {
    if (!IsValidIndex(index)) throw ResourceException("the shortcut bar has no such bar");
    return m_bars[std::size_t(index)].get();
}

CWnd* TkShortcutBar::GetBarWnd(int index) const {
    const TkBar* bar = GetBarAt(index);
    return bar ? bar->GetWnd() : nullptr;
}

void TkShortcutBar::SetBarFrameColor(COLORREF colour, int index) {
    for (int i = 0; i < GetBarCount(); ++i)
        if (index == -1 || i == index) m_bars[std::size_t(i)]->SetFrameColor(colour);
    if (index != -1) GetBarChecked(index);
    Repaint();
}

void TkShortcutBar::SetBarTextColor(COLORREF colour, int index) {
    if (index == -1) m_crText = colour;
    for (int i = 0; i < GetBarCount(); ++i)
        if (index == -1 || i == index) m_bars[std::size_t(i)]->SetTextColor(colour);
    if (index != -1) GetBarChecked(index);
    Repaint();
}

void TkShortcutBar::SetBarBkColor(COLORREF colour, int index) {
    if (index == -1) m_crBack = colour;
    for (int i = 0; i < GetBarCount(); ++i)
        if (index == -1 || i == index) m_bars[std::size_t(i)]->SetBkColor(colour);
    if (index != -1) GetBarChecked(index);
    Repaint();
}

COLORREF TkShortcutBar::GetBarFrameColor(int index) const {
    return GetBarChecked(index == -1 ? 0 : index)->GetFrameColor();
}

COLORREF TkShortcutBar::GetBarTextColor(int index) const {
    return index == -1 ? m_crText : GetBarChecked(index)->GetTextColor();
}

COLORREF TkShortcutBar::GetBarBkColor(int index) const {
    return index == -1 ? m_crBack : GetBarChecked(index)->GetBkColor();
}

void TkShortcutBar::SetListBkColor(COLORREF colour, int index) {
    m_crListBack = colour;
    for (int i = 0; i < GetBarCount(); ++i) {
        if (index != -1 && i != index) continue;
        if (auto* list = dynamic_cast<TkShortcutListCtrl*>(m_bars[std::size_t(i)]->GetWnd()))
            list->SetBkColor(colour);
    }
    Repaint();
}

COLORREF TkShortcutBar::GetListBkColor(int index) const {
    if (index == -1) return m_crListBack;
    auto* list = dynamic_cast<TkShortcutListCtrl*>(GetBarChecked(index)->GetWnd());
    return list ? list->GetBkColor() : m_crListBack;
}

void TkShortcutBar::SetBarMenu(HMENU menu, int index) {
    for (int i = 0; i < GetBarCount(); ++i)
        if (index == -1 || i == index) m_bars[std::size_t(i)]->SetMenu(menu);
}

// ---- painting and input

void TkShortcutBar::Repaint() {
    if (m_hWnd) RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TkShortcutBar::InvalidateBar(TkBar* bar) {
    if (m_hWnd && bar) InvalidateRect(m_hWnd, &bar->GetHeaderRect(), TRUE);
}

void TkShortcutBar::InvalidateBar(int index) {
    InvalidateBar(GetBarAt(index));
}

int TkShortcutBar::HitTest(POINT point) const {
    for (int i = 0; i < GetBarCount(); ++i)
        if (m_bars[std::size_t(i)]->HeaderHitTest(point)) return i;
    return -1;
}

void TkShortcutBar::Paint(HDC dc) {
    for (auto& bar : m_bars)
        bar->Draw(dc, IsHorizontal());
}

LRESULT TkShortcutBar::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    Paint(dc);
    EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT TkShortcutBar::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    if (!HasActiveBar() && m_hBkBrush) {
        RECT clip;
        GetClipBox(HDC(wParam), &clip);
        FillRect(HDC(wParam), &clip, m_hBkBrush);
    }
    return TRUE;
}

LRESULT TkShortcutBar::OnLButtonDown(WPARAM, LPARAM lParam) {
    const int hit = HitTest(PointOf(lParam));
    if (hit < 0 || !m_bars[std::size_t(hit)]->IsEnabled()) return 0;
    if (!TestBarStyle(TKSB_PRESSRELEASE)) {
        if (hit != m_nActiveIndex) SetActiveBar(hit);
        return 0;
    }
    SetCapture(m_hWnd);
    TkBar& bar = *m_bars[std::size_t(hit)];
    bar.SetFlags(bar.GetFlags() | TkBar::Pushed);
    InvalidateBar(hit);
    m_nPressedIndex = hit;
    m_bTracking = TRUE;
    return 0;
}

LRESULT TkShortcutBar::OnLButtonUp(WPARAM, LPARAM lParam) {
    if (GetCapture() != m_hWnd) return 0;
    const int pressed = m_nPressedIndex;
    if (m_bTracking && IsValidIndex(pressed) &&
        m_bars[std::size_t(pressed)]->HeaderHitTest(PointOf(lParam)) && pressed != m_nActiveIndex)
        SetActiveBar(pressed);
    m_bTracking = FALSE;
    if (TkBar* bar = GetBarAt(pressed)) {
        bar->SetFlags(bar->GetFlags() & ~TkBar::Pushed);
        InvalidateBar(bar);
    }
    m_nPressedIndex = -1;
    ReleaseCapture();
    return 0;
}

// Escape ends the press; the mouse stays taken until the button comes up.
BOOL TkShortcutBar::PreTranslateMessage(MSG* msg) {
    if (m_bTracking && msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        if (TkBar* bar = GetBarAt(m_nPressedIndex)) {
            bar->SetFlags(bar->GetFlags() & ~TkBar::Pushed);
            InvalidateBar(bar);
        }
        m_bTracking = FALSE;
        return TRUE;
    }
    return CWnd::PreTranslateMessage(msg);
}

LRESULT TkShortcutBar::OnContextMenu(WPARAM, LPARAM lParam) {
    if (!TestBarStyle(TKSB_CONTEXTMENU)) return Default();
    const POINT screen = PointOf(lParam);
    POINT point = screen;
    ScreenToClient(m_hWnd, &point);
    const TkBar* bar = GetBarAt(HitTest(point));
    if (bar && bar->GetMenu())
        TrackPopupMenu(bar->GetMenu(), TPM_RIGHTBUTTON, screen.x, screen.y, 0,
                       bar->GetWndHandle() ? bar->GetWndHandle() : m_hWnd, nullptr);
    return 0;
}

LRESULT TkShortcutBar::OnSize(WPARAM type, LPARAM size) {
    const LRESULT result = Default();
    const int width = int(size & 0xFFFF), height = int((size >> 16) & 0xFFFF);
    if (type != 1 /* minimized */ && width > 0 && height > 0) {
        if (RecalcLayout()) Repaint();
        m_nLastWidth = width;
        m_nLastHeight = height;
    }
    return result;
}

LRESULT TkShortcutBar::OnDestroy(WPARAM, LPARAM) {
    const LRESULT result = Default();
    std::vector<std::unique_ptr<TkBar>> bars = std::move(m_bars);
    m_bars.clear();
    m_nActiveIndex = -1;
    for (auto& bar : bars)
        DiscardBar(std::move(bar));
    DeleteGdiObjects();
    return result;
}

} // namespace vq
