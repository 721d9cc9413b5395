#include "platform/classlib/Document.h"

#include "platform/classlib/View.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CDocument, CCmdTarget)

void CDocument::AddView(CView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    if (std::erase(m_views, view) != 0) view->m_pDocument = nullptr;
}

} // namespace vq
