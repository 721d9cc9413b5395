#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/CommonDialogs.h"

#include <array>

namespace vq {

// The colour dialog: the question in `m_cc`, whose custom colours are the dialog's own unless
// the caller points them at an array of 16.
class CColorDialog {
public:
    // A colour other than black is the one to start on.
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    virtual ~CColorDialog() = default;
    CColorDialog(const CColorDialog&) = delete;
    CColorDialog& operator=(const CColorDialog&) = delete;

    // IDOK with a colour chosen, IDCANCEL otherwise.
    virtual int DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }

    CHOOSECOLOR m_cc;

private:
    CWnd* m_parent;
    std::array<COLORREF, 16> m_custom{};
};

} // namespace vq
