#include "toolkit/frames/TkDialogBar.h"

#include "platform/res/Resources.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkDialogBar, TkControlBar)

TkDialogBar::~TkDialogBar() {
    DestroyWindow();
}

BOOL TkDialogBar::Create(CFrameWnd* parent, UINT templateId, DWORD style, DWORD exStyle, UINT id) {
    if (!parent) return FALSE;
    m_dwStyle = style & CBRS_ALL;
    m_dwExStyle = exStyle;
    CREATESTRUCT cs;
    cs.lpszClass = ControlBarClassName();
    cs.style = (style & ~DWORD(CBRS_ALL)) | WS_CHILD;
    cs.hMenu = id;
    cs.hwndParent = parent->m_hWnd;
    if (!PreCreateWindow(cs)) return FALSE;
    m_lpszTemplateName = templateId;
    if (!CreateDlg(templateId, parent)) return FALSE;
    m_lpszCreatingTemplate = nullptr;
    SetWindowLongPtr(m_hWnd, GWLP_ID, std::intptr_t(id));
    RECT r;
    GetWindowRect(m_hWnd, &r);
    m_sizeDefault = {r.Width(), r.Height()};
    SetWindowLongPtr(m_hWnd, GWL_STYLE, std::intptr_t((GetStyle() & ~DWORD(WS_CAPTION)) | WS_CLIPSIBLINGS));
    // The controls' places as the template gives them, to scale from.
    RecordChildLayout();
    SetWindowPos(m_hWnd, 0, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     ((style & WS_VISIBLE) ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    m_szMRUFloat = m_szMRUHorzDock = m_szMRUVertDock = m_sizeDefault;
    return TRUE;
}

void TkDialogBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const UINT id = UINT(::vq::GetDlgCtrlID(child));
        if (id == 0 || id == 0xFFFF) continue;
        // Controls the template made have no object; one stands in for the question.
        CWnd* control = CWnd::FromHandlePermanent(child);
        CWnd standIn;
        if (!control && standIn.Attach(child)) control = &standIn;
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_pOther = control;
        ui.DoUpdate(target, disableIfNoHandler);
        if (control == &standIn) standIn.Detach();
    }
}

void TkDialogBar::GetBarInfoEx(TkControlBarInfo* info) {
    info->m_nResourceID = m_lpszTemplateName;
    TkControlBar::GetBarInfoEx(info);
}

BOOL TkDialogBar::IsBarTemplate(UINT templateId, BOOL checkStyle) {
    const auto bytes = FindResource(RT_DIALOG, templateId);
    if (bytes.empty()) return FALSE;
    return IsBarTemplate(bytes, checkStyle);
}

BOOL TkDialogBar::IsBarTemplate(std::span<const unsigned char> bytes, BOOL checkStyle) {
    if (!checkStyle) return TRUE;
    auto word = [&](std::size_t at) { return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8; };
    // An extended template says so by 0xFFFF in its second word; its style follows at byte 12.
    const bool extended = bytes.size() >= 4 && word(2) == 0xFFFF;
    const std::size_t at = extended ? 12 : 0;
    // A template too short to hold its style is no template.
    if (bytes.size() < at + 4) return FALSE;
    const DWORD style = word(at) | word(at + 2) << 16;
    if (style & WS_VISIBLE) return FALSE;
    return (style & WS_CHILD) != 0;
}

} // namespace vq
