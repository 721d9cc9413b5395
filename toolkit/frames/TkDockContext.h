#pragma once

#include "platform/classlib/ControlBar.h"

namespace vq {

class TkDockBar;

// A bar's drag, resize and toggling between docked and floating: a modal pointer loop that draws
// the rectangle the bar would take on the desktop; Ctrl refuses docking, Shift flips the
// orientation.
class TkDockContext : public CDockContext {
public:
    explicit TkDockContext(CControlBar* bar);
    ~TkDockContext() override;

    RECT m_rectLastDrop;
    POINT m_ptDragStart;
    POINT m_ptLastDrop;
    int m_nLastDropRow = -1;
    BOOL m_bPrevFloating = FALSE;
    SIZE m_sizeMinFloat;
    SIZE m_sizeMaxFloat;

    void StartDrag(POINT screen) override;
    void StartResize(int hitTest, POINT screen) override;
    void ToggleDocking() override;
    virtual void ToggleFloatInMainWindow();

    // The loop; FALSE when another window holds the capture or the gesture was cancelled.
    BOOL Track();

private:
    void InitLoop();
    void CancelLoop();
    void Move(POINT screen);
    void Stretch(POINT screen);
    void EndDrag();
    void EndResize();
    void DrawFocusRect(BOOL removeRect = FALSE);
    DWORD CanDock();
    CDockBar* GetDockBar(DWORD overStyle) const;
    void UpdateState(BOOL* flag, BOOL value);
    BOOL IsSizingBar() const;
    BOOL IsCustomToolBar() const;
    BOOL MovedBeyondSlack() const;

    // The resize's rectangles: as the pointer asks, as the bar takes it, the frame around that,
    // and the frame's borders on each side.
    RECT m_rectRequestedSize;
    RECT m_rectActualSize;
    RECT m_rectActualFrameSize;
    RECT m_rectFrameBorders;
    BOOL m_bDrawn = FALSE;
    // The dock bar the pointer is over: one of the frame's sides or a shared floating one.
    CDockBar* m_pOverDockBar = nullptr;
};

} // namespace vq
