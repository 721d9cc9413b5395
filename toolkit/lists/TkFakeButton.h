#pragma once

#include "platform/classlib/Wnd.h"

namespace vq {

// Follows the mouse while a picture button of a window that is no button is held: an invisible
// window over the button holds the capture, and the pressed or the normal picture is drawn at
// the button's place as the mouse goes on and off it.
class TkFakeButton : public CWnd {
public:
    // `owner`'s client rectangle `button` shows the pictures (which stay the caller's). TRUE when
    // the button was released over itself; losing the capture or WM_CANCELMODE cancels.
    BOOL Track(CWnd* owner, const RECT& button, HBITMAP normal, HBITMAP pressed);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The window of the button held now, which takes the pointer's messages; null when none.
    static HWND ActiveWindow();

private:
    void Draw();

    CWnd* m_owner = nullptr;
    RECT m_button{};
    HBITMAP m_normal = nullptr;
    HBITMAP m_pressedPicture = nullptr;
    BOOL m_pressed = FALSE;
    BOOL m_done = FALSE;
    BOOL m_released = FALSE;
};

} // namespace vq
