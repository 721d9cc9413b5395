#pragma once

#include "platform/classlib/Wnd.h"

namespace vq {

// An object with its own message map that takes part in another window's (its host's) message and
// command handling without subclassing it. While attached it carries the host's handle, so its
// handlers act on the host window; the host offers it every message and command first and reads
// m_bHandled afterwards. It never owns the host's window: it stays out of the handle map.
class TkWndPlugIn : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkWndPlugIn)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkWndPlugIn() = default;
    ~TkWndPlugIn() override;

    // Set by a handler that fully handled the current message; the host clears it where it reads it.
    BOOL m_bHandled = FALSE;
    // While clear, Default() from a handler does nothing: the host runs its own default afterwards.
    BOOL m_bAllowDefault = FALSE;
    BOOL m_bResultSet = FALSE;
    LRESULT m_lResult = 0;
    BOOL m_bAttached = FALSE;

    virtual void SetMessageResult(LRESULT result);
    virtual BOOL AttachToHost(CWnd* host);
    virtual void DetachFromHost();
    virtual BOOL IsAttached() const { return m_bAttached; }

    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    // The plug-in's own map only: reflecting notifications and passing system changes on is the
    // host's business, which would otherwise happen twice. A result set by SetMessageResult is
    // both returned and written to `result`, so that the host passes it on to the sender.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace vq
