#pragma once

#include "platform/classlib/DocTemplate.h"

#include <memory>
#include <vector>

namespace vq {

// The application's document templates, in the order they were added, and what is done to all
// their documents at once.
class CDocManager {
public:
    CDocManager();
    // Closes the documents that are still open before their templates go.
    ~CDocManager();
    CDocManager(const CDocManager&) = delete;
    CDocManager& operator=(const CDocManager&) = delete;

    void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    const std::vector<std::unique_ptr<CDocTemplate>>& GetDocTemplates() const { return m_templates; }
    // Through the first template; null when there is none or the open fails.
    CDocument* OpenDocumentFile(const char* path);
    // A new document of the first template.
    CDocument* OnFileNew();
    // FALSE as soon as a modified document is to be kept.
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL endSession);
    int GetOpenDocumentCount() const;

private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

} // namespace vq
