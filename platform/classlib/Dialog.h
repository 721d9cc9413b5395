#pragma once

#include "platform/classlib/DialogTemplate.h"
#include "platform/classlib/Wnd.h"
#include "platform/gui/DialogManager.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq {

// A dialog: its controls made from a template, keys handled by the dialog manager, fields
// exchanged with its controls through DoDataExchange. DoModal runs its own loop with the owner
// disabled and answers the code EndDialog was given.
class CDialog : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CDialog)
public:
    explicit CDialog(DialogTemplate dialogTemplate, CWnd* parent = nullptr);
    // From the dialog resource of that id; DoModal answers -1 when there is none.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    virtual int DoModal();
    // A modeless dialog from the template given at construction, or from the resource of that
    // id: shown when its template has WS_VISIBLE, ended by DestroyWindow rather than EndDialog.
    // The parent owns a popup; a template with WS_CHILD makes a child dialog.
    BOOL Create(UINT templateId = 0, CWnd* parent = nullptr);
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    DialogTemplate m_template;
    CWnd* m_pParentWnd = nullptr;
    bool m_hasTemplate = true;

private:
    UINT m_defaultId = IDOK;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace vq
