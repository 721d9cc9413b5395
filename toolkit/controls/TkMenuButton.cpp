#include "toolkit/controls/TkMenuButton.h"

#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/res/Resources.h"

#include <array>

namespace vq {

namespace {

// A packed 1-bit DIB: light grey (the button face once recoloured) with the black arrow.
template <int W, int H>
constexpr std::array<unsigned char, 40 + 8 + 4 * H> ArrowDib(const char (&rows)[H][W + 1]) {
    std::array<unsigned char, 40 + 8 + 4 * H> dib{};
    const auto put32 = [&](int at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            dib[std::size_t(at + k)] = static_cast<unsigned char>(v >> (8 * k));
    };
    put32(0, 40);
    put32(4, W);
    put32(8, H);
    dib[12] = 1;  // planes
    dib[14] = 1;  // bits per pixel
    put32(32, 2); // colours used
    put32(40, 0xC0C0C0);
    put32(44, 0x000000);
    // Rows run bottom-up, each padded to 4 bytes, the leftmost pixel in the highest bit.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (rows[H - 1 - y][x] == '#')
                dib[std::size_t(48 + 4 * y + x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    return dib;
}

constexpr const char downRows[4][8] = {"#######", ".#####.", "..###..", "...#..."};
constexpr const char rightRows[7][5] = {"#...", "##..", "###.", "####", "###.", "##..", "#..."};
constexpr auto downArrow = ArrowDib<7, 4>(downRows);
constexpr auto rightArrow = ArrowDib<4, 7>(rightRows);
constexpr ResourceEntry arrows[] = {
    {RT_BITMAP, TkMenuButton::DownArrowId, downArrow.data(), downArrow.size()},
    {RT_BITMAP, TkMenuButton::RightArrowId, rightArrow.data(), rightArrow.size()},
};
// The toolkit's own resources come with the class that draws them.
const ResourceRegistration registration{arrows};

std::uint32_t ArrowOf(std::int32_t direction) {
    return direction ? TkMenuButton::RightArrowId : TkMenuButton::DownArrowId;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkMenuButton, TkBitmapButton)

VQ_BEGIN_MESSAGE_MAP(TkMenuButton, TkBitmapButton)
VQ_ON_MESSAGE(WM_LBUTTONUP, OnMenuButtonUp)
VQ_END_MESSAGE_MAP()

std::int32_t TkMenuButton::SetMenuInfo(const char* caption, HMENU menu, std::int32_t direction,
                                       std::uint32_t& bitmapId) {
    m_hMenu = menu;
    m_nDirection = direction;
    bitmapId = ArrowOf(direction);
    return caption && *caption ? BitmapRight : BitmapOnly;
}

BOOL TkMenuButton::AttachButton(UINT id, CWnd* parent, HMENU menu, std::int32_t direction,
                                DWORD buttonStyle) {
    if (!parent) return FALSE;
    char caption[100] = {};
    ::vq::GetWindowText(::vq::GetDlgItem(parent->m_hWnd, int(id)), caption, int(sizeof caption));
    std::uint32_t bitmapId = 0;
    const std::int32_t alignment = SetMenuInfo(caption, menu, direction, bitmapId);
    return TkBitmapButton::AttachButton(id, alignment, bitmapId, parent, buttonStyle);
}

BOOL TkMenuButton::Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                          HMENU menu, std::int32_t direction, DWORD buttonStyle) {
    std::uint32_t bitmapId = 0;
    const std::int32_t alignment = SetMenuInfo(caption, menu, direction, bitmapId);
    return TkBitmapButton::Create(caption, style, alignment, bitmapId, rect, parent, id, buttonStyle);
}

void TkMenuButton::SetDirection(std::int32_t direction) {
    m_nDirection = direction;
    SetBitmap(ArrowOf(direction));
    RecalcLayout();
    if (m_hWnd) Invalidate(TRUE);
}

void TkMenuButton::OnClicked() {
    if (!m_hWnd || !IsMenu(m_hMenu)) return;
    RECT r;
    ::vq::GetWindowRect(m_hWnd, &r);
    const POINT anchor = m_nDirection ? POINT{r.right, r.top} : POINT{r.left, r.bottom};
    m_bDrawingEnabled = FALSE;
    CWnd* owner = GetParent();
    if (owner && owner->IsKindOf(CView::Class()))
        if (CWnd* frame = owner->GetParent(); frame && frame->IsKindOf(CFrameWnd::Class())) owner = frame;
    const HWND button = m_hWnd;
    if (TrackPopupMenu(m_hMenu, 0, anchor.x, anchor.y, 0, owner ? owner->m_hWnd : button, nullptr)) {
        // The press that closed the menu over this button must not press it again.
        MSG msg;
        PeekMessage(&msg, button, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE);
    }
    m_bDrawingEnabled = TRUE;
    if (IsWindow(button)) {
        InvalidateRect(button, nullptr, FALSE);
        UpdateWindow(button);
    }
}

void TkMenuButton::DrawItem(DRAWITEMSTRUCT* item) {
    if (m_bDrawingEnabled) TkBitmapButton::DrawItem(item);
}

void TkMenuButton::PostNcDestroy() {
    // The menu is the caller's: the button lets go of it with its window.
    m_hMenu = nullptr;
    TkBitmapButton::PostNcDestroy();
}

LRESULT TkMenuButton::OnMenuButtonUp(WPARAM, LPARAM point) {
    // The button is released before the menu opens, so the menu's loop does not run with it held.
    if (!IsClickRelease(point)) return Default();
    const LRESULT result = Default();
    OnClicked();
    return result;
}

} // namespace vq
