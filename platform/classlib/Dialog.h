#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/DialogManager.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq {

class CDataExchange;

// A dialog's layout in memory: the window and its controls in tab order.
struct DialogItemTemplate {
    std::string className;
    std::string text;
    UINT id = 0;
    DWORD style = 0;
    RECT rect;
    DWORD exStyle = 0;
};

// The font a template names for its dialog, in points at the screen's resolution.
struct DialogFontTemplate {
    int points = 0;
    int weight = 0;
    bool italic = false;
    std::uint8_t charSet = 0;
    std::string face;

    // A new font of the description, which the caller deletes.
    HFONT Create() const;
};

struct DialogTemplate {
    std::string caption;
    DWORD style = WS_POPUP | WS_CAPTION;
    RECT rect;
    std::vector<DialogItemTemplate> items;
    DWORD exStyle = 0;
    // The rectangle is the client area, placed in the owner's client area, rather than the
    // window's rectangle on the screen.
    bool rectIsClient = false;
    // The font of the dialog and every control it makes; without one they have the system's.
    std::optional<DialogFontTemplate> font;
};

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
    void EndDialog(int result);
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // FALSE when a field failed: its control has the focus and the user has been told.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange* exchange);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    static const char* DialogClassName();

protected:
    DialogTemplate m_template;
    CWnd* m_pParentWnd = nullptr;

private:
    struct FontDeleter {
        void operator()(HFONT font) const;
    };

    BOOL CreateFromTemplate(HWND owner);

    // The template's font: the dialog's own while its window lives.
    std::unique_ptr<FontObject, FontDeleter> m_font;
    bool m_hasTemplate = true;
    UINT m_defaultId = IDOK;
    bool m_ended = false;
    int m_result = 0;
};

} // namespace vq
