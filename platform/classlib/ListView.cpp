#include "platform/classlib/ListView.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CListView, CView)

CListView::~CListView() {
    m_list.m_hWnd = 0;
}

BOOL CListView::PreCreateWindow(CREATESTRUCT& cs) {
    RegisterStandardControls();
    if (!cs.lpszClass) cs.lpszClass = WC_LISTVIEW;
    if ((cs.style & LVS_TYPEMASK) == LVS_ICON) cs.style |= LVS_REPORT;
    return CView::PreCreateWindow(cs);
}

CListCtrl& CListView::GetListCtrl() {
    m_list.m_hWnd = m_hWnd;
    return m_list;
}

} // namespace vq
