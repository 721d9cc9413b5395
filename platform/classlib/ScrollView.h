#pragma once

#include "platform/classlib/View.h"

namespace vq {

// A view of content larger than its window: the window's own bars and the wheel move the content,
// and drawing happens in content coordinates (OnPrepareDC moves the origin).
class CScrollView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(CScrollView)
public:
    // Content, page and line sizes in pixels (MM_TEXT, the only mode); a page left zero is a
    // tenth of the content, a line a tenth of the page.
    void SetScrollSizes(int mapMode, SIZE total, SIZE page = {}, SIZE line = {});
    SIZE GetTotalSize() const { return m_totalDev; }
    // The content point at the client area's top left corner.
    POINT GetScrollPosition() const;
    // Moves the content so the point is at the top left, as far as the content reaches.
    void ScrollToPosition(POINT position);

    void OnPrepareDC(HDC dc) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    // Shows the bars the content needs at the window's size and sets their ranges and pages.
    void UpdateBars();
    // Acts on a bar's code (SB_*) with the thumb's position for the thumb codes; FALSE when the
    // code moves nothing.
    BOOL OnScroll(int bar, UINT code, int thumb);
    BOOL OnMouseWheel(int delta);

    SIZE m_totalDev;
    SIZE m_pageDev;
    SIZE m_lineDev;

private:
    // Showing a bar resizes the client area, which asks for the bars again.
    bool m_updatingBars = false;
    int Clamped(int bar, int position) const;
};

} // namespace vq
