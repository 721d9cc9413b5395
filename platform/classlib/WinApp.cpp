#include "platform/classlib/WinApp.h"

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/DocManager.h"
#include "platform/classlib/Wnd.h"

namespace vq {

namespace {
CWinApp* application = nullptr;
}

VQ_IMPLEMENT_RUNTIME_CLASS(CWinApp, CCmdTarget)

CWinApp::CWinApp() {
    application = this;
}

CWinApp::~CWinApp() {
    if (application == this) application = nullptr;
}

CWinApp* AfxGetApp() {
    return application;
}

void CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
    if (!m_pDocManager) m_pDocManager = std::make_unique<CDocManager>();
    m_pDocManager->AddDocTemplate(std::move(docTemplate));
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : 0, msg);
}

BOOL CWinApp::OnIdle(int) {
    if (m_pMainWnd && m_pMainWnd->m_hWnd && IsWindowVisible(m_pMainWnd->m_hWnd)) {
        m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0);
    }
    return FALSE;
}

BOOL CWinApp::PumpMessage() {
    MSG msg;
    if (!GetMessage(&msg, 0, 0, 0)) return FALSE;
    if (!PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return TRUE;
}

} // namespace vq
