#pragma once

#include "platform/classlib/ListCtrl.h"
#include "platform/classlib/View.h"

namespace vq {

// A view that is a list view control: its window is made of the control's class (report view
// unless the style names another), and GetListCtrl reaches the control's operations on it.
class CListView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(CListView)
public:
    ~CListView() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    CListCtrl& GetListCtrl();

private:
    // The control's operations on the view's own window; it is not attached to the window, which
    // belongs to the view.
    CListCtrl m_list;
};

} // namespace vq
