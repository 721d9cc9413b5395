#pragma once

#include "platform/classlib/Wnd.h"

namespace vq {

class CDocument;
class CFrameWnd;

// Sent by a frame to its descendants once its document and views are in place.
inline constexpr UINT WM_INITIALUPDATE = 0x0364;
// The child id of a frame's first view.
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

// A child window showing a document: commands it does not handle go on to its document. It paints
// through OnDraw, hears of its document's changes through OnUpdate and of its frame making it the
// active view (or another) through OnActivateView; a click into it makes it the active view.
class CView : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CView)
public:
    ~CView() override;
    CDocument* GetDocument() const { return m_pDocument; }
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // Draws the view's content on a context prepared by OnPrepareDC.
    virtual void OnDraw(HDC dc);
    virtual void OnPrepareDC(HDC dc);
    // Once the frame is complete: by default the same as an update from nobody.
    virtual void OnInitialUpdate();
    // The document changed; `sender` is the view that changed it, null for the document itself.
    // By default the whole view is redrawn.
    virtual void OnUpdate(CView* sender, LPARAM hint, Object* hintObject);
    // The frame made `activateView` its active view in place of `deactiveView`; the view that
    // became active takes the focus.
    virtual void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView);
    // A press into the view makes it its frame's active view, unless the parent's answer keeps
    // the press from activating.
    virtual int OnMouseActivate(HWND desktop, UINT hitTest, UINT message);
    // The view's frame was activated or deactivated (a WM_ACTIVATE state).
    virtual void OnActivateFrame(UINT, CFrameWnd*) {}
    // Set by whoever makes the view's window from its run-time class while it does: a window that
    // fails then leaves the object to that maker instead of deleting it.
    void SetCreatingInFrame(bool creating) { m_bCreatingInFrame = creating; }

protected:
    // The view deletes itself with its window: it is made from its run-time class by the frame.
    // While the frame is still making it, a window that fails leaves the object to the frame.
    void PostNcDestroy() override {
        if (!m_bCreatingInFrame) delete this;
    }

private:
    friend class CDocument;
    friend class CFrameWnd;
    CDocument* m_pDocument = nullptr;
    bool m_bCreatingInFrame = false;
};

} // namespace vq
