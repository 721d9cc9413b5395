#include "platform/gui/Menu.h"
#include "platform/gui/SystemColours.h"
#include "tests/toolkit/frames/MdiFrameFixture.h"
#include "toolkit/frames/TkWorkbook.h"

namespace vq::test {
namespace {

constexpr UINT ID_TOGGLE_TABS = 32941;

class Sheet : public TkWorksheet {
    VQ_DECLARE_RUNTIME_CLASS(Sheet)
};
VQ_IMPLEMENT_DYNCREATE(Sheet, TkWorksheet)

class Workbook : public TkWorkbook {
    VQ_DECLARE_MESSAGE_MAP()
public:
    BOOL allowActivation = TRUE;
    BOOL CanActivateSheet(TkWorksheet*) override { return allowActivation; }
};
VQ_BEGIN_MESSAGE_MAP(Workbook, TkWorkbook)
VQ_ON_COMMAND(ID_TOGGLE_TABS, OnToggleTabs)
VQ_ON_UPDATE_COMMAND_UI(ID_TOGGLE_TABS, OnUpdateToggleTabs)
VQ_END_MESSAGE_MAP()

struct CheckSpy : CCmdUI {
    int check = -1;
    void SetCheck(int value) override { check = value; }
};

class WorkbookTest : public ::testing::Test {
protected:
    MdiApp app;
    Workbook* frame = nullptr;
    CMultiDocTemplate* docTemplate = nullptr;
    std::vector<std::unique_ptr<SpyBar>> bars;

    void SetUp() override {
        auto made = std::make_unique<CMultiDocTemplate>(IDR_DOC, &MdiDoc::Class(), &Sheet::Class(),
                                                        &MdiView::Class());
        docTemplate = made.get();
        app.AddDocTemplate(std::move(made));
        frame = new Workbook;
        frame->m_bAutoDelete = TRUE;
        app.m_pMainWnd = frame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAIN, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        // The MDI client starts 800 pixels wide.
        RECT outer{0, 0, 800, 500};
        AdjustWindowRectEx(&outer, frame->GetStyle(), GetMenu(frame->m_hWnd) != nullptr, 0);
        SetWindowPos(frame->m_hWnd, 0, 50, 50, outer.Width(), outer.Height(), SWP_NOZORDER);
        ShowWindow(frame->m_hWnd, SW_SHOW);
        frame->EnableDocking(CBRS_ALIGN_ANY);
        frame->RecalcLayout();
        OffscreenHarness::RunUntilIdle();
    }

    void TearDown() override {
        if (frame && IsWindow(frame->m_hWnd)) {
            app.m_pDocManager->CloseAllDocuments(FALSE);
            frame->DestroyWindow();
        }
        bars.clear();
        OffscreenHarness::RunUntilIdle();
    }

    Sheet* NewSheet(const char* title = nullptr) {
        CDocument* document = docTemplate->OpenDocumentFile(nullptr);
        if (title) document->SetTitle(title);
        OffscreenHarness::RunUntilIdle();
        return dynamic_cast<Sheet*>(document->GetViews()[0]->GetParentFrame());
    }

    RECT Client() const {
        RECT r;
        GetWindowRect(frame->m_hWndMDIClient, &r);
        MapWindowPoints(0, frame->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // A frame client point in the frame's window coordinates, for its pixels.
    POINT InWindow(POINT client) const {
        RECT window;
        GetWindowRect(frame->m_hWnd, &window);
        ClientToScreen(frame->m_hWnd, &client);
        return {client.x - window.left, client.y - window.top};
    }
    COLORREF FramePixel(int x, int y) const {
        const POINT p = InWindow({x, y});
        return OffscreenHarness::Pixel(frame->m_hWnd, p.x, p.y);
    }
    // What the user sees there, children included.
    COLORREF SeenPixel(int x, int y) const {
        const POINT p = InWindow({x, y});
        const QRgb c = OffscreenHarness::Composite(frame->m_hWnd).pixel(p.x, p.y);
        return RGB(qRed(c), qGreen(c), qBlue(c));
    }
    POINT ToScreen(POINT client) const {
        ClientToScreen(frame->m_hWnd, &client);
        return client;
    }
    RECT UpdateArea() const {
        RECT r{};
        GetUpdateRect(frame->m_hWnd, &r, FALSE);
        return r;
    }
    void SaveShot(const char* name) {
        OffscreenHarness::RunUntilIdle();
        EXPECT_TRUE(
            OffscreenHarness::SaveScreenshot(frame->m_hWnd, TestPath("VQ_TEST_OUTPUT_DIR") + "/" + name));
    }
};

TEST_F(WorkbookTest, TabWidthsAndPolygonsFollowTheClientAndSkipHiddenSheets) {
    ASSERT_EQ(Client().Width(), 800);
    Sheet* first = NewSheet();
    EXPECT_EQ(frame->m_nTabWidth, 90);
    std::vector<Sheet*> sheets{first};
    for (int i = 1; i < 9; ++i)
        sheets.push_back(NewSheet());
    EXPECT_EQ(frame->m_nTabWidth, 89);
    for (int i = 8; i >= 4; --i)
        sheets[std::size_t(i)]->MDIDestroy();
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(frame->GetSheetCount(), 4);
    EXPECT_EQ(frame->m_nTabWidth, 90);

    // Sheet 3 is active, sheet 1 pressed, sheet 2 neither.
    sheets[3]->MDIActivate();
    sheets[1]->m_bPressed = TRUE;
    const RECT c = Client();
    const int l = c.left, b = c.bottom;
    using P = TkTabPolygon;
    struct Case {
        int sheet;
        P points;
    };
    const Case cases[] = {
        {2, P{{{l + 180, b + 4},
               {l + 180, b + 25},
               {l + 182, b + 27},
               {l + 268, b + 27},
               {l + 270, b + 25},
               {l + 270, b + 4},
               {l + 180, b + 4}}}},
        {3, P{{{l + 268, b + 4},
               {l + 268, b + 25},
               {l + 270, b + 29},
               {l + 360, b + 29},
               {l + 362, b + 25},
               {l + 362, b + 4},
               {l + 268, b + 4}}}},
        {1, P{{{l + 88, b + 4},
               {l + 88, b + 25},
               {l + 90, b + 29},
               {l + 180, b + 29},
               {l + 182, b + 25},
               {l + 182, b + 4},
               {l + 88, b + 4}}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.sheet);
        const P got = frame->GetTabPolygon(sheets[std::size_t(k.sheet)]);
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], k.points[i]) << "P" << i;
    }
    sheets[1]->m_bPressed = FALSE;

    // A hidden sheet has no tab: the ones after it move left by one width.
    ShowWindow(sheets[1]->m_hWnd, SW_HIDE);
    EXPECT_EQ(frame->GetTabPolygon(sheets[2])[0].x, l + 90);
    EXPECT_EQ(frame->GetTabPolygon(sheets[3])[0].x, l + 180 - 2);
}

TEST_F(WorkbookTest, TitlesShortenByWholeCharactersAndOnlyShortenedOnesHaveTips) {
    HDC dc = GetDC(frame->m_hWnd);
    SelectObject(dc, frame->m_hTabFont);
    auto width = [&](const char* text) {
        SIZE size{};
        GetTextExtentPoint32(dc, text, int(std::strlen(text)), &size);
        return int(size.cx);
    };
    struct Case {
        const char* title;
        int width;
        const char* shown;
    };
    const Case cases[] = {
        {"ABC", 1, "ABC"},
        {"ABCDEFGHIJ", width("ABCDE..."), "ABCDE..."},
        {"ABCDEFGHIJ", width("ABCDEFGHIJ"), "ABCDEFGHIJ"},
        {"WWWW", 1, "..."},
        {"\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA4\xC3\xB6\xC3\xBC", width("\xC3\x84\xC3\x96\xC3\x9C..."),
         "\xC3\x84\xC3\x96\xC3\x9C..."},
        {"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC",
         width("\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC..."), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(TkWorkbook::FitTabTitle(dc, c.title, c.width), c.shown);
    }
    ReleaseDC(frame->m_hWnd, dc);

    Sheet* fits = NewSheet("Short");
    Sheet* cut = NewSheet("A title far too long for any tab");
    frame->ShowTabs(TRUE);
    OffscreenHarness::RunUntilIdle();
    const auto middle = [&](const TkWorksheet* sheet) {
        const TkTabPolygon p = frame->GetTabPolygon(sheet);
        return POINT{(p[0].x + p[5].x) / 2, (p[0].y + p[1].y) / 2};
    };
    ToolHit hit;
    EXPECT_EQ(frame->OnToolHitTest(middle(fits), &hit), -1);
    EXPECT_EQ(frame->OnToolHitTest(middle(cut), &hit), 2);
    EXPECT_EQ(hit.info.uId, 2u);
    EXPECT_EQ(hit.info.hwnd, frame->m_hWnd);
    EXPECT_EQ(hit.text, "A title far too long for any tab");
    EXPECT_EQ(frame->OnToolHitTest(POINT{1, 1}, &hit), -1);
    // A hidden sheet still answers for where its tab would be.
    ShowWindow(cut->m_hWnd, SW_HIDE);
    EXPECT_EQ(frame->OnToolHitTest(middle(cut), nullptr), 2);
}

TEST_F(WorkbookTest, TabsDrawAroundTheClientWithTheActiveOneOnTop) {
    Sheet* sheets[4];
    sheets[0] = NewSheet("Segment A");
    sheets[1] = NewSheet("Hidden");
    sheets[2] = NewSheet("Backbone switches");
    sheets[3] = NewSheet("Printers");
    ShowWindow(sheets[1]->m_hWnd, SW_HIDE);
    // The sheets keep to the client's top right, away from where the tabs were.
    for (Sheet* sheet : sheets)
        SetWindowPos(sheet->m_hWnd, 0, 560, 0, 200, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    sheets[2]->MDIActivate();
    frame->ShowTabs(TRUE);
    OffscreenHarness::RunUntilIdle();
    SaveShot("workbook_tabs.png");

    const RECT c = Client();
    const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), black = RGB(0, 0, 0);
    const TkTabPolygon first = frame->GetTabPolygon(sheets[0]);
    const TkTabPolygon active = frame->GetTabPolygon(sheets[2]);
    const TkTabPolygon last = frame->GetTabPolygon(sheets[3]);
    const int y = first[0].y + 8;
    struct Probe {
        const char* what;
        int x;
        int y;
        COLORREF colour;
    };
    const Probe probes[] = {
        {"first tab's highlight edge", first[0].x, y, highlight},
        {"first tab's face", first[0].x + 1, y, face},
        {"last tab's shadow edge", last[5].x - 2, y, shadow},
        {"last tab's black edge", last[5].x - 1, y, black},
        {"first tab's black bottom", first[2].x + 20, first[2].y - 1, black},
        {"first tab's shadow bottom", first[2].x + 20, first[2].y - 2, shadow},
        // The active tab lies over the first tab's right edge and the last tab's left edge.
        {"active tab over its left neighbour", active[0].x, y, highlight},
        {"active tab's shadow over its right neighbour", last[0].x, y, shadow},
        {"active tab's black over its right neighbour", last[0].x + 1, y, black},
        {"active tab's deeper black bottom", active[2].x + 20, active[2].y - 1, black},
        {"border shadow below the client", c.left + 40, c.bottom + 4, shadow},
        {"border highlight left of the client", c.left - 5, c.top + 40, highlight},
        {"border black right of the client", c.right + 5, c.top + 40, black},
        {"double line's shadow", c.left + 40, c.top - 13, shadow},
        {"double line's highlight", c.left + 40, c.top - 12, highlight},
        {"area face", c.left - 9, c.top + 40, face},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(FramePixel(p.x, p.y), p.colour) << p.what;
    // The hidden sheet's tab is nowhere: the printers' tab follows the active one directly.
    EXPECT_EQ(last[0].x, c.left + 2 * frame->m_nTabWidth);

    frame->ShowTabs(FALSE);
    OffscreenHarness::RunUntilIdle();
    SaveShot("workbook_tabs_off.png");
    RECT rest;
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rest);
    EXPECT_EQ(Client(), rest);
    const COLORREF workspace = GetSysColor(COLOR_APPWORKSPACE);
    for (POINT p :
         {POINT{first[0].x + 1, y}, POINT{active[2].x + 20, active[2].y - 1}, POINT{c.left + 40, c.top - 8}})
        EXPECT_EQ(SeenPixel(p.x, p.y), workspace) << p.x << "," << p.y;
}

TEST_F(WorkbookTest, APressOnATabActivatesItsSheetOnlyWhenAllowed) {
    Sheet* one = NewSheet("One");
    Sheet* two = NewSheet("Two");
    frame->ShowTabs(TRUE);
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(frame->MDIGetActive(), two);
    // Presses far enough apart that none of them makes a double click.
    int press = 0;
    const auto tabPoint = [&](const TkWorksheet* sheet) {
        const TkTabPolygon p = frame->GetTabPolygon(sheet);
        return ToScreen({(p[0].x + p[5].x) / 2, p[0].y + 6 + 10 * (press % 2)});
    };

    frame->allowActivation = FALSE;
    OffscreenHarness::MousePress(tabPoint(one));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(frame->MDIGetActive(), two);
    EXPECT_FALSE(one->m_bPressed);
    OffscreenHarness::MouseRelease(tabPoint(one));
    OffscreenHarness::RunUntilIdle();
    ++press;

    frame->allowActivation = TRUE;
    const TkTabPolygon before = frame->GetTabPolygon(one);
    OffscreenHarness::MousePress(tabPoint(one));
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(one->m_bPressed);
    EXPECT_EQ(frame->MDIGetActive(), one);
    // Drawn pressed: deeper than before, with its black bottom line.
    EXPECT_EQ(FramePixel(before[2].x + 20, before[2].y + 1), RGB(0, 0, 0));
    OffscreenHarness::MouseRelease(tabPoint(one));
    OffscreenHarness::RunUntilIdle();
    ++press;
    EXPECT_FALSE(one->m_bPressed);

    // The active sheet's own tab changes nothing.
    OffscreenHarness::MousePress(tabPoint(one));
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(one->m_bPressed);
    OffscreenHarness::MouseRelease(tabPoint(one));
    OffscreenHarness::RunUntilIdle();
    ++press;
    EXPECT_EQ(frame->MDIGetActive(), one);
}

TEST_F(WorkbookTest, ShowTabsSetsTheMarginsAndSheetsInvalidateTheirTabs) {
    CheckSpy ui;
    ui.m_nID = ID_TOGGLE_TABS;
    ui.DoUpdate(frame, FALSE);
    EXPECT_EQ(ui.check, 0);
    frame->SendMessage(WM_COMMAND, ID_TOGGLE_TABS, 0);
    ASSERT_TRUE(frame->m_bShowTabs);
    ui.DoUpdate(frame, FALSE);
    EXPECT_EQ(ui.check, 1);
    const TkWorkbookClient* client = frame->m_pClient.get();
    ASSERT_NE(client, nullptr);
    EXPECT_EQ((std::array{client->m_nLeftMargin, client->m_nTopMargin, client->m_nRightMargin,
                          client->m_nBottomMargin}),
              (std::array{13, 13, 13, 33}));
    RECT rest;
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &rest);
    EXPECT_EQ(Client(), (RECT{rest.left + 13, rest.top + 13, rest.right - 13, rest.bottom - 33}));
    RECT area;
    frame->GetTabAreaRect(&area);
    EXPECT_EQ(area, rest);

    Sheet* one = NewSheet();
    Sheet* two = NewSheet();
    Sheet* three = NewSheet();
    const RECT c = Client();
    const int w = frame->m_nTabWidth;
    ValidateRect(frame->m_hWnd, nullptr);
    frame->RemoveSheet(two);
    RECT frameClient;
    GetClientRect(frame->m_hWnd, &frameClient);
    EXPECT_EQ(UpdateArea(), (RECT{c.left + w - 2, c.bottom + 4, frameClient.right, c.bottom + 31}));
    EXPECT_EQ(three->m_nTabIndex, 1);
    ValidateRect(frame->m_hWnd, nullptr);
    frame->AddSheet(two);
    EXPECT_EQ(UpdateArea(), (RECT{c.left + 2 * w - 2, c.bottom + 4, c.left + 3 * w + 2, c.bottom + 31}));
    EXPECT_EQ(two->m_nTabIndex, 2);

    // The last sheet gone, the whole frame is drawn anew.
    frame->RemoveSheet(two);
    frame->RemoveSheet(three);
    ValidateRect(frame->m_hWnd, nullptr);
    frame->RemoveSheet(one);
    EXPECT_EQ(UpdateArea(), frameClient);
    for (Sheet* s : {one, two, three})
        frame->AddSheet(s);

    frame->SendMessage(WM_COMMAND, ID_TOGGLE_TABS, 0);
    EXPECT_EQ(client->m_nBottomMargin, 0);
    EXPECT_EQ(Client(), rest);
    ui.DoUpdate(frame, FALSE);
    EXPECT_EQ(ui.check, 0);
}

TEST_F(WorkbookTest, TheClientPassesRealMenusOnAndAlwaysHasTheTabsRefreshed) {
    Sheet* one = NewSheet();
    Sheet* two = NewSheet();
    one->MDIActivate();
    HMENU before = GetMenu(frame->m_hWnd);
    frame->m_nLastActive = 5;
    EXPECT_EQ(::vq::SendMessage(frame->m_hWndMDIClient, WM_TK_SHEETMENU, WPARAM(-1), LPARAM(-1)), 0);
    EXPECT_EQ(GetMenu(frame->m_hWnd), before);
    EXPECT_EQ(frame->m_nLastActive, 0);
    two->MDIActivate();
    EXPECT_EQ(frame->m_nLastActive, 1);
    HMENU other = CreatePopupMenu();
    ::vq::SendMessage(frame->m_hWndMDIClient, WM_MDISETMENU, WPARAM(other), 0);
    EXPECT_EQ(GetMenu(frame->m_hWnd), other);
    ::vq::SendMessage(frame->m_hWndMDIClient, WM_MDISETMENU, WPARAM(before), 0);
    DestroyMenu(other);
}

TEST_F(WorkbookTest, DestroyingTheFrameWithSheetsOpenGoesCleanly) {
    NewSheet("One");
    NewSheet("Two");
    frame->ShowTabs(TRUE);
    OffscreenHarness::RunUntilIdle();
    // The client goes with the frame's WM_DESTROY, before the sheets unregister.
    const HWND window = frame->m_hWnd;
    frame = nullptr;
    DestroyWindow(window);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WorkbookTest, ABarFloatedInsideBecomesAWorksheetWithACopyOfItsIcon) {
    auto made = std::make_unique<SpyBar>();
    SpyBar* bar = made.get();
    bars.push_back(std::move(made));
    ASSERT_TRUE(bar->Create(frame, "Explorer", WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC,
                            0x0F50 | CBX_CONTEXTMENU | CBX_MDIFLOAT, 401));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    // The bar's own icon, which only the bar may destroy.
    HICON icon = CopyIcon(LoadIcon(IDR_DOC, 16, 16));
    bar->SendMessage(WM_SETICON, ICON_SMALL, LPARAM(icon));
    NewSheet("Segment A");
    frame->ShowTabs(TRUE);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        frame->FloatControlBarAsChild(bar, -1, -1, CBRS_ALIGN_TOP);
        OffscreenHarness::RunUntilIdle();
        auto* sheet = dynamic_cast<TkControlBarWorksheet*>(bar->GetParentFrame());
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(frame->FindSheet(sheet, nullptr));
        ASSERT_NE(sheet->m_hTabIcon, nullptr);
        EXPECT_NE(sheet->m_hTabIcon, icon);
        // The icon draws on its tab: not all of its square is the face colour.
        const TkTabPolygon p = frame->GetTabPolygon(sheet);
        int drawn = 0;
        for (int x = p[2].x + 1; x < p[2].x + 17; ++x)
            for (int y = p[0].y + 4; y < p[0].y + 20; ++y)
                drawn += FramePixel(x, y) != GetSysColor(COLOR_BTNFACE);
        EXPECT_GT(drawn, 20);
        if (round == 0) SaveShot("workbook_bar_sheet.png");

        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
        OffscreenHarness::RunUntilIdle();
        EXPECT_EQ(frame->GetSheetCount(), 1);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    DestroyIcon(icon);
}

} // namespace
} // namespace vq::test
