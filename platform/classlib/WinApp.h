#pragma once

#include "platform/classlib/CmdTarget.h"

#include <memory>

namespace vq {

class CDocManager;
class CDocTemplate;
class CDocument;
class CWnd;

// The application object: the last command target of every frame, and the message pump that
// gives windows their PreTranslateMessage before dispatch.
class CWinApp : public CCmdTarget {
    VQ_DECLARE_RUNTIME_CLASS(CWinApp)
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    CWnd* m_pMainWnd = nullptr;
    // Made with the first template; closes the documents still open when the application goes.
    std::unique_ptr<CDocManager> m_pDocManager;

    void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    // Through the document manager; null without templates.
    CDocument* OpenDocumentFile(const char* path);

    virtual BOOL PreTranslateMessage(MSG* msg);
    // With the queue empty: the main window and its windows bring their layouts and command
    // states up to date (WM_IDLEUPDATECMDUI). FALSE: no further idle work wanted.
    virtual BOOL OnIdle(int count);
    // Takes one message from the queue and dispatches it; FALSE on WM_QUIT.
    BOOL PumpMessage();
};

// The application object, or null when none exists.
CWinApp* AfxGetApp();

} // namespace vq
