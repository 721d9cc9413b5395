#include "platform/classlib/Document.h"

#include "platform/classlib/DocTemplate.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/core/StringTable.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/MessageBox.h"

#include <algorithm>
#include <unordered_set>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CDocument, CCmdTarget)

namespace {

std::unordered_set<const CDocument*>& LiveDocuments() {
    static std::unordered_set<const CDocument*> documents;
    return documents;
}

} // namespace

bool IsLiveDocument(const CDocument* document) {
    return document && LiveDocuments().count(document) != 0;
}

CDocument::CDocument() {
    LiveDocuments().insert(this);
}

CDocument::~CDocument() {
    LiveDocuments().erase(this);
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::AddView(CView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
    if (view->m_pDocument) view->m_pDocument->RemoveView(view);
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    if (std::erase(m_views, view) == 0) return;
    view->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList() {
    if (m_views.empty() && m_bAutoDelete) OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, Object* hintObject) {
    // A view may close others while it updates, so the list is walked by a copy.
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(sender, hint, hintObject);
}

void CDocument::SetTitle(const char* title) {
    m_strTitle = title ? title : "";
    for (CView* view : m_views)
        if (CFrameWnd* frame = view->GetParentFrame()) frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(const char* path) {
    m_strPathName = path ? path : "";
    const std::size_t slash = m_strPathName.find_last_of('/');
    SetTitle(m_strPathName.c_str() + (slash == std::string::npos ? 0 : slash + 1));
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char*) {
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const char*) {
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::DoSave(const char* path) {
    const std::string target = path && *path ? std::string(path) : m_strPathName;
    if (!OnSaveDocument(target.c_str())) return FALSE;
    if (target != m_strPathName) SetPathName(target.c_str());
    return TRUE;
}

void CDocument::OnCloseDocument() {
    // The views going must not close the document a second time.
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_views.empty()) {
        CView* view = m_views.front();
        if (CFrameWnd* frame = view->GetParentFrame())
            frame->DestroyWindow();
        else
            view->DestroyWindow();
        // A view that outlived its window no longer shows the document.
        if (!m_views.empty() && m_views.front() == view) RemoveView(view);
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

BOOL CDocument::SaveModified() {
    if (!IsModified()) return TRUE;
    std::string text = StringTable::Find(IDS_ASK_TO_SAVE).value_or("Save changes to %1?");
    if (const std::size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, m_strTitle);
    CWinApp* app = AfxGetApp();
    const HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : 0;
    switch (MessageBox(owner, text.c_str(), "", MB_YESNOCANCEL | MB_ICONWARNING)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoSave(nullptr);
    default:
        return TRUE;
    }
}

BOOL CDocument::IsShownByOtherFrame(const CFrameWnd* frame) const {
    return std::any_of(m_views.begin(), m_views.end(),
                       [&](const CView* view) { return view->GetParentFrame() != frame; });
}

BOOL CDocument::CanCloseFrame(CFrameWnd* frame) {
    return IsShownByOtherFrame(frame) || SaveModified();
}

BOOL CDocument::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (CCmdTarget::OnCmdMsg(id, code, extra, info)) return TRUE;
    return m_pDocTemplate ? m_pDocTemplate->OnCmdMsg(id, code, extra, info) : FALSE;
}

} // namespace vq
