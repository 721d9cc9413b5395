#include "toolkit/frames/TkDocTemplateUtils.h"

#include "platform/classlib/DocManager.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"

#include <algorithm>

namespace vq {

std::string TkDocTemplateUtils::DocumentString(CDocTemplate* docTemplate) {
    std::string text;
    if (docTemplate) docTemplate->GetDocString(text, CDocTemplate::regFileTypeName);
    return text;
}

void TkDocTemplateUtils::ListTemplates(TemplateList& list) {
    list.clear();
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pDocManager) return;
    for (const auto& docTemplate : app->m_pDocManager->GetDocTemplates())
        list.push_back(docTemplate.get());
}

int TkDocTemplateUtils::GetTemplateIndex(CDocTemplate* docTemplate, const std::string& documentString) {
    TemplateList all;
    ListTemplates(all);
    int index = 0;
    for (CDocTemplate* candidate : all) {
        if (DocumentString(candidate) != documentString) continue;
        if (candidate == docTemplate) return index;
        ++index;
    }
    return -1;
}

CDocTemplate* TkDocTemplateUtils::FindTemplateByString(const std::string& documentString, int index) {
    TemplateList all;
    ListTemplates(all);
    CDocTemplate* last = nullptr;
    int position = 0;
    for (CDocTemplate* candidate : all) {
        if (DocumentString(candidate) != documentString) continue;
        if (position++ == index) return candidate;
        last = candidate;
    }
    return last;
}

UINT TkDocTemplateUtils::GetFrameResourceId(CFrameWnd* frame) {
    return frame ? frame->GetResourceId() : 0;
}

const RuntimeClass* TkDocTemplateUtils::MapFrameClass(const RuntimeClass*) {
    return nullptr;
}

const RuntimeClass* TkDocTemplateUtils::GetTemplateFrameClass(CDocTemplate* docTemplate,
                                                              const RuntimeClass* replacement) {
    if (replacement) return replacement;
    return docTemplate ? docTemplate->GetFrameClass() : nullptr;
}

void TkDocTemplateUtils::FilterByViewAndFrameClass(TemplateList& list, CView* view, CFrameWnd* frame) {
    const RuntimeClass* viewClass = view ? &view->GetRuntimeClass() : nullptr;
    const RuntimeClass* frameClass = frame ? &frame->GetRuntimeClass() : nullptr;
    const RuntimeClass* replacement = MapFrameClass(frameClass);
    std::erase_if(list, [&](CDocTemplate* docTemplate) {
        return docTemplate->GetViewClass() != viewClass ||
               GetTemplateFrameClass(docTemplate, replacement) != frameClass;
    });
}

void TkDocTemplateUtils::FilterByResourceId(TemplateList& list, CFrameWnd* frame) {
    const UINT id = GetFrameResourceId(frame);
    std::erase_if(list, [&](CDocTemplate* docTemplate) { return docTemplate->GetResourceId() != id; });
}

void TkDocTemplateUtils::FilterByDocumentClass(TemplateList& list, CDocument* document) {
    const RuntimeClass* documentClass = document ? &document->GetRuntimeClass() : nullptr;
    std::erase_if(list, [&](CDocTemplate* docTemplate) { return docTemplate->GetDocumentClass() != documentClass; });
}

BOOL TkDocTemplateUtils::IsDecided(const TemplateList& list, CDocTemplate** found) {
    if (list.size() > 1) return FALSE;
    *found = list.empty() ? nullptr : list.front();
    return TRUE;
}

CDocTemplate* TkDocTemplateUtils::FindTemplate(CDocument* document, CView* view, CFrameWnd* frame) {
    if (!document || !view || !frame) return nullptr;
    TemplateList list;
    ListTemplates(list);
    CDocTemplate* found = nullptr;
    if (IsDecided(list, &found)) return found;
    FilterByViewAndFrameClass(list, view, frame);
    if (IsDecided(list, &found)) return found;
    FilterByResourceId(list, frame);
    if (IsDecided(list, &found)) return found;
    FilterByDocumentClass(list, document);
    if (IsDecided(list, &found)) return found;
    CDocTemplate* own = document->GetDocTemplate();
    if (std::find(list.begin(), list.end(), own) != list.end()) return own;
    return list.front();
}

} // namespace vq
