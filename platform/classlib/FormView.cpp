#include "platform/classlib/FormView.h"

#include "platform/classlib/DialogResource.h"
#include "platform/classlib/FrameWnd.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(CFormView, CScrollView)

CFormView::CFormView(UINT templateId) : m_nIDTemplate(templateId) {}

BOOL CFormView::CreateEx(DWORD exStyle, const char*, const char*, DWORD style, const RECT& rect, CWnd* parent,
                         UINT id) {
    auto loaded = LoadDialogTemplate(m_nIDTemplate);
    if (!loaded || !parent) return FALSE;
    DialogTemplate& t = *loaded;
    const SIZE content{t.rect.Width(), t.rect.Height()};
    // The template's controls in the view's window: a child at the view's place, without a caption.
    t.style = (t.style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME)) | style | WS_CHILD;
    t.exStyle |= exStyle;
    t.rect = rect;
    t.rectIsClient = false;
    if (!CreateFromTemplate(t, parent->m_hWnd, true, nullptr)) return FALSE;
    SetWindowLongPtr(m_hWnd, GWLP_ID, std::intptr_t(id));
    SetScrollSizes(MM_TEXT, content);
    return TRUE;
}

void CFormView::OnInitialUpdate() {
    UpdateData(FALSE);
    CScrollView::OnInitialUpdate();
}

BOOL CFormView::PreTranslateMessage(MSG* msg) {
    if (CScrollView::PreTranslateMessage(msg)) return TRUE;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !IsChild(m_hWnd, msg->hwnd)) return FALSE;
    // The dialog keys take every key, so the frames around get theirs (accelerators) first.
    for (CFrameWnd* frame = GetParentFrame(); frame; frame = frame->GetParentFrame())
        if (frame->PreTranslateMessage(msg)) return TRUE;
    return IsDialogMessage(m_hWnd, msg);
}

} // namespace vq
