#pragma once

#include "platform/classlib/Wnd.h"

namespace vq {

class CDocument;

// A child window showing a document: commands it does not handle go on to its document.
class CView : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CView)
public:
    ~CView() override;
    CDocument* GetDocument() const { return m_pDocument; }
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;

protected:
    // The view deletes itself with its window: it is made from its run-time class by the frame.
    void PostNcDestroy() override { delete this; }

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};

} // namespace vq
