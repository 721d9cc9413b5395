#include "WindowFixture.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/StandardControls.h"

#include <cstring>

namespace vq::test {
namespace {

class ButtonTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegisterStandardControls();
        top = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
        button = Make("Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {10, 10, 70, 34}, top, 0, 5);
        other = Make("Spy", WS_CHILD | WS_VISIBLE, {100, 10, 150, 60}, top, 0, 2);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
    }

    int Clicks() const {
        int clicks = 0;
        for (const auto& s : seen)
            if (s.window == top && s.message == WM_COMMAND && s.wParam == WPARAM(MAKELPARAM(5, BN_CLICKED)) &&
                HWND(s.lParam) == button)
                ++clicks;
        return clicks;
    }

    bool Pushed() const { return (SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

    HWND top = 0;
    HWND button = 0;
    HWND other = 0;
};

TEST_F(ButtonTest, AClickCountsOnlyWhenReleasedInsideWithTheCaptureHeld) {
    // Press, leave (drawn released), come back, release: one click.
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(Pushed());
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(GetFocus(), button);
    OffscreenHarness::MouseMove({120, 20}, Qt::LeftButton);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(Pushed());
    OffscreenHarness::MouseMove({30, 20}, Qt::LeftButton);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(Pushed());
    OffscreenHarness::MouseRelease({30, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(Pushed());
    EXPECT_EQ(GetCapture(), HWND(0));
    EXPECT_EQ(Clicks(), 1);

    // Released outside: none.
    seen.clear();
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::MouseRelease({120, 20});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(Clicks(), 0);
    EXPECT_EQ(GetCapture(), HWND(0));

    // Another window took the capture meanwhile: none, and the button is released.
    OffscreenHarness::MousePress({20, 20});
    OffscreenHarness::RunUntilIdle();
    SetCapture(other);
    EXPECT_FALSE(Pushed());
    OffscreenHarness::MouseRelease({20, 20});
    OffscreenHarness::RunUntilIdle();
    ReleaseCapture();
    EXPECT_EQ(Clicks(), 0);
}

TEST_F(ButtonTest, TheSpaceBarClicksOnKeyUp) {
    SetFocus(button);
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", true);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(Pushed());
    EXPECT_EQ(Clicks(), 0);
    OffscreenHarness::Key(Qt::Key_Space, Qt::NoModifier, " ", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_FALSE(Pushed());
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(ButtonTest, OwnerDrawnButtonsAskTheirParentToDrawEachStateAndFocusChange) {
    std::vector<std::pair<UINT, UINT>> draws;
    hook = [&](HWND h, UINT m, WPARAM, LPARAM l, LRESULT& r) {
        if (h != top || m != WM_DRAWITEM) return false;
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        EXPECT_EQ(item->CtlType, ODT_BUTTON);
        EXPECT_EQ(item->hwndItem, button);
        EXPECT_EQ(item->rcItem, (RECT{0, 0, 60, 24}));
        draws.emplace_back(item->itemAction, item->itemState);
        r = TRUE;
        return true;
    };
    SendMessage(button, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
    OffscreenHarness::RunUntilIdle();
    SetFocus(button);
    OffscreenHarness::RunUntilIdle();
    SendMessage(button, BM_SETSTATE, TRUE, 0);
    OffscreenHarness::RunUntilIdle();
    SetFocus(other);
    OffscreenHarness::RunUntilIdle();
    EnableWindow(button, FALSE);
    OffscreenHarness::RunUntilIdle();
    const std::vector<std::pair<UINT, UINT>> expected{
        {ODA_DRAWENTIRE, 0},
        {ODA_FOCUS, ODS_FOCUS},
        {ODA_DRAWENTIRE, ODS_FOCUS | ODS_SELECTED},
        {ODA_FOCUS, ODS_SELECTED},
        {ODA_DRAWENTIRE, ODS_SELECTED},
        {ODA_DRAWENTIRE, ODS_SELECTED | ODS_DISABLED},
    };
    EXPECT_EQ(draws, expected);
}

TEST_F(ButtonTest, DialogCodesAndChecks) {
    const struct {
        DWORD type;
        LRESULT code;
    } cases[] = {{BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
                 {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
                 {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
                 {BS_AUTOCHECKBOX, DLGC_BUTTON},
                 {BS_OWNERDRAW, DLGC_BUTTON}};
    for (const auto& c : cases) {
        SendMessage(button, BM_SETSTYLE, c.type, FALSE);
        EXPECT_EQ(SendMessage(button, WM_GETDLGCODE, 0, 0), c.code) << c.type;
    }
    SendMessage(button, BM_SETSTYLE, BS_AUTOCHECKBOX, FALSE);
    SendMessage(button, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(button, BM_GETCHECK, 0, 0), LRESULT(BST_CHECKED));
    SendMessage(button, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(button, BM_GETCHECK, 0, 0), LRESULT(BST_UNCHECKED));
    EXPECT_EQ(Clicks(), 2);
}

// Rows of the window's image, inside its edges, where text-coloured pixels are.
int TextRows(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    int rows = 0;
    for (int y = 3; y < r.Height() - 3; ++y) {
        bool text = false;
        for (int x = 3; x < r.Width() - 3 && !text; ++x)
            text = OffscreenHarness::Pixel(window, x, y) == RGB(0, 0, 0);
        rows += text;
    }
    return rows;
}

// The drawer of an owner-drawn button reads the font back with WM_GETFONT.
TEST_F(ButtonTest, ButtonsAndStaticsDrawTheirTextInTheFontTheyAreGiven) {
    const HWND push = Make("Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, {10, 40, 110, 95}, top, 0, 6);
    const HWND label = Make("Static", WS_CHILD | WS_VISIBLE, {120, 40, 195, 95}, top, 0, 7);
    LOGFONT lf;
    lf.lfHeight = -30;
    std::strcpy(lf.lfFaceName, "Arial");
    const HFONT large = CreateFontIndirect(lf);
    for (HWND w : {push, label}) {
        SetWindowText(w, "Wg");
        OffscreenHarness::RunUntilIdle();
        const int standard = TextRows(w);
        ASSERT_GT(standard, 0);

        // Without the redraw flag the new face shows at the next paint.
        SendMessage(w, WM_SETFONT, WPARAM(large), FALSE);
        EXPECT_EQ(SendMessage(w, WM_GETFONT, 0, 0), LRESULT(large));
        EXPECT_EQ(TextRows(w), standard);
        SendMessage(w, WM_SETFONT, WPARAM(large), TRUE);
        EXPECT_GT(TextRows(w), standard + 10);

        SendMessage(w, WM_SETFONT, 0, TRUE);
        EXPECT_EQ(SendMessage(w, WM_GETFONT, 0, 0), 0);
        EXPECT_EQ(TextRows(w), standard);
    }

    // A handle that is no font is refused; a font deleted while set leaves the standard face.
    SendMessage(push, WM_SETFONT, WPARAM(large), TRUE);
    SendMessage(push, WM_SETFONT, WPARAM(GetStockObject(WHITE_BRUSH)), TRUE);
    EXPECT_EQ(SendMessage(push, WM_GETFONT, 0, 0), LRESULT(large));
    const int withLarge = TextRows(push);
    DeleteObject(large);
    InvalidateRect(push, nullptr, TRUE);
    UpdateWindow(push);
    EXPECT_LT(TextRows(push), withLarge);
}

} // namespace
} // namespace vq::test
