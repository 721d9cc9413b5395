#pragma once

#include "platform/gui/Menu.h"
#include "toolkit/controls/TkBitmapButton.h"
#include "toolkit/controls/TkImages.h"

namespace vq {

// A bitmap button with a drop-down arrow that shows a popup menu when clicked: below the button
// (direction 0) or to its right. The menu stays the caller's; the button only borrows it.
class TkMenuButton : public TkBitmapButton {
    VQ_DECLARE_RUNTIME_CLASS(TkMenuButton)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // The arrow bitmaps: 7 by 4 pointing down, 4 by 7 pointing right.
    static constexpr std::uint32_t DownArrowId = IDB_TK_DOWN_ARROW;
    static constexpr std::uint32_t RightArrowId = IDB_TK_RIGHT_ARROW;

    TkMenuButton() = default;

    using TkBitmapButton::AttachButton;
    using TkBitmapButton::Create;
    virtual BOOL AttachButton(UINT id, CWnd* parent, HMENU menu, std::int32_t direction, DWORD buttonStyle);
    virtual BOOL Create(const char* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id, HMENU menu,
                        std::int32_t direction, DWORD buttonStyle);
    // Attaches the menu and direction; the arrow's id goes to `bitmapId`. Answers the alignment:
    // the arrow right of a caption, alone without one.
    virtual std::int32_t SetMenuInfo(const char* caption, HMENU menu, std::int32_t direction,
                                     std::uint32_t& bitmapId);

    void SetDirection(std::int32_t direction);
    std::int32_t GetDirection() const { return m_nDirection; }
    void SetMenu(HMENU menu) { m_hMenu = menu; }
    HMENU GetMenu() const { return m_hMenu; }

    void OnClicked() override;
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void PostNcDestroy() override;

protected:
    LRESULT OnMenuButtonUp(WPARAM, LPARAM point);

    HMENU m_hMenu = nullptr;
    std::int32_t m_nDirection = 0;
    BOOL m_bDrawingEnabled = TRUE;
};

} // namespace vq
