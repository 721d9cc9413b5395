#include "platform/classlib/Document.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"

#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

std::string handledBy;

// Each target handles the commands 101 up to its own highest: the view 101, the document 102,
// the frame 103 and the application 104, so the first in routing order shows itself.
class TestView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(TestView)
    VQ_DECLARE_MESSAGE_MAP()
public:
    void OnCommand101() { handledBy = "view"; }
    void OnUpdate101(CCmdUI* ui) { ui->Enable(FALSE); }
};
VQ_IMPLEMENT_DYNCREATE(TestView, CView)
VQ_BEGIN_MESSAGE_MAP(TestView, CView)
VQ_ON_COMMAND(101, OnCommand101)
VQ_ON_UPDATE_COMMAND_UI(101, OnUpdate101)
VQ_END_MESSAGE_MAP()

class DerivedView : public TestView {
    VQ_DECLARE_RUNTIME_CLASS(DerivedView)
};
VQ_IMPLEMENT_DYNCREATE(DerivedView, TestView)

class TestDocument : public CDocument {
    VQ_DECLARE_MESSAGE_MAP()
public:
    // Lives in the fixture, so it never deletes itself.
    TestDocument() { m_bAutoDelete = FALSE; }
    void OnCommand() { handledBy = "document"; }
};
VQ_BEGIN_MESSAGE_MAP(TestDocument, CDocument)
VQ_ON_COMMAND_RANGE(101, 102, OnCommand)
VQ_END_MESSAGE_MAP()

class TestFrame : public CFrameWnd {
    VQ_DECLARE_MESSAGE_MAP()
public:
    void OnCommand() { handledBy = "frame"; }
};
VQ_BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
VQ_ON_COMMAND_RANGE(101, 103, OnCommand)
VQ_END_MESSAGE_MAP()

class TestApp : public CWinApp {
    VQ_DECLARE_MESSAGE_MAP()
public:
    void OnCommand() { handledBy = "application"; }
};
VQ_BEGIN_MESSAGE_MAP(TestApp, CWinApp)
VQ_ON_COMMAND_RANGE(101, 104, OnCommand)
VQ_END_MESSAGE_MAP()

// The state a command-update asked for.
class RecordingCmdUI : public CCmdUI {
public:
    int enabled = -1;
    void Enable(BOOL enable) override {
        CCmdUI::Enable(enable);
        enabled = enable;
    }
};

class CommandRouting : public ::testing::Test {
protected:
    void SetUp() override {
        handledBy.clear();
        ASSERT_TRUE(frame.Create(nullptr, "Frame", WS_OVERLAPPED, RECT{0, 0, 300, 200}, nullptr, 0));
        const CCreateContext context{&TestView::Class(), &document};
        view = frame.CreateView(context, 1);
        ASSERT_NE(view, nullptr);
        frame.SetActiveView(view);
    }

    TestApp app;
    TestDocument document;
    TestFrame frame;
    CView* view = nullptr;
};

TEST_F(CommandRouting, AMenuCommandGoesToViewDocumentFrameThenApplication) {
    const struct {
        UINT id;
        const char* target;
    } cases[] = {{101, "view"}, {102, "document"}, {103, "frame"}, {104, "application"}, {105, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        handledBy.clear();
        frame.SendMessage(WM_COMMAND, c.id, 0);
        EXPECT_EQ(handledBy, c.target);
    }
}

TEST_F(CommandRouting, CommandUpdatesDisableWhatNobodyHandles) {
    const struct {
        UINT id;
        BOOL disableIfNoHandler;
        int enabled;
    } cases[] = {{101, TRUE, FALSE}, {104, TRUE, -1}, {105, TRUE, FALSE}, {105, FALSE, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        RecordingCmdUI ui;
        ui.m_nID = c.id;
        ui.DoUpdate(&frame, c.disableIfNoHandler);
        EXPECT_EQ(ui.enabled, c.enabled);
    }
    EXPECT_EQ(handledBy, "");
}

TEST_F(CommandRouting, APopupAboutToOpenGraysWhatIsDisabledOrUnhandled) {
    HMENU menu = CreatePopupMenu();
    for (const UINT id : {101u, 104u, 105u})
        AppendMenu(menu, MF_STRING, id, "item");
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(GetMenuState(menu, 101, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
    EXPECT_EQ(GetMenuState(menu, 104, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(menu, 105, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
    DestroyMenu(menu);
}

TEST_F(CommandRouting, AReplacedClassRecordMakesTheSubclassAndTheDocumentKnowsItsViews) {
    EXPECT_TRUE(view->IsKindOf(TestView::Class()));
    EXPECT_FALSE(view->IsKindOf(DerivedView::Class()));
    const CCreateContext replaced{&DerivedView::Class(), &document};
    CView* derived = frame.CreateView(replaced, 2);
    ASSERT_NE(derived, nullptr);
    EXPECT_TRUE(derived->IsKindOf(DerivedView::Class()));
    EXPECT_EQ(derived->GetDocument(), &document);
    EXPECT_EQ(document.GetViews().size(), 2u);
    // A record that does not make a view makes nothing.
    const CCreateContext frameRecord{&CFrameWnd::Class(), &document};
    EXPECT_EQ(frame.CreateView(frameRecord, 3), nullptr);
    derived->DestroyWindow();
    EXPECT_EQ(document.GetViews().size(), 1u);
}

} // namespace
} // namespace vq
