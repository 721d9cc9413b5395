#include "toolkit/lists/TkListTip.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/ListViewTypes.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Redraw.h"
#include "platform/gui/SystemColours.h"

#include <algorithm>

namespace vq {

namespace {

constexpr UINT OwnDc = 0x0020;
constexpr UINT TipTextFormat = DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;
// The tree's item flags ask for a bold tip with this bit.
constexpr UINT BoldItem = 0x10;

// Tips paint their whole client themselves, so the class has no brush.
const char* TipClassName() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.style = CS_SAVEBITS | OwnDc | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &CWnd::WindowProcedure;
        wc.hCursor = LoadCursor(IDC_ARROW);
        wc.lpszClassName = "VqListTip";
        return RegisterClass(wc) != FALSE;
    }();
    return registered ? "VqListTip" : nullptr;
}

} // namespace

TkListTip::~TkListTip() {
    if (m_hWnd) DestroyWindow();
}

bool TkListTip::MakeWindow() {
    if (m_hWnd) return true;
    const HWND owner = owner_->GetOwnerHwnd();
    if (!owner) return false;
    return CreateEx(0, TipClassName(), "", WS_POPUP | WS_BORDER, RECT{0, 0, 0, 0},
                    CWnd::FromHandlePermanent(owner), 0) != FALSE;
}

BOOL TkListTip::Show(UINT flags, std::int32_t item, std::int32_t column, std::int32_t x, std::int32_t y) {
    (void)x;
    (void)y;
    if (!MakeWindow()) return FALSE;
    const std::int32_t subItem = column >= 0 ? owner_->GetColumnSubItem(column) : -1;
    const bool overText = (flags & LVHT_ONITEMLABEL) || ((flags & LVHTX_ONROW) && subItem > 0);
    if (!overText || item < 0 || column < 0 || !GetActiveWindow()) {
        Hide();
        return FALSE;
    }
    // A sub-item column answers no bounds, and a tip left standing there would keep the mouse.
    RECT cell, label;
    if (!owner_->GetSubItemRect(item, column, &cell, LVIR_BOUNDS) ||
        !owner_->GetSubItemRect(item, column, &label, LVIR_LABEL)) {
        Hide();
        return FALSE;
    }
    RECT area;
    owner_->GetItemArea(&area);
    const bool cutAtRight = label.right > std::min(cell.right - 5, area.Width());
    const bool cutAtLeft = label.left < area.left && label.right > area.left;
    if (!cutAtRight && !cutAtLeft) {
        Hide();
        return FALSE;
    }
    if (item == item_ && subItem == subItem_) return TRUE;
    Hide();
    label.left -= 2;
    label.right += 2;
    label.bottom += 2;
    text_ = owner_->GetItemText(item, subItem);
    if (text_.empty()) return FALSE;
    item_ = item;
    subItem_ = subItem;
    cell_ = cell;
    owner_->ClientToScreenRect(&label);
    const std::int32_t screen = GetSystemMetrics(SM_CXSCREEN);
    const std::int32_t shift = label.right > screen ? screen - label.right : label.left < 0 ? -label.left : 0;
    label.left += shift;
    label.right += shift;
    SetWindowPos(m_hWnd, HWND_TOP, label.left - 1, label.top, label.Width() + 3, cell.Height(),
                 SWP_NOACTIVATE);
    ShowWindow(m_hWnd, SW_SHOWNA);
    owner_->CaptureMouse(TRUE);
    captured_ = true;
    Refresh();
    return TRUE;
}

void TkListTip::Hide() {
    if (m_hWnd && IsWindowVisible(m_hWnd)) {
        ShowWindow(m_hWnd, SW_HIDE);
        if (const HWND owner = owner_->GetOwnerHwnd())
            RedrawWindow(owner, &cell_, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    }
    item_ = subItem_ = -1;
    cell_ = RECT{};
    text_.clear();
    if (captured_) {
        captured_ = false;
        ReleaseOwnerCapture();
    }
}

void TkListTip::Refresh() {
    if (m_hWnd && IsWindowVisible(m_hWnd))
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TkListTip::ReleaseOwnerCapture() {
    const HWND owner = owner_->GetOwnerHwnd();
    if (owner && GetCapture() == owner) ReleaseCapture();
}

LRESULT TkListTip::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DESTROY:
        item_ = -1;
        captured_ = false;
        ReleaseOwnerCapture();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void TkListTip::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (item_ >= 0) {
        const bool selected = owner_->IsItemSelected(item_);
        const COLORREF text = selected ? owner_->GetSelTextColor() : owner_->GetTipTextColor();
        const COLORREF background = selected ? owner_->GetSelBkColor() : owner_->GetTipBkColor();
        RECT client;
        GetClientRect(m_hWnd, &client);
        HBRUSH brush = CreateSolidBrush(background);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        HFONT font = owner_->GetItemFont();
        HFONT bold = 0;
        if (owner_->GetTipItemState(item_, 0x18) & BoldItem) {
            LOGFONT description{};
            if (GetObject(font, sizeof description, &description)) {
                description.lfWeight = 700;
                bold = CreateFontIndirect(description);
            }
        }
        HGDIOBJ old = SelectObject(dc, bold ? bold : font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, text);
        client.left += 2;
        DrawText(dc, text_.c_str(), int(text_.size()), &client, TipTextFormat);
        SelectObject(dc, old);
        if (bold) DeleteObject(bold);
    }
    EndPaint(m_hWnd, &ps);
}

} // namespace vq
