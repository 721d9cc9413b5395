// The header's mouse work: resizing a column by its divider, dragging a column to another
// place, header icons, and the label tip that follows the pointer over cut labels.
#include "platform/gui/Gdi.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Messages.h"
#include "platform/gui/SystemColours.h"
#include "toolkit/lists/TkListBaseC.h"

#include <algorithm>
#include <cstdlib>

namespace vq {

namespace {

constexpr std::int32_t MinimumResizedWidth = 10;
constexpr std::int32_t MinimumFittedWidth = 5;
// How far below the header a dragged column may go and still be dropped.
constexpr std::int32_t DropBandBelowHeader = 30;
constexpr std::int32_t DropMarkHeight = 20;
constexpr COLORREF DropMarkColour = 0xFF0000;
constexpr COLORREF DragImageGround = 0x6E6E6E;
constexpr std::int32_t HeaderIconSize = 16;

POINT PointOf(LPARAM lParam) {
    return POINT{std::int16_t(LOWORD(std::uintptr_t(lParam))), std::int16_t(HIWORD(std::uintptr_t(lParam)))};
}

} // namespace

// ---- resizing

std::int32_t TkListBaseC::TrackColumnResize(std::int32_t x, std::int32_t /*y*/, std::int32_t column) {
    if (!m_hWnd || !IsColumn(column) || GetCapture()) return 0;
    const HWND self = m_hWnd;
    // A paint that came during the loop would land on the inverted bars and spoil their erasing.
    UpdateWindow(self);
    SetCapture(self);
    RECT client, area;
    GetWindowClientRect(&client);
    GetItemArea(&area);
    const std::int32_t left = GetColumnLeft(column), minimum = left + MinimumResizedWidth;
    HDC dc = GetDC(self);
    const auto invert = [&](std::int32_t at) {
        PatBlt(dc, at, client.top, 2, area.bottom - client.top, DSTINVERT);
    };
    if (column > 0) invert(left);
    std::int32_t drawn = std::max(x, minimum), final = drawn;
    invert(drawn);
    bool ended = false, cancelled = false;
    MSG msg;
    while (!ended && !cancelled) {
        if (GetCapture() != self) {
            cancelled = true;
            break;
        }
        if (!GetMessage(&msg, 0, 0, 0)) {
            PostQuitMessage(int(msg.wParam));
            cancelled = true;
            break;
        }
        const bool mine = msg.hwnd == self;
        if (mine && msg.message == WM_MOUSEMOVE) {
            const std::int32_t at = std::max(PointOf(msg.lParam).x, minimum);
            if (at != drawn) {
                invert(drawn);
                drawn = at;
                invert(drawn);
            }
        } else if (mine && msg.message == WM_LBUTTONUP) {
            final = std::max(PointOf(msg.lParam).x, minimum);
            ended = true;
        } else if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_RBUTTONDOWN ||
                   msg.message == WM_CANCELMODE) {
            cancelled = true;
        } else {
            DispatchMessage(&msg);
        }
    }
    if (IsWindow(self)) {
        invert(drawn);
        if (column > 0) invert(left);
        if (GetCapture() == self) ReleaseCapture();
    }
    ReleaseDC(self, dc);
    return cancelled ? 0 : final - x;
}

void TkListBaseC::ResizeColumn(std::int32_t column, POINT point) {
    const std::shared_ptr<bool> alive = alive_;
    const std::int32_t change = TrackColumnResize(point.x, point.y, column);
    // The loop dispatched other messages: the list or the column may be gone.
    if (!*alive || !change || !IsColumn(column)) return;
    columns_[std::size_t(column)]->width += change;
    if (HasListExStyle(LVXS_FITLABELCOLUMN) && IsColumn(column + 1)) {
        columns_[std::size_t(column + 1)]->width -= change;
        std::int32_t sum = 0;
        for (auto& c : columns_) {
            c->width = std::max(c->width, MinimumFittedWidth);
            sum += c->width;
        }
        RECT area;
        GetItemArea(&area);
        if (sum > area.Width()) columns_[0]->width -= sum - area.Width();
    }
    RemeasureAll();
    InvalidateRect(m_hWnd, nullptr, FALSE);
}

// ---- dragging a column

std::int32_t TkListBaseC::ColumnDropPosition(POINT point) const {
    const std::int32_t count = GetColumnCount();
    if (!count) return -1;
    std::int32_t over = count - 1;
    for (std::int32_t c = 0; c < count; ++c)
        if (point.x < GetColumnRight(c)) {
            over = c;
            break;
        }
    const bool rightHalf = point.x >= GetColumnLeft(over) + GetColumnWidth(over) / 2;
    // Nothing goes before the label column.
    if (over == 0) return rightHalf ? 1 : -1;
    return rightHalf ? over + 1 : over;
}

void TkListBaseC::StartColumnDrag(POINT point) {
    columnDragStarted_ = true;
    dropPosition_ = -1;
    columnDragImage_ = CreateHeaderDragImage(pressedColumn_);
    if (columnDragImage_)
        ImageList_BeginDrag(columnDragImage_->GetSafeHandle(), 0, point.x - GetColumnLeft(pressedColumn_), 0);
    columnDragImageShown_ = false;
}

void TkListBaseC::FollowColumnDrag(POINT point) {
    RECT client, area;
    GetWindowClientRect(&client);
    GetItemArea(&area);
    const bool inBand = point.y >= client.top && point.y < headerHeight_ + DropBandBelowHeader &&
                        point.x >= area.left && point.x < area.right;
    std::int32_t drop = -1;
    if (inBand) {
        if (columnDragImage_) {
            if (!columnDragImageShown_)
                ImageList_DragEnter(m_hWnd, point.x, 0);
            else
                ImageList_DragMove(point.x, 0);
            columnDragImageShown_ = true;
        }
        drop = ColumnDropPosition(point);
    } else if (columnDragImageShown_) {
        ImageList_DragLeave(m_hWnd);
        columnDragImageShown_ = false;
    }
    if (drop == dropPosition_) return;
    const std::int32_t old = dropPosition_;
    dropPosition_ = drop;
    // The old mark lay on the left edge of a button: drawing that button again takes it away.
    if (old >= GetColumnCount())
        PaintHeaderFiller();
    else if (old >= 0)
        PaintHeaderButton(old, old == pressedColumn_);
    if (drop >= 0) PaintColumnDropMark(drop);
}

void TkListBaseC::EndColumnDrag() {
    if (columnDragImage_) {
        if (columnDragImageShown_) ImageList_DragLeave(m_hWnd);
        ImageList_EndDrag();
        columnDragImage_.reset();
    }
    columnDragImageShown_ = false;
    const std::int32_t column = pressedColumn_, drop = dropPosition_;
    dropPosition_ = -1;
    if (drop >= GetColumnCount())
        PaintHeaderFiller();
    else if (drop >= 0)
        PaintHeaderButton(drop, FALSE);
    pressedColumn_ = -1;
    columnDragStarted_ = false;
    ReleaseCapture();
    PaintHeaderButton(column, FALSE);
    if (drop >= 0 && drop != column && drop != column + 1) MoveColumn(column, drop, TRUE);
}

void TkListBaseC::PaintColumnDropMark(std::int32_t position) {
    if (!m_hWnd) return;
    HDC dc = GetDC(m_hWnd);
    DrawColumnDropMark(dc, position);
    ReleaseDC(m_hWnd, dc);
}

void TkListBaseC::DrawColumnDropMark(HDC dc, std::int32_t position) {
    if (!IsHeaderShown() || position < 0 || !GetColumnCount()) return;
    const std::int32_t x =
        position < GetColumnCount() ? GetColumnLeft(position) : GetColumnRight(GetColumnCount() - 1);
    HPEN pen = CreatePen(PS_SOLID, 1, DropMarkColour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, DropMarkHeight);
    SelectObject(dc, old);
    DeleteObject(pen);
}

std::unique_ptr<CImageList> TkListBaseC::CreateHeaderDragImage(std::int32_t column) {
    if (!m_hWnd || !IsColumn(column)) return nullptr;
    const std::int32_t width = std::max(GetColumnWidth(column), 1), height = headerHeight_ + 1;
    HDC screen = GetDC(m_hWnd);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(m_hWnd, screen);
    std::unique_ptr<CImageList> image;
    if (dc && bitmap) {
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HBRUSH ground = CreateSolidBrush(DragImageGround);
        const RECT fill{0, 2, width, height + 2};
        FillRect(dc, &fill, ground);
        DeleteObject(ground);
        HGDIOBJ oldFont = SelectObject(dc, GetHeaderFont());
        SetBkMode(dc, TRANSPARENT);
        ::vq::SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawHeaderButton(dc, column, RECT{0, 0, width, headerHeight_}, FALSE);
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        image = std::make_unique<CImageList>();
        if (!image->Create(width, height, ILC_COLOR32 | ILC_MASK, 1, 1) ||
            image->Add(bitmap, GetSysColor(COLOR_BTNFACE)) < 0)
            image.reset();
    }
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
    return image;
}

// ---- header icons and the filler button

void TkListBaseC::PaintHeaderIcon(HDC dc, const TkListColumn& column, RECT* text, UINT* format) {
    const CImageList* list = GetImageList(LVSIL_HEADER);
    if (!list) return;
    SIZE extent{};
    GetTextExtentPoint32(dc, column.heading.c_str(), int(column.heading.size()), &extent);
    const bool onRight = column.format & LVCFMT_BITMAP_ON_RIGHT;
    std::int32_t x = text->left;
    if ((column.format & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER)
        x = text->left + (text->Width() - extent.cx - 26) / 2;
    else if ((column.format & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
        x = text->right - extent.cx - 26;
    if (onRight) x = std::min(text->right - HeaderIconSize, x + extent.cx + 10);
    x = std::max(x, text->left);
    list->Draw(dc, column.image, POINT{x, text->top + 1}, ILD_NORMAL);
    *format &= ~UINT(DT_CENTER | DT_RIGHT);
    if (onRight) {
        text->right = x - 10;
        *format |= DT_RIGHT;
    } else {
        text->left = x + 26;
    }
}

RECT TkListBaseC::HeaderFillerRect() const {
    RECT client;
    GetWindowClientRect(&client);
    const std::int32_t right = GetColumnCount() ? GetColumnRight(GetColumnCount() - 1) : -horzOffset_;
    return RECT{right, client.top, std::max(right, client.right) + 2, client.top + headerHeight_};
}

void TkListBaseC::PaintHeaderFiller() {
    if (!m_hWnd || !IsHeaderShown()) return;
    HDC dc = GetDC(m_hWnd);
    RECT area;
    GetItemArea(&area);
    IntersectClipRect(dc, 0, 0, area.right, headerHeight_);
    DrawHeaderButton(dc, -1, HeaderFillerRect(), FALSE);
    ReleaseDC(m_hWnd, dc);
}

// ---- the label tip and cancelled modes

void TkListBaseC::ShowTip(UINT flags, std::int32_t item, std::int32_t column, POINT point) {
    if (!HasListExStyle(LVXS_LABELTIPS) || !HasListStyle(LVS_NOLABELWRAP)) return;
    if (itemDragStarted_ || columnDragStarted_ || (editItem_ >= 0 && item == editItem_))
        tip_->Hide();
    else
        tip_->Show(flags, item, column, point.x, point.y);
}

LRESULT TkListBaseC::OnCancelMode(WPARAM, LPARAM) {
    tip_->Hide();
    return Default();
}

} // namespace vq
