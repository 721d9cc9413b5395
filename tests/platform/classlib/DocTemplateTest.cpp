#include "platform/classlib/DocTemplate.h"

#include "platform/classlib/DocManager.h"
#include "platform/classlib/Document.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/DialogManager.h"
#include "platform/gui/MessageBox.h"
#include "views.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

// What the test classes did, reset by each test.
struct Counts {
    int documents = 0;
    int frames = 0;
    int loadFrames = 0;
    int newDocuments = 0;
    std::vector<std::string> opened;
    bool failOpen = false;
};
Counts counts;

class TestDoc : public CDocument {
    VQ_DECLARE_RUNTIME_CLASS(TestDoc)
public:
    TestDoc() { ++counts.documents; }
    ~TestDoc() override { --counts.documents; }
    BOOL OnNewDocument() override {
        ++counts.newDocuments;
        return CDocument::OnNewDocument();
    }
    BOOL OnOpenDocument(const char* path) override {
        counts.opened.emplace_back(path);
        return !counts.failOpen && CDocument::OnOpenDocument(path);
    }
};
VQ_IMPLEMENT_DYNCREATE(TestDoc, CDocument)

class TestFrame : public CFrameWnd {
    VQ_DECLARE_RUNTIME_CLASS(TestFrame)
public:
    TestFrame() { ++counts.frames; }
    ~TestFrame() override { --counts.frames; }
    BOOL LoadFrame(UINT id, DWORD style, CWnd* parent, CCreateContext* context) override {
        ++counts.loadFrames;
        return CFrameWnd::LoadFrame(id, style | WS_POPUP, parent, context);
    }
};
VQ_IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)

class TestView : public CView {
    VQ_DECLARE_RUNTIME_CLASS(TestView)
public:
    int initialUpdates = 0;
    int updates = 0;
    void OnInitialUpdate() override { ++initialUpdates; }
    void OnUpdate(CView*, LPARAM, Object*) override { ++updates; }
};
VQ_IMPLEMENT_DYNCREATE(TestView, CView)

class AnsweringBox : public MessageBoxProvider {
public:
    int answer = IDNO;
    int asked = 0;
    std::string text;
    int Show(HWND, const std::string& shown, const std::string&, UINT) override {
        ++asked;
        text = shown;
        return answer;
    }
};

class DocTemplateTest : public ::testing::Test {
protected:
    void SetUp() override {
        counts = {};
        auto made = std::make_unique<CMultiDocTemplate>(IDR_DEVICE, &TestDoc::Class(), &TestFrame::Class(),
                                                        &TestView::Class());
        docTemplate = made.get();
        app.AddDocTemplate(std::move(made));
    }

    static TestView* ViewOf(CDocument* document) {
        return document && document->GetViews().size() == 1 ? dynamic_cast<TestView*>(document->GetViews()[0])
                                                            : nullptr;
    }

    CWinApp app;
    CMultiDocTemplate* docTemplate = nullptr;
};

TEST_F(DocTemplateTest, OpeningMakesOneDocumentFrameAndViewAndUpdatesThemOnce) {
    CDocument* document = docTemplate->OpenDocumentFile("/data/a", TRUE);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(counts.opened, (std::vector<std::string>{"/data/a"}));
    EXPECT_EQ(document->GetPathName(), "/data/a");
    EXPECT_EQ(document->GetTitle(), "a");
    EXPECT_EQ(document->GetDocTemplate(), docTemplate);
    EXPECT_EQ(docTemplate->GetDocuments(), (std::vector<CDocument*>{document}));
    EXPECT_EQ(counts.frames, 1);
    EXPECT_EQ(counts.loadFrames, 1);
    TestView* view = ViewOf(document);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->initialUpdates, 1);
    CFrameWnd* frame = view->GetParentFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsWindowVisible(frame->m_hWnd));
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(frame->GetWindowText(), "Devices - a");

    // An empty path makes a new, untitled document; FALSE leaves its frame hidden.
    CDocument* fresh = app.m_pDocManager->OpenDocumentFile("");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(counts.newDocuments, 1);
    EXPECT_EQ(fresh->GetTitle(), "Device1");
    CDocument* hidden = docTemplate->OpenDocumentFile(nullptr, FALSE);
    ASSERT_NE(hidden, nullptr);
    EXPECT_EQ(hidden->GetTitle(), "Device2");
    EXPECT_FALSE(IsWindowVisible(ViewOf(hidden)->GetParentFrame()->m_hWnd));
    EXPECT_EQ(ViewOf(hidden)->initialUpdates, 1);
    EXPECT_EQ(app.m_pDocManager->GetOpenDocumentCount(), 3);

    app.m_pDocManager->CloseAllDocuments(FALSE);
    EXPECT_EQ(counts.documents, 0);
    EXPECT_EQ(counts.frames, 0);
}

TEST_F(DocTemplateTest, AFailingOpenLeavesNeitherDocumentNorFrame) {
    counts.failOpen = true;
    EXPECT_EQ(docTemplate->OpenDocumentFile("missing", TRUE), nullptr);
    EXPECT_EQ(counts.opened, (std::vector<std::string>{"missing"}));
    EXPECT_TRUE(docTemplate->GetDocuments().empty());
    EXPECT_EQ(counts.documents, 0);
    EXPECT_EQ(counts.frames, 0);

    // A template whose frame class makes no frame fails the same way.
    CMultiDocTemplate frameless(IDR_DEVICE, &TestDoc::Class(), &TestDoc::Class(), &TestView::Class());
    counts.failOpen = false;
    EXPECT_EQ(frameless.OpenDocumentFile("b"), nullptr);
    EXPECT_TRUE(frameless.GetDocuments().empty());
    EXPECT_EQ(counts.documents, 0);
}

TEST_F(DocTemplateTest, StepByStepDocumentsWithoutFramesAndFramesWithoutDocuments) {
    // A document opened without a window is listed until it closes, which frees it.
    CDocument* document = docTemplate->CreateNewDocument();
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(document->OnOpenDocument("log"));
    EXPECT_EQ(docTemplate->GetDocuments().size(), 1u);
    document->OnCloseDocument();
    EXPECT_TRUE(docTemplate->GetDocuments().empty());
    EXPECT_EQ(counts.documents, 0);

    // A frame without a document has its view and its one initial update.
    CFrameWnd* frame = docTemplate->CreateNewFrame(nullptr, nullptr);
    ASSERT_NE(frame, nullptr);
    docTemplate->InitialUpdateFrame(frame, nullptr, TRUE);
    auto* view = dynamic_cast<TestView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetDocument(), nullptr);
    EXPECT_EQ(view->initialUpdates, 1);
    frame->DestroyWindow();
    EXPECT_EQ(counts.frames, 0);
}

TEST_F(DocTemplateTest, UpdatesReachEveryViewButTheSenderAndTheLastFrameClosesTheDocument) {
    CDocument* document = docTemplate->OpenDocumentFile("a");
    ASSERT_NE(document, nullptr);
    CFrameWnd* first = document->GetViews()[0]->GetParentFrame();
    CFrameWnd* second = docTemplate->CreateNewFrame(document, first);
    ASSERT_NE(second, nullptr);
    docTemplate->InitialUpdateFrame(second, document, TRUE);
    ASSERT_EQ(document->GetViews().size(), 2u);
    auto* one = dynamic_cast<TestView*>(document->GetViews()[0]);
    auto* two = dynamic_cast<TestView*>(document->GetViews()[1]);
    document->UpdateAllViews(one);
    EXPECT_EQ(one->updates, 0);
    EXPECT_EQ(two->updates, 1);
    document->UpdateAllViews(nullptr);
    EXPECT_EQ(one->updates, 1);
    EXPECT_EQ(two->updates, 2);

    // A modified document is asked about only when its last frame closes; the user may keep it.
    AnsweringBox box;
    MessageBoxProvider* previous = SetMessageBoxProvider(&box);
    document->SetModifiedFlag();
    SendMessage(first->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(box.asked, 0);
    EXPECT_EQ(counts.frames, 1);
    box.answer = IDCANCEL;
    SendMessage(second->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(box.asked, 1);
    EXPECT_EQ(box.text, "Save changes to a?");
    EXPECT_EQ(counts.frames, 1);
    EXPECT_EQ(counts.documents, 1);
    box.answer = IDNO;
    SendMessage(second->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(counts.frames, 0);
    EXPECT_EQ(counts.documents, 0);
    EXPECT_TRUE(docTemplate->GetDocuments().empty());
    SetMessageBoxProvider(previous);
}

TEST(DocStrings, FieldsSplitAtLineBreaksAndMissingOnesAreEmpty) {
    CMultiDocTemplate full(IDR_DEVICE, &TestDoc::Class(), &TestFrame::Class(), &TestView::Class());
    CMultiDocTemplate brief(IDR_SHORT, &TestDoc::Class(), &TestFrame::Class(), &TestView::Class());
    CMultiDocTemplate none(IDR_PLAIN, &TestDoc::Class(), &TestFrame::Class(), &TestView::Class());
    const struct {
        CDocTemplate::DocStringIndex index;
        const char* full;
        const char* brief;
    } cases[] = {
        {CDocTemplate::windowTitle, "Devices", "Short"},
        {CDocTemplate::docName, "Device", "Short"},
        {CDocTemplate::fileNewName, "Device display", ""},
        {CDocTemplate::filterName, "Device files (*.dev)", ""},
        {CDocTemplate::filterExt, ".dev", ""},
        {CDocTemplate::regFileTypeId, "Vorquel.Device", ""},
        {CDocTemplate::regFileTypeName, "Device Display", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        std::string text = "stale";
        EXPECT_EQ(full.GetDocString(text, c.index), TRUE);
        EXPECT_EQ(text, c.full);
        EXPECT_EQ(brief.GetDocString(text, c.index), *c.brief != 0);
        EXPECT_EQ(text, c.brief);
        EXPECT_FALSE(none.GetDocString(text, c.index));
        EXPECT_EQ(text, "");
    }
    EXPECT_EQ(CDocTemplate::DocStringField("a\n\nc", 1), "");
    EXPECT_EQ(CDocTemplate::DocStringField("a\n\nc", 2), "c");
    EXPECT_EQ(CDocTemplate::DocStringField("a\n\nc", 3), "");
}

} // namespace
} // namespace vq
