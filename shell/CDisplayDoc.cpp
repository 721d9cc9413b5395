#include "shell/CDisplayDoc.h"

#include <algorithm>

namespace vq {
namespace {

std::vector<CDisplayDoc*>& DisplayDocuments() {
    static std::vector<CDisplayDoc*> documents;
    return documents;
}

} // namespace

CDisplayDoc::CDisplayDoc() {
    DisplayDocuments().push_back(this);
}

CDisplayDoc::~CDisplayDoc() {
    std::erase(DisplayDocuments(), this);
}

void CDisplayDoc::ForEach(const std::function<void(CDisplayDoc&)>& visit) {
    // A visit may close documents, so it walks a copy and skips those gone meanwhile.
    const std::vector<CDisplayDoc*> documents = DisplayDocuments();
    for (CDisplayDoc* document : documents)
        if (std::find(DisplayDocuments().begin(), DisplayDocuments().end(), document) !=
            DisplayDocuments().end())
            visit(*document);
}

} // namespace vq
