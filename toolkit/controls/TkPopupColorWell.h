#pragma once

#include "toolkit/controls/TkColorWell.h"

namespace vq {

class TkWellButton;

// A colour well that drops down under its button: it tracks the mouse without telling anyone,
// commits and closes on a click, Enter or space, and closes on Escape, a click elsewhere or the
// loss of the focus. The button owns it and opens it again and again.
class TkPopupColorWell : public TkColorWell {
    VQ_DECLARE_RUNTIME_CLASS(TkPopupColorWell)
    VQ_DECLARE_MESSAGE_MAP()
public:
    using TkColorWell::Create;
    // Opens below the button's screen rectangle, or above it and right-aligned where the screen
    // ends.
    virtual BOOL Create(DWORD style, const RECT& buttonRect, CWnd* parent, BOOL otherButton,
                        void* param = nullptr);
    void Reset() override;
    void NotifyParent() override;
    void SelectCell(int column, int row, int how) override;
    UINT GetWellClassStyle() const override { return CS_SAVEBITS; }
    BOOL HasFocusFrame() const override { return FALSE; }

    void SetOwnerButton(TkWellButton* button) { m_ownerButton = button; }
    TkWellButton* GetOwnerButton() const { return m_ownerButton; }
    BOOL IsShown() const { return m_shown; }

protected:
    void PostNcDestroy() override { m_shown = FALSE; }
    void OnOther() override;
    LRESULT OnPopupKeyDown(WPARAM key, LPARAM lParam);
    LRESULT OnPopupKeyUp(WPARAM key, LPARAM);
    LRESULT OnPopupLButtonDown(WPARAM flags, LPARAM point);
    LRESULT OnPopupKillFocus(WPARAM next, LPARAM lParam);

private:
    void Close();

    TkWellButton* m_ownerButton = nullptr;
    BOOL m_shown = FALSE;
};

} // namespace vq
