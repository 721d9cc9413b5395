#include "toolkit/lists/TkListBoxDragWnd.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/GdiObjectTable.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>
#include <atomic>

namespace vq {

namespace {

constexpr const char* kClassName = "TkListBoxDragWnd";
constexpr std::uintptr_t kScrollTimer = 1;
// How often the loop wakes to look at the scroll interval while the list may scroll.
constexpr UINT kScrollPoll = 10;

// Read by the thread that drives a drag in tests, so it is shared, not per thread.
std::atomic<HWND> activeDrag{0};

void RegisterDragClass() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = DefWindowProc;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kClassName;
        return RegisterClass(wc) != FALSE;
    }();
    (void)registered;
}

bool IsKey(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP || message == WM_SYSCHAR;
}

} // namespace

TkListBoxDragWnd::TkListBoxDragWnd(CListBox* list, BOOL blankRow) : m_list(list), m_blankRow(blankRow) {}

HWND TkListBoxDragWnd::ActiveWindow() {
    return activeDrag;
}

DWORD TkListBoxDragWnd::Now() const {
    return GetTickCount();
}

BOOL TkListBoxDragWnd::SetScrollTiming(UINT initial, UINT minimum, UINT step) {
    if (minimum > initial || step > initial - minimum) return FALSE;
    m_initialInterval = m_interval = initial;
    m_minimumInterval = minimum;
    m_intervalStep = step;
    return TRUE;
}

BOOL TkListBoxDragWnd::Drag(POINT start, int& from, int& to) {
    const int selection = m_list->GetCurSel();
    const int count = m_list->GetCount();
    if (selection < 0 || (m_blankRow && selection == count - 1 && m_list->GetText(selection).empty())) return FALSE;
    RegisterDragClass();
    if (!CreateEx(0, kClassName, "", WS_POPUP, RECT{0, 0, 1, 1}, nullptr, 0)) return FALSE;
    m_source = selection;
    m_target = kNoTarget;
    m_start = start;
    m_startTime = m_endTime = Now();
    m_dragging = TRUE;
    m_cancelled = m_moved = FALSE;
    m_scroll = 0;
    m_lineY = -1;
    activeDrag = m_hWnd;
    SetCapture(m_hWnd);
    SetTimer(m_hWnd, kScrollTimer, kScrollPoll, nullptr);

    const HWND window = m_hWnd;
    while (m_dragging && IsWindow(window)) {
        MSG msg;
        const BOOL got = GetMessage(&msg, 0, 0, 0);
        if (got <= 0) {
            // The program is ending: the drag gives way and the quit goes on to the real loop.
            m_cancelled = TRUE;
            if (got == 0) PostQuitMessage(int(msg.wParam));
            break;
        }
        if (IsKey(msg.message)) {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
                m_cancelled = TRUE;
                m_dragging = FALSE;
            }
            continue;
        }
        if (CWnd::WalkPreTranslateTree(0, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    SetLine(-1);
    m_endTime = Now();
    activeDrag = 0;
    if (IsWindow(window)) {
        KillTimer(window, kScrollTimer);
        if (GetCapture() == window) ReleaseCapture();
        DestroyWindow();
    }
    if (m_previousCursor) SetCursor(m_previousCursor);
    return MoveEntry(from, to);
}

BOOL TkListBoxDragWnd::MoveEntry(int& from, int& to) {
    if (!m_moved || m_cancelled || m_endTime - m_startTime < kMinimumHold || m_target == kNoTarget ||
        m_target == m_source)
        return FALSE;
    int count = m_list->GetCount();
    int insertAt = m_target == kEnd ? count : m_target;
    // Taking the source out shifts everything after it up by one.
    if (insertAt > m_source) --insertAt;
    if (m_target == kEnd && m_blankRow && count > 0 && m_list->GetText(count - 1).empty()) --insertAt;
    if (insertAt == m_source || insertAt < 0) return FALSE;
    const int top = m_list->GetTopIndex();
    const std::string text = m_list->GetText(m_source);
    const std::intptr_t data = m_list->GetItemData(m_source);
    m_list->SendMessage(WM_SETREDRAW, FALSE);
    m_list->DeleteString(m_source);
    m_list->InsertString(insertAt, text.c_str());
    m_list->SetItemData(insertAt, data);
    m_list->SetCurSel(insertAt);
    m_list->SetTopIndex(top);
    m_list->SendMessage(WM_SETREDRAW, TRUE);
    from = m_source;
    to = insertAt;
    return TRUE;
}

int TkListBoxDragWnd::LastFullyVisible() const {
    RECT client;
    GetClientRect(m_list->m_hWnd, &client);
    int last = -1;
    for (int i = std::max(0, m_list->GetTopIndex()); i < m_list->GetCount(); ++i) {
        RECT r;
        if (m_list->GetItemRect(i, &r) == int(LB_ERR) || r.bottom > client.bottom) break;
        last = i;
    }
    return last;
}

void TkListBoxDragWnd::OnMouseMove(POINT screen) {
    POINT point = screen;
    ScreenToClient(m_list->m_hWnd, &point);
    if (!m_moved) {
        const std::int64_t dx = point.x - m_start.x, dy = point.y - m_start.y;
        const std::int64_t cx = GetSystemMetrics(SM_CXDOUBLECLK), cy = GetSystemMetrics(SM_CYDOUBLECLK);
        if (dx * dx + dy * dy > cx * cx + cy * cy) {
            m_moved = TRUE;
            if (m_dragCursor) m_previousCursor = SetCursor(m_dragCursor);
        }
    }
    const int count = m_list->GetCount();
    const int lastEntry = m_blankRow && count > 0 && m_list->GetText(count - 1).empty() ? count - 2 : count - 1;
    RECT client;
    GetClientRect(m_list->m_hWnd, &client);
    if (lastEntry >= 0) {
        BOOL outside = FALSE;
        int item = int(m_list->ItemFromPoint(point, outside) & 0xFFFF);
        item = std::clamp(item, 0, lastEntry);
        RECT r;
        m_list->GetItemRect(item, &r);
        if (point.y < (r.top + r.bottom) / 2) {
            m_target = item;
            SetLine(r.top);
        } else {
            m_target = item + 1 > lastEntry ? kEnd : item + 1;
            SetLine(r.bottom);
        }
    }
    UINT scroll = 0;
    if (m_moved && Now() - m_startTime >= kMinimumHold) {
        if (point.x < client.left) scroll |= beyondLeft;
        if (point.x >= client.right) scroll |= beyondRight;
        if (point.y < client.top) scroll |= above;
        if (point.y >= client.bottom) scroll |= below;
    }
    if ((scroll & (above | below)) && !(m_scroll & (above | below))) {
        m_interval = m_initialInterval;
        m_lastScroll = Now();
    }
    m_scroll = scroll;
}

void TkListBoxDragWnd::AutoScroll() {
    if (!(m_scroll & (above | below)) || Now() - m_lastScroll <= m_interval) return;
    const int top = std::max(0, m_list->GetTopIndex());
    const int count = m_list->GetCount();
    if (m_scroll & above) {
        if (top == 0) return;
        SetLine(-1);
        m_list->SetTopIndex(top - 1);
        m_target = top - 1;
        RECT r;
        m_list->GetItemRect(top - 1, &r);
        SetLine(r.top);
    } else {
        RECT client, last;
        GetClientRect(m_list->m_hWnd, &client);
        if (count == 0 || m_list->GetItemRect(count - 1, &last) == int(LB_ERR) || last.bottom <= client.bottom) return;
        const int lastFull = LastFullyVisible();
        SetLine(-1);
        m_list->SetTopIndex(top + 1);
        // Below the entry that was the last whole one: the insertion point stays under the mouse.
        m_target = lastFull + 1 < count ? lastFull + 1 : kEnd;
        RECT r;
        if (lastFull >= 0 && m_list->GetItemRect(lastFull, &r) != int(LB_ERR)) SetLine(r.bottom);
    }
    m_lastScroll = Now();
    m_interval = std::max(m_minimumInterval, m_interval > m_intervalStep ? m_interval - m_intervalStep : 0);
}

void TkListBoxDragWnd::SetLine(std::int32_t y) {
    if (y == m_lineY) return;
    if (m_lineY >= 0) DrawLine(m_lineY);
    m_lineY = y;
    if (m_lineY >= 0) DrawLine(m_lineY);
}

void TkListBoxDragWnd::DrawLine(std::int32_t y) const {
    RECT client;
    GetClientRect(m_list->m_hWnd, &client);
    HDC dc = GetDC(m_list->m_hWnd);
    if (!dc) return;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x80, 0x80, 0x80));
    HGDIOBJ old = SelectObject(dc, pen);
    const int mode = SetROP2(dc, R2_XORPEN);
    MoveToEx(dc, client.left + 2, y, nullptr);
    LineTo(dc, client.right + 1, y);
    SetROP2(dc, mode);
    SelectObject(dc, old);
    DeleteObject(pen);
    ReleaseDC(m_list->m_hWnd, dc);
}

LRESULT TkListBoxDragWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(m_hWnd, &screen);
        OnMouseMove(screen);
        AutoScroll();
        return 0;
    }
    case WM_TIMER:
        if (wParam == kScrollTimer) AutoScroll();
        return 0;
    case WM_LBUTTONUP:
        m_dragging = FALSE;
        return 0;
    case WM_CAPTURECHANGED:
        if (HWND(lParam) != m_hWnd && m_dragging) {
            m_cancelled = TRUE;
            m_dragging = FALSE;
        }
        return 0;
    case WM_CANCELMODE:
        m_cancelled = TRUE;
        m_dragging = FALSE;
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

} // namespace vq
