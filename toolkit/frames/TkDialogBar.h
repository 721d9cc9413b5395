#pragma once

#include "toolkit/frames/TkControlBar.h"

#include <cstdint>
#include <span>

namespace vq {

// A docking bar whose contents come from a dialog template; its three sizes are the template's
// and its controls keep their proportions as it is resized.
class TkDialogBar : public TkControlBar {
    VQ_DECLARE_RUNTIME_CLASS(TkDialogBar)
public:
    TkDialogBar() = default;
    ~TkDialogBar() override;

    SIZE m_sizeDefault;
    UINT m_lpszTemplateName = 0;
    const void* m_pOccDialogInfo = nullptr;
    const void* m_lpszCreatingTemplate = nullptr;

    using TkControlBar::Create;
    BOOL Create(CFrameWnd* parent, UINT templateId, DWORD style, DWORD exStyle, UINT id);
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    void GetBarInfoEx(TkControlBarInfo* info) override;

    // Whether the dialog template resource suits a dialog bar: it must exist and, when the style
    // is asked about, be a child without WS_VISIBLE.
    static BOOL IsBarTemplate(UINT templateId, BOOL checkStyle);
    static BOOL IsBarTemplate(std::span<const unsigned char> bytes, BOOL checkStyle);
};

} // namespace vq
