#pragma once

#include "toolkit/controls/TkOwnerDrawButton.h"
#include "toolkit/controls/TkPopupColorWell.h"

#include <memory>

namespace vq {

// A push button showing its colour as a swatch beside a drop-down arrow; a click drops a colour
// well down under it, and the pick becomes the button's colour and goes to its parent.
class TkWellButton : public TkOwnerDrawButton {
    VQ_DECLARE_RUNTIME_CLASS(TkWellButton)
    VQ_DECLARE_MESSAGE_MAP()
public:
    TkWellButton();
    ~TkWellButton() override;

    COLORREF GetColor() const;
    void SetColor(COLORREF colour);
    void SetUsePalette(BOOL on) { m_usePalette = on; }
    BOOL GetUsePalette() const { return m_usePalette; }
    void SetOtherButton(BOOL on) { m_otherButton = on; }
    BOOL GetOtherButton() const { return m_otherButton; }
    // The button takes the popup over, replacing the one it had.
    void SetPopup(std::unique_ptr<TkPopupColorWell> popup);
    TkPopupColorWell* GetPopup() const { return m_popup.get(); }

    void OnClicked() override;
    void PreDraw(HDC screen, HDC memory) override;
    void PostDraw(HDC screen, HDC memory) override;
    void DrawFocusRect(HDC dc, const RECT& rect) override;
    void DrawContent(HDC dc, const DRAWITEMSTRUCT* item, const RECT& content) override;
    virtual void CreateButtonPalette();
    virtual void DropDown();
    virtual void SetColorDialogFlags(DWORD flags) { m_dialogFlags = flags; }
    virtual DWORD GetColorDialogFlags() const { return m_dialogFlags; }

protected:
    LRESULT OnColorSelected(WPARAM, LPARAM colour);
    LRESULT OnColorOther(WPARAM, LPARAM);

private:
    std::unique_ptr<TkPopupColorWell> m_popup;
    HPALETTE m_palette = nullptr;
    HPALETTE m_oldScreenPalette = nullptr;
    HPALETTE m_oldMemoryPalette = nullptr;
    BOOL m_usePalette = FALSE;
    BOOL m_otherButton = TRUE;
    DWORD m_dialogFlags = 3;
};

void DDX_WellButton(CDataExchange* exchange, TkWellButton& button, COLORREF& colour);

} // namespace vq
