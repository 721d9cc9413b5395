#include "platform/classlib/DocTemplate.h"

#include "platform/classlib/Document.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <memory>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(CDocTemplate, CCmdTarget)
VQ_IMPLEMENT_RUNTIME_CLASS(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, const RuntimeClass* documentClass, const RuntimeClass* frameClass,
                           const RuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(documentClass), m_pFrameClass(frameClass),
      m_pViewClass(viewClass) {
    const auto bytes = FindResource(RT_STRING, resourceId);
    m_strDocStrings.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

CDocTemplate::~CDocTemplate() {
    // Documents that outlive their template no longer report to it.
    for (CDocument* document : m_documents)
        document->m_pDocTemplate = nullptr;
}

std::string CDocTemplate::DocStringField(std::string_view all, int index) {
    if (index < 0) return {};
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t lineBreak = all.find('\n', start);
        if (lineBreak == std::string_view::npos) return {};
        start = lineBreak + 1;
    }
    const std::size_t end = all.find('\n', start);
    return std::string(
        all.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

BOOL CDocTemplate::GetDocString(std::string& text, DocStringIndex index) const {
    text = DocStringField(m_strDocStrings, int(index));
    return !text.empty();
}

void CDocTemplate::AddDocument(CDocument* document) {
    if (std::find(m_documents.begin(), m_documents.end(), document) != m_documents.end()) return;
    m_documents.push_back(document);
    document->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* document) {
    if (std::erase(m_documents, document) != 0) document->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (!m_pDocClass) return nullptr;
    std::unique_ptr<Object> object = m_pDocClass->CreateObject();
    auto* document = dynamic_cast<CDocument*>(object.get());
    if (!document) return nullptr;
    object.release();
    AddDocument(document);
    return document;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* document, CFrameWnd* other) {
    if (!m_pFrameClass) return nullptr;
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = document;
    context.m_pNewDocTemplate = this;
    context.m_pCurrentFrame = other;
    std::unique_ptr<Object> object = m_pFrameClass->CreateObject();
    auto* frame = dynamic_cast<CFrameWnd*>(object.get());
    if (!frame) return nullptr;
    // Until the frame stands it is ours: a window that failed half-way must not delete it.
    frame->m_bAutoDelete = FALSE;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    object.release();
    frame->m_bAutoDelete = TRUE;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* document, BOOL makeVisible) {
    frame->InitialUpdateFrame(document, makeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* document) {
    std::string title;
    if (!GetDocString(title, docName)) title = "Untitled";
    document->SetTitle(title.c_str());
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    while (!m_documents.empty()) {
        CDocument* document = m_documents.front();
        document->OnCloseDocument();
        // A document that keeps itself stays open but leaves the template's list.
        if (!m_documents.empty() && m_documents.front() == document) RemoveDocument(document);
    }
}

CMultiDocTemplate::CMultiDocTemplate(UINT resourceId, const RuntimeClass* documentClass,
                                     const RuntimeClass* frameClass, const RuntimeClass* viewClass)
    : CDocTemplate(resourceId, documentClass, frameClass, viewClass),
      m_hAccelTable(LoadAccelerators(resourceId)), m_hMenuShared(LoadMenu(resourceId)) {}

CMultiDocTemplate::~CMultiDocTemplate() {
    if (m_hAccelTable) DestroyAcceleratorTable(m_hAccelTable);
    if (m_hMenuShared) DestroyMenu(m_hMenuShared);
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* document) {
    std::string title;
    if (!GetDocString(title, docName)) title = "Untitled";
    title += std::to_string(m_nUntitledCount + 1);
    document->SetTitle(title.c_str());
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const char* path, BOOL makeVisible) {
    CDocument* document = CreateNewDocument();
    if (!document) return nullptr;
    // Whatever fails below, the document and any frame made for it go, and nothing else does.
    const BOOL autoDelete = document->m_bAutoDelete;
    document->m_bAutoDelete = FALSE;
    CFrameWnd* frame = CreateNewFrame(document, nullptr);
    const auto fail = [&]() -> CDocument* {
        if (frame) frame->DestroyWindow();
        delete document;
        return nullptr;
    };
    if (!frame) return fail();
    if (!path || !*path) {
        SetDefaultTitle(document);
        if (!document->OnNewDocument()) return fail();
        ++m_nUntitledCount;
    } else {
        if (!document->OnOpenDocument(path)) return fail();
        document->SetPathName(path);
    }
    document->m_bAutoDelete = autoDelete;
    InitialUpdateFrame(frame, document, makeVisible);
    return document;
}

} // namespace vq
