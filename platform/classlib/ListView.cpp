#include "platform/classlib/ListView.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CListView, CView)

CListView::~CListView() {
    m_list.m_hWnd = 0;
}

BOOL CListView::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                         const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    if ((style & LVS_TYPEMASK) == LVS_ICON) style |= LVS_REPORT;
    return CView::CreateEx(exStyle, className ? className : WC_LISTVIEW, windowName, style, rect, parent, id);
}

CListCtrl& CListView::GetListCtrl() {
    m_list.m_hWnd = m_hWnd;
    return m_list;
}

} // namespace vq
