#pragma once

#include "platform/classlib/ScrollView.h"

namespace vq {

// A view whose contents are the controls of a dialog template: made as a child dialog in the
// view's place, it handles the dialog keys among its controls, exchanges its fields with them at
// its first update, and scrolls when the frame is smaller than the template.
class CFormView : public CScrollView {
    VQ_DECLARE_RUNTIME_CLASS(CFormView)
public:
    explicit CFormView(UINT templateId);

    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) override;
    // The fields go to the controls, then the base's update.
    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    UINT m_nIDTemplate;
};

} // namespace vq
