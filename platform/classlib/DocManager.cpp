#include "platform/classlib/DocManager.h"

#include "platform/classlib/Document.h"

namespace vq {

CDocManager::CDocManager() = default;

CDocManager::~CDocManager() {
    CloseAllDocuments(TRUE);
}

void CDocManager::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
    if (docTemplate) m_templates.push_back(std::move(docTemplate));
}

CDocument* CDocManager::OpenDocumentFile(const char* path) {
    return m_templates.empty() ? nullptr : m_templates.front()->OpenDocumentFile(path);
}

CDocument* CDocManager::OnFileNew() {
    return OpenDocumentFile(nullptr);
}

BOOL CDocManager::SaveAllModified() {
    for (const auto& docTemplate : m_templates) {
        // Saving may close documents, so each template's list is walked by a copy.
        const std::vector<CDocument*> documents = docTemplate->GetDocuments();
        for (CDocument* document : documents)
            if (!document->SaveModified()) return FALSE;
    }
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL endSession) {
    for (const auto& docTemplate : m_templates)
        docTemplate->CloseAllDocuments(endSession);
}

int CDocManager::GetOpenDocumentCount() const {
    int count = 0;
    for (const auto& docTemplate : m_templates)
        count += int(docTemplate->GetDocuments().size());
    return count;
}

} // namespace vq
