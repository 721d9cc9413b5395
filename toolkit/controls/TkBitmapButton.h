#pragma once

#include "toolkit/controls/TkOwnerDrawButton.h"

#include <cstdint>

namespace vq {

// An owner-drawn button with a bitmap resource beside, above, below or instead of its caption.
// The bitmap is loaded with the current button colours and loaded again at every colour change.
class TkBitmapButton : public TkOwnerDrawButton {
    VQ_DECLARE_RUNTIME_CLASS(TkBitmapButton)
    VQ_DECLARE_MESSAGE_MAP()
public:
    enum Alignment : std::int32_t {
        BitmapLeft = 0,
        BitmapRight = 1,
        BitmapAbove = 2,
        BitmapBelow = 3,
        BitmapOnly = 4
    };

    TkBitmapButton();
    ~TkBitmapButton() override;

    using TkOwnerDrawButton::AttachButton;
    using TkOwnerDrawButton::Create;
    virtual BOOL AttachButton(UINT id, std::int32_t alignment, std::uint32_t bitmapId, CWnd* parent,
                              DWORD buttonStyle);
    virtual BOOL Create(const char* caption, DWORD style, std::int32_t alignment, std::uint32_t bitmapId,
                        const RECT& rect, CWnd* parent, UINT id, DWORD buttonStyle);
    virtual void RecalcLayout();

    void SizeToContent();
    BOOL SetBitmap(std::uint32_t bitmapId);
    SIZE GetMargins() const { return {m_nMarginX, m_nMarginY}; }
    void SetMargins(std::int32_t x, std::int32_t y);

    void DrawFocusRect(HDC dc, const RECT& rect) override;
    void DrawContent(HDC dc, const DRAWITEMSTRUCT* item, const RECT& content) override;

    RECT m_rcBitmap;
    RECT m_rcText;
    std::int32_t m_nAlignment = BitmapLeft;

protected:
    LRESULT OnBitmapSysColorChange(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);

    // Loads the bitmap of the id with the current button colours, replacing the one held.
    bool LoadBitmapResource(std::uint32_t bitmapId);
    SIZE BitmapSize() const;
    HFONT Font() const;

    std::uint32_t m_nBitmapId = 0;
    HBITMAP m_hBitmap = nullptr;
    std::int32_t m_nMarginX = 5;
    std::int32_t m_nMarginY = 5;
    // Where the last paint put the content rectangle's corner.
    POINT m_ptContent{2, 2};
};

} // namespace vq
