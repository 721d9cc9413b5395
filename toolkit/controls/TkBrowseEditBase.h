#pragma once

#include "platform/classlib/Button.h"
#include "platform/classlib/Edit.h"

#include <string>

namespace vq {

class TkBrowseEditBase;

// The "..." button beside a browse edit; a click opens the edit's picker.
class TkBrowseButton : public CButton {
    VQ_DECLARE_RUNTIME_CLASS(TkBrowseButton)
public:
    TkBrowseButton(TkBrowseEditBase* edit, UINT id) : m_edit(edit), m_id(id) {}
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The edit forgets a button whose window is gone.
    void Forget() { m_edit = nullptr; }

protected:
    // The button lives exactly as long as its window, which the dialog may destroy on its own.
    void PostNcDestroy() override;

private:
    TkBrowseEditBase* m_edit;
    UINT m_id;
};

// A dialog's edit with a "..." button at its right end that opens a picker and puts the choice
// into the field.
class TkBrowseEditBase : public CEdit {
    VQ_DECLARE_RUNTIME_CLASS(TkBrowseEditBase)
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Button ids are searched downward from here for one the dialog does not use.
    static constexpr UINT firstButtonId = 0x7FFF;
    // The edit gives up this much of its width; the button takes all of it but a one-pixel gap.
    static constexpr std::int32_t buttonSpace = 26;
    static constexpr std::int32_t buttonWidth = 25;

    TkBrowseEditBase() = default;
    ~TkBrowseEditBase() override;

    // Takes over the dialog's edit and puts the button beside it; false when the edit cannot be
    // taken over.
    BOOL Initialize(UINT id, CWnd* dialog);
    virtual void OnBrowse() = 0;

    TkBrowseButton* GetBrowseButton() const { return m_button; }
    void SetTitle(const std::string& title) { m_title = title; }
    const std::string& GetTitle() const { return m_title; }

    void ButtonGone() { m_button = nullptr; }

protected:
    LRESULT OnEnable(WPARAM enable, LPARAM);
    LRESULT OnShowWindow(WPARAM show, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    std::string m_title;

private:
    void CreateButton(CWnd* dialog, BOOL enabled);

    TkBrowseButton* m_button = nullptr;
};

} // namespace vq
