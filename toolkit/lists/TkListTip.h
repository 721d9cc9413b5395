#pragma once

#include "platform/classlib/Wnd.h"
#include "toolkit/lists/TkListClient.h"

#include <string>

namespace vq {

// The small borderless pop-up that shows the whole text of a label its cell or the window's edge
// cuts off. It knows the list only through its TkListClient. While it shows, the list holds the
// mouse capture, so the list hears the pointer leave the label and can hide it.
class TkListTip : public CWnd {
public:
    explicit TkListTip(TkListClient* owner) : owner_(owner) {}
    ~TkListTip() override;

    // TRUE when the tip shows the cell under the point (or already showed it). `flags` are the
    // list's hit-test flags for the point.
    BOOL Show(UINT flags, std::int32_t item, std::int32_t column, std::int32_t x, std::int32_t y);
    void Hide();
    // Repaints a tip that shows, at once.
    void Refresh();

    std::int32_t ShownItem() const { return item_; }
    std::int32_t ShownSubItem() const { return subItem_; }
    const std::string& ShownText() const { return text_; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool MakeWindow();
    void Paint();
    void ReleaseOwnerCapture();

    TkListClient* owner_;
    std::int32_t item_ = -1;
    std::int32_t subItem_ = -1;
    std::string text_;
    // The shown cell in the owner's client coordinates, repainted when the tip goes.
    RECT cell_{};
    bool captured_ = false;
};

} // namespace vq
