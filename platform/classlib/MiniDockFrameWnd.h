#pragma once

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/FrameWnd.h"

#include <memory>

namespace vq {

// The small frame a floating bar lives in: a tool window with a small caption and a close box,
// over the frame that docks the bar, holding one floating dock bar (AFX_IDW_DOCKBAR_FLOAT).
class CMiniDockFrameWnd : public CFrameWnd {
    VQ_DECLARE_RUNTIME_CLASS(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;

    // The dock bar, made by the class that knows its kind.
    std::unique_ptr<CDockBar> m_wndDockBar;

    BOOL CreateFloating(CFrameWnd* parent, DWORD style) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    virtual BOOL Create(CFrameWnd* parent, DWORD barStyle);

protected:
    // The floating dock bar this frame holds.
    virtual std::unique_ptr<CDockBar> MakeDockBar();
    // Set while the frame makes or lays itself out, so that layouts it causes wait.
    BOOL m_bInLayout = FALSE;

private:
    // The frame the mini frame floats over and keeps in step with.
    CFrameWnd* OwnerFrame() const;
};

} // namespace vq
