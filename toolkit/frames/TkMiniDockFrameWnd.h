#pragma once

#include "platform/classlib/MiniDockFrameWnd.h"

namespace vq {

// The floating frame of the toolkit's bars: it holds a floating toolkit dock bar, sizes itself to
// its bars and hands drags and resizes of its caption and borders to the bar's dock context.
class TkMiniDockFrameWnd : public CMiniDockFrameWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkMiniDockFrameWnd)
    VQ_DECLARE_MESSAGE_MAP()
public:
    void RecalcLayout(BOOL notify = TRUE) override;
    BOOL Create(CFrameWnd* parent, DWORD barStyle) override;
    void PlaceFloating(POINT screen) override;
    // Sizes the frame to its bars and puts it at (x, y).
    virtual void RecalcLayoutAt(std::int32_t x, std::int32_t y, BOOL notify);

protected:
    std::unique_ptr<CDockBar> MakeDockBar() override;
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnCloseMessage(WPARAM wParam, LPARAM lParam);

private:
    CControlBar* FirstBar() const;
};

} // namespace vq
