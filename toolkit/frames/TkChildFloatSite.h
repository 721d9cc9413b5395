#pragma once

#include "platform/classlib/MDIFrameWnd.h"
#include "toolkit/frames/TkDockBar.h"

#include <string>

namespace vq {

// The part of an MDI child frame that hosts a bar floated inside the main window: its floating
// dock bar and the frame behaviour that follows the bar. Child frame classes of either kind carry
// it beside their own base.
class TkChildFloatSite {
public:
    TkChildFloatSite();
    virtual ~TkChildFloatSite();
    TkChildFloatSite(const TkChildFloatSite&) = delete;
    TkChildFloatSite& operator=(const TkChildFloatSite&) = delete;

    TkDockBar m_wndDockBar;

protected:
    // Such a frame cannot be maximised: the bar decides its size.
    static void RemoveMaximizeBox(CREATESTRUCT& cs) { cs.style &= ~WS_MAXIMIZEBOX; }
    // The floating dock bar, made for the main frame's docking and then moved into the frame.
    BOOL CreateFloatDockBar(CMDIChildWnd& frame);
    // The frame's caption follows the dock bar's text.
    void TakeDockBarTitle(CFrameWnd& frame) const;
    // WM_SIZE, WM_CLOSE and WM_WINDOWPOSCHANGED as the bar needs them; TRUE when the message was
    // handled whole.
    BOOL OnFloatMessage(CMDIChildWnd& frame, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // After the frame was shown or hidden: the main window's list of windows follows.
    static void RefreshWindowList();

private:
    // The bar this frame shows, unless several share its dock bar.
    CControlBar* SingleBar() const;
};

// A child frame class of the given base that hosts a bar floated inside the main window.
template <class Base> class TkChildFloatFrame : public Base, public TkChildFloatSite {
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override {
        if (!Base::PreCreateWindow(cs)) return FALSE;
        RemoveMaximizeBox(cs);
        return TRUE;
    }
    void RecalcLayout(BOOL notify = TRUE) override {
        if (this->m_bInRecalcLayout) return;
        Base::RecalcLayout(notify);
        TakeDockBarTitle(*this);
    }
    // The caption stays the bar's, whatever a document would make of it.
    void OnUpdateFrameTitle(BOOL addToTitle) override {
        const std::string kept = this->GetWindowText();
        Base::OnUpdateFrameTitle(addToTitle);
        this->SetWindowText(kept.c_str());
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_SHOWWINDOW) {
            if (!Base::OnWndMsg(message, wParam, lParam, result)) *result = this->Default();
            RefreshWindowList();
            return TRUE;
        }
        if (OnFloatMessage(*this, message, wParam, lParam, result)) return TRUE;
        return Base::OnWndMsg(message, wParam, lParam, result);
    }

protected:
    BOOL OnCreateClient(CCreateContext*) override { return CreateFloatDockBar(*this); }
};

} // namespace vq
