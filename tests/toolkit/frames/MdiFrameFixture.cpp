#include "tests/toolkit/frames/MdiFrameFixture.h"

namespace vq::test {

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

VQ_IMPLEMENT_DYNCREATE(MdiDoc, CDocument)
VQ_BEGIN_MESSAGE_MAP(MdiDoc, CDocument)
VQ_ON_COMMAND(ID_CMD_DOC, OnDocCommand)
VQ_END_MESSAGE_MAP()

VQ_IMPLEMENT_DYNCREATE(MdiView, CView)
VQ_BEGIN_MESSAGE_MAP(MdiView, CView)
VQ_ON_COMMAND(ID_CMD_VIEW, OnViewCommand)
VQ_END_MESSAGE_MAP()

VQ_IMPLEMENT_DYNCREATE(MdiChild, TkMDIChildWnd)

VQ_BEGIN_MESSAGE_MAP(MdiApp, CWinApp)
VQ_ON_COMMAND(ID_CMD_APP, OnAppCommand)
VQ_END_MESSAGE_MAP()

VQ_IMPLEMENT_DYNCREATE(MdiWorkspace, TkWndPlugIn)
VQ_BEGIN_MESSAGE_MAP(MdiWorkspace, TkWndPlugIn)
VQ_ON_COMMAND(ID_CMD_WORKSPACE, OnWorkspaceCommand)
VQ_END_MESSAGE_MAP()

VQ_BEGIN_MESSAGE_MAP(MdiTestFrame, TkMDIFrameWnd)
VQ_ON_MESSAGE(WM_USER + 7, OnUser7)
VQ_ON_COMMAND(ID_CMD_FRAME, OnFrameCommand)
VQ_END_MESSAGE_MAP()

void MdiFrameTest::SetUp() {
    Log().clear();
    SpyFramePlugIn::seen.clear();
    MdiDoc::refuseClose = false;
    auto made = std::make_unique<CMultiDocTemplate>(IDR_DOC, &MdiDoc::Class(), &MdiChild::Class(), &MdiView::Class());
    docTemplate = made.get();
    app.AddDocTemplate(std::move(made));
}

void MdiFrameTest::TearDown() {
    MdiDoc::refuseClose = false;
    if (frame && IsWindow(frame->m_hWnd)) {
        app.m_pDocManager->CloseAllDocuments(FALSE);
        frame->DestroyWindow();
    }
    bars.clear();
    OffscreenHarness::RunUntilIdle();
}

void MdiFrameTest::MakeFrame(bool withMenuBar) {
    frame = new MdiTestFrame;
    frame->m_bAutoDelete = TRUE;
    frame->m_pPlugInFactory = &factory;
    if (withMenuBar) frame->m_pMenuBar = &menuBar;
    menuBar.frame = frame;
    app.m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    SetWindowPos(frame->m_hWnd, 0, 100, 100, 800, 600, SWP_NOZORDER);
    ShowWindow(frame->m_hWnd, SW_SHOW);
    frame->EnableDocking(CBRS_ALIGN_ANY);
    frame->RecalcLayout();
    OffscreenHarness::RunUntilIdle();
}

CDocument* MdiFrameTest::NewDocument() {
    CDocument* document = docTemplate->OpenDocumentFile(nullptr);
    OffscreenHarness::RunUntilIdle();
    return document;
}

MdiChild* MdiFrameTest::ChildOf(CDocument* document) const {
    if (!document || document->GetViews().empty()) return nullptr;
    return dynamic_cast<MdiChild*>(document->GetViews()[0]->GetParentFrame());
}

SpyBar* MdiFrameTest::MakeBar(UINT id, DWORD exStyle) {
    auto bar = std::make_unique<SpyBar>();
    const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC;
    EXPECT_TRUE(bar->Create(frame, ("Bar " + std::to_string(id)).c_str(), style, exStyle, id));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    bars.push_back(std::move(bar));
    return bars.back().get();
}

RECT MdiFrameTest::InClient(HWND window) const {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(0, frame->m_hWndMDIClient, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MdiFrameTest::Idle() {
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    for (CControlBar* bar : frame->m_listControlBars)
        if (bar->m_hWnd) bar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
    OffscreenHarness::RunUntilIdle();
}

void MdiFrameTest::SaveShot(HWND window, const char* name) {
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(window, TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
}

} // namespace vq::test
