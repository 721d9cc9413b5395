#include "toolkit/lists/TkBar.h"

#include "platform/gui/FrameControl.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/TkShortcutListCtrl.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkIcon, Object)
VQ_IMPLEMENT_DYNCREATE(TkBar, Object)
VQ_IMPLEMENT_DYNCREATE(TkListBar, TkBar)

// ---- icons

BOOL TkIcon::LoadIcon(UINT id, int cx, int cy) {
    HICON icon = ::vq::LoadIcon(id, cx, cy);
    if (!icon) return FALSE;
    SetIcon(icon);
    m_cx = cx;
    m_cy = cy;
    return TRUE;
}

BOOL TkIcon::LoadIcon(const char* name, int cx, int cy) {
    HICON icon = name ? ::vq::LoadIcon(name, cx, cy) : nullptr;
    if (!icon) return FALSE;
    SetIcon(icon);
    m_cx = cx;
    m_cy = cy;
    return TRUE;
}

void TkIcon::SetIcon(HICON icon) {
    m_hIcon = icon;
    if (!icon) return;
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return;
    m_cx = int(info.xHotspot) * 2;
    m_cy = int(info.yHotspot) * 2;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

void TkIcon::Draw(HDC dc, int x, int y, int cx, int cy, HBRUSH background) const {
    if (m_hIcon) DrawIconEx(dc, x, y, m_hIcon, cx, cy, 0, background, DI_NORMAL);
}

void TkIcon::Draw(HDC dc, int x, int y, HBRUSH background) const {
    Draw(dc, x, y, m_cx, m_cy, background);
}

// ---- bars

TkBar::TkBar() : m_crText(GetSysColor(COLOR_MENUTEXT)), m_crBack(GetSysColor(COLOR_BTNFACE)) {}

TkBar::~TkBar() {
    DeleteBrushes();
}

TkBar::TkBar(const TkBar& other) : Object() {
    CopyFrom(other);
}

TkBar& TkBar::operator=(const TkBar& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

// A copy shows the same header and window but owns nothing: two owners would delete one object twice.
void TkBar::CopyFrom(const TkBar& other) {
    m_label = other.m_label;
    m_hWnd = other.m_hWnd;
    m_dwUser = other.m_dwUser;
    m_hMenu = other.m_hMenu;
    m_bAutoDelete = other.m_bAutoDelete;
    m_dwUserFlag = other.m_dwUserFlag;
    m_crText = other.m_crText;
    m_crBack = other.m_crBack;
    m_icon.m_hIcon = other.m_icon.m_hIcon;
    m_dwFlags = other.m_dwFlags;
    m_hFont = other.m_hFont;
    m_rcHeader = other.m_rcHeader;
    m_rcClient = other.m_rcClient;
    m_bEnabled = other.m_bEnabled;
    m_pOwnedObject.reset();
}

void TkBar::SetOwnedObject(Object* object) {
    if (m_pOwnedObject.get() != object) m_pOwnedObject.reset(object);
}

void TkBar::DeleteOwnedObject() {
    m_pOwnedObject.reset();
}

void TkBar::SetFrameColor(COLORREF colour) {
    m_crFrame = colour;
    CreateBrushes();
}

void TkBar::SetBkColor(COLORREF colour) {
    m_crBack = colour;
    CreateBrushes();
}

void TkBar::CreateBrushes() {
    DeleteBrushes();
    m_hFrameBrush = CreateSolidBrush(m_crFrame);
    // On the face colour the push-button look shows; any other colour is a flat fill over it.
    if (m_crBack != GetSysColor(COLOR_BTNFACE)) m_hBkBrush = CreateSolidBrush(m_crBack);
}

void TkBar::DeleteBrushes() {
    if (m_hFrameBrush) DeleteObject(m_hFrameBrush);
    if (m_hBkBrush) DeleteObject(m_hBkBrush);
    m_hFrameBrush = m_hBkBrush = nullptr;
}

void TkBar::SetMenu(HMENU menu, int position) {
    m_hMenu = menu && position >= 0 ? GetSubMenu(menu, position) : menu;
}

BOOL TkBar::LoadIcon(UINT id, int cx, int cy) {
    if (cx >= 32 && m_rcHeader.Height() < cx) cx = cy = 16;
    return m_icon.LoadIcon(id, cx, cy);
}

BOOL TkBar::LoadIcon(const char* name, int cx, int cy) {
    if (cx >= 32 && m_rcHeader.Height() < cx) cx = cy = 16;
    return m_icon.LoadIcon(name, cx, cy);
}

BOOL TkBar::HeaderHitTest(POINT p) const {
    return p.x >= m_rcHeader.left && p.x < m_rcHeader.right && p.y >= m_rcHeader.top &&
           p.y < m_rcHeader.bottom;
}

void TkBar::CalcSize(HDC dc, BOOL vertical) {
    m_rcHeader = RECT{};
    HGDIOBJ old = m_hFont ? SelectObject(dc, m_hFont) : nullptr;
    SIZE text{0, 0};
    GetTextExtentPoint32(dc, m_label.c_str(), int(m_label.size()), &text);
    if (!text.cy) {
        TEXTMETRIC metrics;
        GetTextMetrics(dc, &metrics);
        text.cy = metrics.tmHeight;
    }
    if (old) SelectObject(dc, old);
    m_rcHeader = vertical ? RECT{0, 0, text.cx + 5, text.cy + 5} : RECT{0, 0, text.cy + 5, text.cx + 5};
    m_nHeaderExtent = m_nHeaderExtentCopy = vertical ? m_rcHeader.Height() : m_rcHeader.Width();
}

void TkBar::Draw(HDC dc, BOOL rotated) {
    const BOOL pushed = (m_dwFlags & Pushed) != 0;
    DrawBackground(dc, pushed);
    DrawIcon(dc, pushed, rotated);
    DrawLabel(dc, pushed, rotated);
}

void TkBar::DrawBackground(HDC dc, BOOL pushed) {
    RECT r = m_rcHeader;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? UINT(DFCS_PUSHED) : 0u));
    if (m_hBkBrush) FillRect(dc, &m_rcHeader, m_hBkBrush);
    if (!(m_dwFlags & Framed) || !m_hFrameBrush) return;
    RECT frame{m_rcHeader.left + 2, m_rcHeader.top + 1, m_rcHeader.right - 2, m_rcHeader.bottom - 1};
    if (pushed) frame = RECT{frame.left + 1, frame.top + 1, frame.right + 1, frame.bottom + 1};
    FrameRect(dc, &frame, m_hFrameBrush);
}

void TkBar::DrawIcon(HDC dc, BOOL pushed, BOOL) {
    if (!m_icon.GetHandle()) return;
    const int shift = pushed ? 1 : 0;
    int cx = m_icon.m_cx, cy = m_icon.m_cy;
    const int x = m_rcHeader.left + 4 + shift;
    int y = m_rcHeader.top + (m_rcHeader.Height() - cy) / 2 + shift;
    // An icon higher than the header shrinks to it, keeping its proportions.
    if (y < m_rcHeader.top) {
        y = m_rcHeader.top + 2;
        const int height = m_rcHeader.bottom - 2 - y;
        cx = cy > 0 ? height * cx / cy : height;
        cy = height;
    }
    m_icon.Draw(dc, x, y, cx, cy, nullptr);
}

void TkBar::DrawLabel(HDC dc, BOOL, BOOL rotated) {
    RECT r = m_rcHeader;
    if (!rotated) r.right -= 4;
    HGDIOBJ oldFont = m_hFont ? SelectObject(dc, m_hFont) : nullptr;
    SIZE text{0, 0};
    GetTextExtentPoint32(dc, m_label.c_str(), int(m_label.size()), &text);
    if (rotated) std::swap(text.cx, text.cy);
    const int left = r.left + (r.Width() - text.cx) / 2, top = r.top + (r.Height() - text.cy) / 2;
    const RECT box{left, top, left + text.cx, top + text.cy};
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = ::vq::SetTextColor(dc, m_crText);
    // Upward text starts at its bottom left.
    ExtTextOut(dc, box.left, rotated ? box.bottom : box.top, ETO_CLIPPED, &box, m_label.c_str(),
               UINT(m_label.size()), nullptr);
    ::vq::SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    if (oldFont) SelectObject(dc, oldFont);
}

// ---- list bars

void TkListBar::DestroyClient() {
    if (m_hWnd && IsWindow(m_hWnd)) ::vq::DestroyWindow(m_hWnd);
}

TkShortcutListCtrl* TkListBar::GetListCtrl() const {
    return dynamic_cast<TkShortcutListCtrl*>(GetWnd());
}

void TkListBar::SetNotifyWnd(CWnd* window) {
    if (auto* list = GetListCtrl()) list->SetNotifyWnd(window);
}

CImageList* TkListBar::GetImageList(int type) const {
    auto* list = GetListCtrl();
    return list ? list->GetImageList(type) : nullptr;
}

CImageList* TkListBar::SetImageList(CImageList* images, int type) {
    auto* list = GetListCtrl();
    return list ? list->SetImageList(images, type) : nullptr;
}

int TkListBar::GetItemCount() const {
    auto* list = GetListCtrl();
    return list ? list->GetItemCount() : 0;
}

BOOL TkListBar::GetItem(LV_ITEM* item) const {
    auto* list = GetListCtrl();
    return list && list->GetItem(item, TRUE, TRUE);
}

BOOL TkListBar::SetItem(LV_ITEM* item) {
    auto* list = GetListCtrl();
    return list && list->SetItem(item, TRUE);
}

std::string TkListBar::GetItemText(int item, int subItem) const {
    auto* list = GetListCtrl();
    return list ? list->GetItemText(item, subItem) : std::string();
}

int TkListBar::GetItemText(int item, int subItem, char* text, int length) const {
    auto* list = GetListCtrl();
    return list ? list->GetItemText(item, subItem, text, length) : 0;
}

BOOL TkListBar::SetItemText(int item, int subItem, const char* text) {
    auto* list = GetListCtrl();
    return list && list->SetItemText(item, subItem, text);
}

LPARAM TkListBar::GetItemData(int item) const {
    auto* list = GetListCtrl();
    return list ? list->GetItemData(item) : 0;
}

BOOL TkListBar::SetItemData(int item, LPARAM data) {
    auto* list = GetListCtrl();
    return list && list->SetItemData(item, data);
}

int TkListBar::InsertItem(LV_ITEM* item) {
    auto* list = GetListCtrl();
    return list ? list->InsertItem(item) : -1;
}

int TkListBar::InsertItem(int item, const char* text, int image) {
    auto* list = GetListCtrl();
    return list ? list->InsertItem(item, text, image) : -1;
}

BOOL TkListBar::DeleteItem(int item) {
    auto* list = GetListCtrl();
    return list && list->DeleteItems(item, 1);
}

BOOL TkListBar::DeleteAllItems() {
    auto* list = GetListCtrl();
    return list && list->DeleteAllItems();
}

int TkListBar::HitTest(POINT point, UINT* flags) const {
    auto* list = GetListCtrl();
    return list ? list->HitTest(point.x, point.y, flags, nullptr) : -1;
}

} // namespace vq
