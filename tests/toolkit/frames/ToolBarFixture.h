#pragma once

#include "DockingFixture.h"
#include "toolbars.h"
#include "toolkit/frames/TkCustomToolBar.h"
#include "toolkit/frames/TkToolBarManager.h"

#include <memory>
#include <vector>

namespace vq::test {

// A frame with handlers for the tool bar commands, so that their buttons stay enabled, which
// records what its bars tell it.
class ToolBarFrame : public DockingFrame {
    VQ_DECLARE_MESSAGE_MAP()
public:
    struct Seen {
        UINT message = 0;
        WPARAM wParam = 0;
        // Set when the message arrived while a bar was still posting or notifying: it was sent.
        BOOL duringCommand = FALSE;
        UINT code = 0;
        std::int32_t item = 0;
        std::int32_t index = 0;
    };
    std::vector<Seen> seen;
    // What the handler of ID_TB_LINE's state answers: -1 leaves the check alone.
    int lineCheck = -1;

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The messages of one kind, in order.
    std::vector<Seen> Of(UINT message) const;

private:
    void OnToolCommand() {}
    void OnUpdateLine(CCmdUI* state) {
        if (lineCheck >= 0) state->SetCheck(lineCheck);
    }
};

class ToolBarTest : public ::testing::Test {
protected:
    ManualMonotonicClock clock{1'000'000'000};
    std::unique_ptr<ToolBarFrame> frame;
    std::unique_ptr<TkToolBarManager> manager;

    void SetUp() override;
    void TearDown() override;

    TkDockBar* Dock(UINT id) const { return dynamic_cast<TkDockBar*>(frame->GetControlBar(id)); }
    // Bars of the manager, made through its definitions.
    void AddBar(UINT id, const std::vector<UINT>& ids, UINT dockBarId = AFX_IDW_DOCKBAR_TOP, UINT after = 0,
                BOOL docked = TRUE, BOOL visible = TRUE);
    TkCustomToolBar* Bar(UINT id) const { return manager->BarFromId(id); }
    void Layout() {
        frame->RecalcLayout();
        OffscreenHarness::RunUntilIdle();
    }
    static POINT Screen(HWND window, POINT p) {
        ClientToScreen(window, &p);
        return p;
    }
    static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
    static void Save(HWND window, const std::string& name);

private:
    std::vector<std::vector<UINT>> m_ids;
};

} // namespace vq::test
