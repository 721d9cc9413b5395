#pragma once

#include "platform/classlib/ListBox.h"

namespace vq {

// Moves a list box's selected entry by dragging: an invisible window holds the capture while a
// grey XOR line shows where the entry would go, and the list scrolls by itself, ever faster, while
// the mouse is held above or below it.
class TkListBoxDragWnd : public CWnd {
public:
    // Scroll directions: the sides of the list box the mouse lies beyond.
    enum : UINT { beyondLeft = 1, above = 2, beyondRight = 4, below = 8 };
    static constexpr UINT kMinimumHold = 250; // ms before a release moves or the list scrolls
    static constexpr int kNoTarget = -2;
    static constexpr int kEnd = -1;

    TkListBoxDragWnd(CListBox* list, BOOL blankRow);

    // Drags the selection from a point of the list box's client area; TRUE when the entry moved,
    // with where it was and where it is now.
    BOOL Drag(POINT start, int& from, int& to);
    // FALSE, changing nothing, when the minimum exceeds the initial interval or the step exceeds
    // their difference.
    BOOL SetScrollTiming(UINT initial, UINT minimum, UINT step);
    void SetDragCursor(HCURSOR cursor) { m_dragCursor = cursor; }
    // The window of the drag in progress, which takes the pointer's messages; null when none.
    static HWND ActiveWindow();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnMouseMove(POINT screen);
    void AutoScroll();
    void SetLine(std::int32_t y);
    void DrawLine(std::int32_t y) const;
    BOOL MoveEntry(int& from, int& to);
    int LastFullyVisible() const;
    DWORD Now() const;

    CListBox* m_list;
    BOOL m_dragging = FALSE;
    BOOL m_cancelled = FALSE;
    BOOL m_moved = FALSE;
    BOOL m_blankRow = TRUE;
    DWORD m_lastScroll = 0;
    UINT m_initialInterval = 300;
    UINT m_interval = 300;
    UINT m_minimumInterval = 50;
    UINT m_intervalStep = 50;
    DWORD m_startTime = 0;
    DWORD m_endTime = 0;
    POINT m_start{};
    HCURSOR m_dragCursor = nullptr;
    HCURSOR m_previousCursor = nullptr;
    std::int32_t m_lineY = -1;
    int m_source = -1;
    int m_target = kNoTarget;
    UINT m_scroll = 0;
};

} // namespace vq
