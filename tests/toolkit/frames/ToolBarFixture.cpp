#include "ToolBarFixture.h"

namespace vq::test {

VQ_BEGIN_MESSAGE_MAP(ToolBarFrame, DockingFrame)
VQ_ON_COMMAND_RANGE(ID_TB_BLACK, ID_TB_NOIMAGE, OnToolCommand)
VQ_ON_UPDATE_COMMAND_UI(ID_TB_LINE, OnUpdateLine)
VQ_END_MESSAGE_MAP()

BOOL ToolBarFrame::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND || message == WM_SETMESSAGESTRING || message == WM_NOTIFY) {
        Seen s{message, wParam, TkCustomToolBar::IsCommandInProgress()};
        if (message == WM_NOTIFY) {
            const auto* notify = reinterpret_cast<const TkToolBarNotify*>(lParam);
            s.code = notify->hdr.code;
            s.item = notify->iItem;
            s.index = notify->nIndex;
        }
        seen.push_back(s);
    }
    return DockingFrame::OnWndMsg(message, wParam, lParam, result);
}

std::vector<ToolBarFrame::Seen> ToolBarFrame::Of(UINT message) const {
    std::vector<Seen> out;
    for (const Seen& s : seen)
        if (s.message == message) out.push_back(s);
    return out;
}

void ToolBarTest::SetUp() {
    SetMonotonicClock(&clock);
    frame = std::make_unique<ToolBarFrame>();
    ASSERT_TRUE(
        frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, RECT{0, 0, 640, 480}, nullptr, 0));
    frame->m_pFloatingFrameClass = &TkMiniDockFrameWnd::Class();
    frame->EnableDocking(CBRS_ALIGN_ANY, &TkDockBar::Class());
    for (UINT id : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
        Dock(id)->SetHost(frame.get());
    CreateWindowEx(0, CWnd::WindowClassName(), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame->m_hWnd,
                   AFX_IDW_PANE_FIRST, nullptr);
    manager = std::make_unique<TkToolBarManager>(frame.get(), nullptr);
    ASSERT_TRUE(manager->LoadButtonImages(IDR_MAINBAR, 0));
}

void ToolBarTest::TearDown() {
    manager.reset();
    frame.reset();
    OffscreenHarness::RunUntilIdle();
    SetMonotonicClock(nullptr);
}

void ToolBarTest::AddBar(UINT id, const std::vector<UINT>& ids, UINT dockBarId, UINT after, BOOL docked,
                         BOOL visible) {
    m_ids.push_back(ids);
    manager->AddDefaultBar(id, ("Bar " + std::to_string(id)).c_str(), std::int32_t(ids.size()),
                           m_ids.back().data(), CBRS_ALIGN_ANY, dockBarId, after, docked, visible);
}

void ToolBarTest::Save(HWND window, const std::string& name) {
    const std::string path = vq::test::TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name + ".png";
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(window, path)) << path;
}

} // namespace vq::test
