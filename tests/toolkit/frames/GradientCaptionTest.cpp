#include "platform/gui/Icon.h"
#include "platform/gui/SelectedBitmap.h"
#include "platform/gui/SystemColours.h"
#include "tests/toolkit/frames/MdiFrameFixture.h"

#include <set>

namespace vq::test {
namespace {

// Blue of band k from black to the active caption colour in 8.8 steps, never past the end.
int BandBlue(int k, int steps) {
    const int end = GetBValue(GetSysColor(COLOR_ACTIVECAPTION));
    return std::min(end, (k * (end * 256 / steps)) >> 8);
}

TEST(GradientCaptionFill, BandsFollowTheFixedPointStepsAndReachTheRightEdge) {
    struct Case { int width; int bands; int bandWidth; };
    for (const Case& c : {Case{40, 40, 1}, Case{600, 60, 10}, Case{605, 60, 10}}) {
        SCOPED_TRACE(c.width);
        HDC screen = GetDC(0);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, c.width + 2, 6);
        ReleaseDC(0, screen);
        {
            SelectedBitmap target(bitmap);
            HDC dc = target.Dc();
            RECT all{0, 0, c.width + 2, 6};
            FillRect(dc, &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
            TkGradientCaption::FillGradient(dc, RECT{0, 0, c.width, 4}, TkGradientCaption::kSteps, RGB(0, 0, 0),
                                            GetSysColor(COLOR_ACTIVECAPTION));
            for (int k = 0; k < c.bands; ++k) {
                const int left = k * c.bandWidth;
                const int right = k == c.bands - 1 ? c.width : left + c.bandWidth;
                for (int x : {left, right - 1})
                    EXPECT_EQ(GetPixel(dc, x, 2), RGB(0, 0, BandBlue(k, c.bands))) << "band " << k << " x " << x;
            }
            // The bands cover the rectangle to its last row and column, never further.
            EXPECT_EQ(GetPixel(dc, c.width - 1, 3), GetPixel(dc, c.width - 1, 2));
            EXPECT_EQ(GetPixel(dc, c.width, 2), RGB(255, 255, 255));
            EXPECT_EQ(GetPixel(dc, 0, 4), RGB(255, 255, 255));
        }
        DeleteObject(bitmap);
    }
}

TEST(GradientCaptionFill, AnEmptyRectangleDrawsNothing) {
    HDC screen = GetDC(0);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(0, screen);
    {
        SelectedBitmap target(bitmap);
        RECT all{0, 0, 4, 4};
        FillRect(target.Dc(), &all, HBRUSH(GetStockObject(WHITE_BRUSH)));
        TkGradientCaption::FillGradient(target.Dc(), RECT{2, 0, 2, 4}, 60, RGB(0, 0, 0), RGB(0, 0, 255));
        TkGradientCaption::FillGradient(target.Dc(), RECT{0, 2, 4, 2}, 60, RGB(0, 0, 0), RGB(0, 0, 255));
        for (int x = 0; x < 4; ++x)
            for (int y = 0; y < 4; ++y) EXPECT_EQ(GetPixel(target.Dc(), x, y), RGB(255, 255, 255));
    }
    DeleteObject(bitmap);
}

using GradientCaptionTest = MdiFrameTest;

// Colours along the caption's middle line, from the end of the icon square to its right end.
std::vector<COLORREF> CaptionLine(HWND window) {
    const RECT caption = TkGradientCaption::CaptionRect(window);
    std::vector<COLORREF> line;
    const int y = caption.top + 1;
    for (int x = caption.left + GetSystemMetrics(SM_CXSIZE); x < caption.right; ++x)
        line.push_back(OffscreenHarness::Pixel(window, x, y));
    return line;
}

bool ShowsGradient(HWND window) {
    const std::vector<COLORREF> line = CaptionLine(window);
    return !line.empty() && line.front() == RGB(0, 0, 0) &&
           line.back() == RGB(0, 0, BandBlue(59, 60)) && std::set<COLORREF>(line.begin(), line.end()).size() > 30;
}

TEST_F(GradientCaptionTest, StaysPaintedThroughTextAndActivationChanges) {
    MakeFrame(false);
    HWND window = frame->m_hWnd;
    EXPECT_EQ(frame->EnableGradientCaption(TRUE), FALSE);
    EXPECT_EQ(frame->EnableGradientCaption(TRUE), TRUE);
    OffscreenHarness::RunUntilIdle();
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    EXPECT_TRUE(ShowsGradient(window));
    SetWindowText(window, "Monitor - Segment A");
    EXPECT_TRUE(ShowsGradient(window));
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(ShowsGradient(window));
    SaveShot(window, "gradient_caption_active.png");

    // The frame is the active window, so its stay-active flag holds the caption active; a disabled
    // frame never looks active.
    frame->SendMessage(WM_NCACTIVATE, FALSE);
    EXPECT_TRUE(ShowsGradient(window));
    EnableWindow(window, FALSE);
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    OffscreenHarness::RunUntilIdle();
    const std::vector<COLORREF> inactive = CaptionLine(window);
    EXPECT_EQ(inactive.front(), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(inactive.back(), GetSysColor(COLOR_INACTIVECAPTION));
    // The title part stays white, the remainder takes the inactive caption text colour.
    const RECT caption = TkGradientCaption::CaptionRect(window);
    int white = 0, grey = 0;
    for (int x = caption.left; x < caption.right; ++x)
        for (int y = caption.top; y < caption.bottom; ++y) {
            const COLORREF c = OffscreenHarness::Pixel(window, x, y);
            white += c == RGB(255, 255, 255);
            grey += c == GetSysColor(COLOR_INACTIVECAPTIONTEXT);
        }
    EXPECT_GT(white, 20);
    EXPECT_GT(grey, 20);
    SaveShot(window, "gradient_caption_inactive.png");
    EnableWindow(window, TRUE);
}

// The first and last columns of the caption that hold white text pixels.
struct Ink { int first; int last; };
Ink InkColumns(HWND window) {
    const RECT caption = TkGradientCaption::CaptionRect(window);
    int first = -1, last = -1;
    for (int x = caption.left; x < caption.right; ++x)
        for (int y = caption.top; y < caption.bottom; ++y)
            if (OffscreenHarness::Pixel(window, x, y) == RGB(255, 255, 255)) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST_F(GradientCaptionTest, AlignmentPlacesTheTitleAndANarrowCaptionDropsTheRemainder) {
    MakeFrame(false);
    HWND window = frame->m_hWnd;
    frame->EnableGradientCaption(TRUE);
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    SetWindowText(window, "Monitor - Segment A");
    const RECT caption = TkGradientCaption::CaptionRect(window);
    const int areaLeft = caption.left + GetSystemMetrics(SM_CXSIZE);
    frame->SetCaptionAlignment(0);
    const auto left = InkColumns(window);
    EXPECT_GE(left.first, areaLeft + 3);
    EXPECT_LT(left.first, areaLeft + 8);
    frame->SetCaptionAlignment(2);
    const auto right = InkColumns(window);
    EXPECT_GT(right.last, caption.right - 6);
    EXPECT_EQ(right.last - right.first, left.last - left.first);
    frame->SetCaptionAlignment(1);
    const auto centred = InkColumns(window);
    EXPECT_NEAR(centred.first - left.first, (right.first - left.first) / 2, 3);

    // Too narrow for the title part and "W...": the remainder goes, the title part is cut short.
    frame->SetCaptionAlignment(0);
    SetWindowText(window, "Monitoring station - Segment A");
    SetWindowPos(window, 0, 0, 0, areaLeft + 3 * GetSystemMetrics(SM_CXSIZE) + 70, 300, SWP_NOMOVE | SWP_NOZORDER);
    OffscreenHarness::RunUntilIdle();
    const RECT narrow = TkGradientCaption::CaptionRect(window);
    const auto cut = InkColumns(window);
    EXPECT_GT(cut.first, 0);
    EXPECT_LT(cut.last, narrow.right);
    SaveShot(window, "gradient_caption_narrow.png");
}

TEST_F(GradientCaptionTest, NarrowedToNothingDrawsNothingAndComesBackWhenWidened) {
    MakeFrame(false);
    HWND window = frame->m_hWnd;
    frame->EnableGradientCaption(TRUE);
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    SetWindowPos(window, 0, 0, 0, 2 * GetSystemMetrics(SM_CXSIZE), 200, SWP_NOMOVE | SWP_NOZORDER);
    OffscreenHarness::RunUntilIdle();
    const RECT narrow = TkGradientCaption::CaptionRect(window);
    EXPECT_LE(narrow.right, narrow.left);
    EXPECT_EQ(frame->EnableGradientCaption(TRUE), TRUE);
    SetWindowPos(window, 0, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    OffscreenHarness::RunUntilIdle();
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    EXPECT_TRUE(ShowsGradient(window));
}

void MarkCaption(HWND window, COLORREF colour) {
    const RECT caption = TkGradientCaption::CaptionRect(window);
    HDC dc = GetWindowDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &caption, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

TEST_F(GradientCaptionTest, ANonClientPaintMissingTheCaptionLeavesItAndTheSquareShowsTheIcon) {
    MakeFrame(false);
    HWND window = frame->m_hWnd;
    frame->SendMessage(WM_SETICON, ICON_SMALL, LPARAM(LoadIcon(IDR_MAIN, 16, 16)));
    frame->EnableGradientCaption(TRUE);
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    OffscreenHarness::RunUntilIdle();
    const RECT caption = TkGradientCaption::CaptionRect(window);
    const int box = GetSystemMetrics(SM_CXSIZE);
    int iconPixels = 0;
    for (int x = caption.left; x < caption.left + box; ++x)
        for (int y = caption.top; y < caption.bottom; ++y)
            iconPixels += OffscreenHarness::Pixel(window, x, y) != RGB(0, 0, 0);
    EXPECT_GT(iconPixels, 40);
    SaveShot(window, "gradient_caption_icon.png");

    constexpr COLORREF kMarker = RGB(255, 0, 255);
    MarkCaption(window, kMarker);
    RECT w;
    GetWindowRect(window, &w);
    HRGN bottom = CreateRectRgn(w.left, w.bottom - 3, w.right, w.bottom);
    frame->SendMessage(WM_NCPAINT, WPARAM(bottom));
    DeleteObject(bottom);
    EXPECT_EQ(OffscreenHarness::Pixel(window, caption.left + box + 5, caption.top + 2), kMarker);
    HRGN top = CreateRectRgn(w.left, w.top, w.right, w.top + 8);
    frame->SendMessage(WM_NCPAINT, WPARAM(top));
    DeleteObject(top);
    EXPECT_TRUE(ShowsGradient(window));
}

TEST_F(GradientCaptionTest, TheCaptionAreaLeavesRoomForTheBoxesTheStyleShows) {
    MakeFrame(false);
    HWND window = frame->m_hWnd;
    RECT w;
    GetWindowRect(window, &w);
    const int box = GetSystemMetrics(SM_CXSIZE);
    const DWORD plain = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    struct Case {
        DWORD style;
        bool closable;
        int room;
        int top;
    };
    const Case cases[] = {
        {plain | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, true, 3 * box + 1, 4},
        {plain | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, false, 2 * box + 1, 4},
        {plain | WS_THICKFRAME | WS_MINIMIZEBOX, true, 2 * box + 1, 4},
        {plain | WS_THICKFRAME, true, box, 4},
        {plain, true, box, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.room);
        SetWindowLongPtr(window, GWL_STYLE, std::intptr_t(c.style));
        EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE,
                       MF_BYCOMMAND | (c.closable ? MF_ENABLED : MF_GRAYED));
        const RECT r = TkGradientCaption::CaptionRect(window);
        EXPECT_EQ(w.Width() - r.right, c.room);
        EXPECT_EQ(r.top, c.top);
        EXPECT_EQ(r.bottom - r.top, GetSystemMetrics(SM_CYSIZE));
    }
}

TEST_F(GradientCaptionTest, TheTitleNamesTheActiveDocumentOrElseTheActiveChild) {
    MakeFrame(false);
    CDocument* document = NewDocument();
    MdiChild* child = ChildOf(document);
    ASSERT_NE(child, nullptr);
    const std::string name = document->GetTitle();
    EXPECT_EQ(frame->GetWindowText(), "Main Test - " + name);

    // Maximised, the child's own title stands for the document.
    child->SetWindowText("Sheet X");
    child->MDIMaximize();
    frame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(frame->GetWindowText(), "Main Test - Sheet X");
    child->MDIRestore();
    SetWindowLongPtr(frame->m_hWnd, GWL_STYLE, GetWindowLongPtr(frame->m_hWnd, GWL_STYLE) | FWS_PREFIXTITLE);
    frame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(frame->GetWindowText(), name + " - Main Test");
    SetWindowLongPtr(frame->m_hWnd, GWL_STYLE,
                     GetWindowLongPtr(frame->m_hWnd, GWL_STYLE) & ~std::intptr_t(FWS_PREFIXTITLE));

    app.m_pDocManager->CloseAllDocuments(FALSE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(frame->GetWindowText(), "Main Test");

    // A child without a document: a bar floated inside.
    SpyBar* bar = MakeBar(331);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    frame->FloatControlBarAsChild(bar, -1, -1, CBRS_ALIGN_TOP);
    auto* barFrame = dynamic_cast<CMDIChildWnd*>(bar->GetParentFrame());
    ASSERT_NE(barFrame, nullptr);
    barFrame->MDIActivate();
    frame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(frame->GetWindowText(), "Main Test - Bar 331");
    // Without FWS_ADDTOTITLE the frame keeps its text.
    SetWindowLongPtr(frame->m_hWnd, GWL_STYLE,
                     GetWindowLongPtr(frame->m_hWnd, GWL_STYLE) & ~std::intptr_t(FWS_ADDTOTITLE));
    frame->SetWindowText("Fixed");
    frame->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(frame->GetWindowText(), "Fixed");
}

TEST_F(GradientCaptionTest, BeforeTheNewShellTheCaptionStaysTheLayers) {
    SetReportedVersion(3);
    MakeFrame(false);
    SetReportedVersion(5);
    HWND window = frame->m_hWnd;
    EXPECT_EQ(frame->EnableGradientCaption(TRUE), FALSE);
    EXPECT_EQ(frame->EnableGradientCaption(TRUE), FALSE);
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(ShowsGradient(window));
    EXPECT_EQ(CaptionLine(window).front(), GetSysColor(COLOR_ACTIVECAPTION));
}

} // namespace
} // namespace vq::test
