#include "platform/classlib/Dialog.h"

#include "platform/classlib/DataExchange.h"
#include "platform/classlib/DialogResource.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/StandardControls.h"

#include <cstring>
#include <utility>

namespace vq {

namespace {

inline constexpr UINT WM_ENTERIDLE = 0x0121;
inline constexpr WPARAM MSGF_DIALOGBOX = 0;

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(CDialog, CWnd)

HFONT DialogFontTemplate::Create() const {
    HDC screen = GetDC(0);
    const int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(0, screen);
    LOGFONT lf;
    // Points to a character height in pixels, rounded to the nearest.
    lf.lfHeight = -(points * pixelsPerInch + 36) / 72;
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfCharSet = charSet;
    std::strncpy(lf.lfFaceName, face.c_str(), sizeof lf.lfFaceName - 1);
    return CreateFontIndirect(lf);
}

CDialog::CDialog(DialogTemplate dialogTemplate, CWnd* parent)
    : m_template(std::move(dialogTemplate)), m_pParentWnd(parent) {}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent) {
    auto loaded = LoadDialogTemplate(templateId);
    m_hasTemplate = loaded.has_value();
    if (loaded) m_template = std::move(*loaded);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    if (templateId) {
        auto loaded = LoadDialogTemplate(templateId);
        m_hasTemplate = loaded.has_value();
        if (loaded) m_template = std::move(*loaded);
    }
    if (parent) m_pParentWnd = parent;
    return m_hasTemplate ? CreateDlgIndirect(m_template, m_pParentWnd) : FALSE;
}

int CDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : 0;
    while (owner && ::vq::GetParent(owner))
        owner = ::vq::GetParent(owner);
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner) EnableWindow(owner, FALSE);
    m_ended = false;
    m_result = -1;
    BOOL focusFirst = FALSE;
    if (m_hasTemplate && CreateFromTemplate(m_template, owner, false, &focusFirst)) {
        ShowWindow(m_hWnd, SW_SHOW);
        // The first tab stop gets the focus unless OnInitDialog placed it itself.
        if (focusFirst)
            if (HWND first = GetNextDlgTabItem(m_hWnd, 0, FALSE)) SetFocus(first);
        bool idle = true;
        MSG msg;
        // The dialog also ends when its window goes without EndDialog, as it does with its owner.
        while (!m_ended && m_hWnd) {
            if (idle && !PeekMessage(&msg, 0, 0, 0, PM_NOREMOVE)) {
                if (owner) ::vq::SendMessage(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, LPARAM(m_hWnd));
                idle = false;
                continue;
            }
            if (!GetMessage(&msg, 0, 0, 0)) {
                // The program is ending: the quit message stays for the loop outside.
                PostQuitMessage(int(msg.wParam));
                break;
            }
            // The dialog's windows see their own messages first, as they do under the
            // application's loop; the dialog's keyboard handling comes last.
            const bool inside = msg.hwnd == m_hWnd || ::vq::IsChild(m_hWnd, msg.hwnd);
            if (!(inside ? WalkPreTranslateTree(m_hWnd, &msg) : PreTranslateMessage(&msg))) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            idle = !PeekMessage(&msg, 0, 0, 0, PM_NOREMOVE);
        }
    }
    // The owner comes back before the dialog goes, so the focus can return to it.
    if (disableOwner) EnableWindow(owner, TRUE);
    if (m_hWnd) DestroyWindow();
    if (owner) SetActiveWindow(owner);
    return m_result;
}

void CDialog::EndDialog(int result) {
    m_result = result;
    m_ended = true;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    return IsDialogMessage(m_hWnd, msg);
}

BOOL CDialog::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    if (CWnd::OnCmdMsg(id, code, extra, info)) return TRUE;
    if (code != CN_COMMAND || (id != UINT(IDOK) && id != UINT(IDCANCEL))) return FALSE;
    if (info) return TRUE;
    id == UINT(IDOK) ? OnOK() : OnCancel();
    return TRUE;
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case DM_GETDEFID:
        *result = LRESULT(MAKELPARAM(int(m_defaultId), int(DC_HASDEFID)));
        return TRUE;
    case DM_SETDEFID:
        m_defaultId = UINT(wParam);
        *result = TRUE;
        return TRUE;
    case WM_INITDIALOG:
        *result = OnInitDialog();
        return TRUE;
    case WM_NEXTDLGCTL:
        NextDlgCtl(m_hWnd, wParam, lParam);
        *result = 0;
        return TRUE;
    case WM_CLOSE:
        OnCancel();
        *result = 0;
        return TRUE;
    default:
        return CWnd::OnWndMsg(message, wParam, lParam, result);
    }
}

} // namespace vq
