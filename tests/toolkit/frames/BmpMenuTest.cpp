#include "platform/classlib/ControlBar.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/NonClientMetrics.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/SystemColours.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"
#include "toolkit/controls/TkSysMetrics.h"
#include "toolkit/frames/TkBmpMenuPlugIn.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace vq {
namespace {

enum : UINT {
    ID_IMAGED = 32001,
    ID_CHECKED = 32002,
    ID_GRAYED = 32003,
    ID_PLAIN = 32010,
    ID_DEFAULT = 32011,
    ID_OPEN = 32012,
    ID_FOREIGN = 32013,
    ID_RADIO = 32014,
    ID_SAVE = 32020,
    ID_SEND = 32021,
};
constexpr COLORREF Navy = RGB(0, 0, 128);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr std::uintptr_t ForeignData = 0x55;

// A frame keeping the plug-in contract of the toolkit's frames: the plug-in sees every message
// first, and after the frame's own popup handling (which runs the command-state handlers) the
// popup is prepared once more. It records what the plug-in answered to measuring and drawing.
class MenuFrame : public CFrameWnd {
public:
    std::unique_ptr<TkBmpMenuPlugIn> plugIn;
    std::map<UINT, SIZE> measured;
    std::map<UINT, RECT> drawn;
    std::map<UINT, int> commands;
    std::function<void()> onTimer;
    std::function<void(CCmdUI&)> onUpdate;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && onTimer) {
            KillTimer(m_hWnd, 1);
            onTimer();
            return 0;
        }
        LRESULT result = 0;
        BOOL handled = FALSE;
        if (plugIn) {
            plugIn->OnWndMsg(message, wParam, lParam, &result);
            handled = plugIn->m_bHandled;
            plugIn->m_bHandled = FALSE;
        }
        if (!handled) result = CFrameWnd::WindowProc(message, wParam, lParam);
        if (message == WM_INITMENUPOPUP && plugIn) plugIn->InitMenuPopup(reinterpret_cast<HMENU>(wParam), lParam);
        if (message == WM_MEASUREITEM) {
            const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
            measured[mis->itemID] = SIZE{std::int32_t(mis->itemWidth), std::int32_t(mis->itemHeight)};
        }
        if (message == WM_DRAWITEM) {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            drawn[dis->itemID] = dis->rcItem;
        }
        return result;
    }

    BOOL OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) override {
        if (id < ID_IMAGED || id > ID_SEND) return CFrameWnd::OnCmdMsg(id, code, extra, info);
        if (code == CN_UPDATE_COMMAND_UI && extra) {
            auto& ui = *static_cast<CCmdUI*>(extra);
            if (id == ID_GRAYED) ui.Enable(FALSE);
            if (id == ID_CHECKED) ui.SetCheck(1);
            if (onUpdate) onUpdate(ui);
            return TRUE;
        }
        if (code == CN_COMMAND && !info) ++commands[id];
        return TRUE;
    }
};

// Image 0 navy, image 1 red, image 2 navy: squares of 10 x 9 on button face in 16 x 15 cells.
HBITMAP MakeStrip() {
    HDC screen = GetDC(0);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP strip = CreateCompatibleBitmap(screen, 48, 15);
    HGDIOBJ old = SelectObject(dc, strip);
    RECT all{0, 0, 48, 15};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    const COLORREF colours[] = {Navy, Red, Navy};
    for (int i = 0; i < 3; ++i) {
        HBRUSH brush = CreateSolidBrush(colours[i]);
        RECT square{i * 16 + 3, 3, i * 16 + 13, 12};
        FillRect(dc, &square, brush);
        DeleteObject(brush);
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(0, screen);
    return strip;
}

class BmpMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        frame = std::make_unique<MenuFrame>();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 300}, nullptr, 0));
        frame->plugIn = std::make_unique<TkBmpMenuPlugIn>(TRUE);
        ASSERT_TRUE(frame->plugIn->AttachToHost(frame.get()));
        strip = MakeStrip();
        const std::uint32_t ids[] = {ID_IMAGED, ID_CHECKED, ID_GRAYED};
        ASSERT_TRUE(frame->plugIn->AddBitmapHandleImages(strip, ids, 3));
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        if (IsMenu(menu)) DestroyMenu(menu);
        frame->plugIn.reset();
        frame->DestroyWindow();
        frame.reset();
        DeleteObject(strip);
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    // The full popup of the feature: images, marks, states, an accelerator, someone else's item and
    // a system command.
    void MakeFullMenu() {
        menu = CreatePopupMenu();
        AppendMenu(menu, MF_STRING, ID_IMAGED, "&New");
        AppendMenu(menu, MF_STRING, ID_PLAIN, "&Plain");
        AppendMenu(menu, MF_STRING, ID_CHECKED, "Chec&ked");
        AppendMenu(menu, MF_STRING, ID_GRAYED, "&Grayed");
        AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenu(menu, MF_STRING, ID_DEFAULT, "&Default");
        AppendMenu(menu, MF_STRING, ID_OPEN, "&Open\tCtrl+O");
        AppendMenu(menu, MF_OWNERDRAW, ID_FOREIGN, reinterpret_cast<const char*>(ForeignData));
        AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close");
        SetMenuDefaultItem(menu, ID_DEFAULT, FALSE);
    }

    // Tracks the menu; once it has painted, `look` sees the popup (window handle and its image).
    UINT Track(UINT flags, const std::function<void(HWND, const QImage&)>& look = {}) {
        frame->onTimer = [&] {
            const HWND popup = WindowFromPoint(POINT{popupAt.x + 4, popupAt.y + 4});
            if (look) look(popup, OffscreenHarness::Composite(popup));
            PostMessage(frame->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        };
        // Keys posted before end the loop first; otherwise Escape does, once the popup painted.
        SetTimer(frame->m_hWnd, 1, 10, nullptr);
        clock.AdvanceMilliseconds(25);
        const UINT chosen = UINT(TrackPopupMenu(menu, flags, popupAt.x, popupAt.y, 0, frame->m_hWnd, nullptr));
        KillTimer(frame->m_hWnd, 1);
        OffscreenHarness::RunUntilIdle();
        return chosen;
    }

    // An item's rectangle in the popup window's coordinates.
    static RECT InWindow(HWND popup, RECT client) {
        RECT window;
        GetWindowRect(popup, &window);
        POINT origin{0, 0};
        ClientToScreen(popup, &origin);
        return OffsetRectBy(client, origin.x - window.left, origin.y - window.top);
    }

    static COLORREF At(const QImage& image, std::int32_t x, std::int32_t y) {
        const QRgb p = image.pixel(x, y);
        return RGB(qRed(p), qGreen(p), qBlue(p));
    }

    static int Ink(const QImage& image, const RECT& r, COLORREF colour, std::int32_t* rightmost = nullptr) {
        int n = 0;
        for (std::int32_t y = r.top; y < r.bottom; ++y)
            for (std::int32_t x = r.left; x < r.right; ++x)
                if (At(image, x, y) == colour) {
                    ++n;
                    if (rightmost) *rightmost = std::max(*rightmost, x);
                }
        return n;
    }

    // How many pixels of `text` the font inks, drawn alone.
    static int InkOf(HFONT font, const char* text) {
        HDC screen = GetDC(0);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 30);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        RECT all{0, 0, 200, 30};
        FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
        DrawText(dc, text, -1, &all, DT_SINGLELINE | DT_VCENTER);
        int n = 0;
        for (std::int32_t y = 0; y < 30; ++y)
            for (std::int32_t x = 0; x < 200; ++x)
                n += GetPixel(dc, x, y) == GetSysColor(COLOR_MENUTEXT);
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(0, screen);
        return n;
    }

    UINT TypeOf(UINT id, std::uintptr_t* data = nullptr, std::string* text = nullptr) const {
        char buffer[64] = {};
        MENUITEMINFO mii;
        mii.fMask = MIIM_TYPE | MIIM_DATA;
        mii.dwTypeData = buffer;
        mii.cch = sizeof buffer;
        EXPECT_TRUE(GetMenuItemInfo(menu, id, FALSE, &mii));
        if (data) *data = mii.dwItemData;
        if (text) *text = buffer;
        return mii.fType;
    }

    ManualMonotonicClock clock{1'000'000'000};
    std::unique_ptr<MenuFrame> frame;
    HBITMAP strip = nullptr;
    HMENU menu = nullptr;
    POINT popupAt{20, 20};
};

TEST_F(BmpMenuTest, APopupDrawsImagesMarksStatesAndAcceleratorsAndLeavesOthersItemsAlone) {
    MakeFullMenu();
    RECT checkedBox{}, grayedBox{}, defaultRow{}, openRow{}, plainColumn{};
    int defaultInk = 0, accelEnd = -1, rowRight = 0;
    COLORREF checkedImage = 0, checkedBack1 = 0, checkedBack2 = 0, sunkenTop = 0, grayedImage = 0;
    COLORREF grayedLight = 0;
    int grayText = 0, grayLight = 0;
    Track(TPM_RETURNCMD, [&](HWND popup, const QImage& image) {
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(popup, test::TestPath("VQ_TEST_OUTPUT_DIR") + "/bmp_menu.png"));
        const auto row = [&](UINT id) { return InWindow(popup, frame->drawn.at(id)); };
        // Image boxes: column from the item's left, image height + 4 high, centred; image at +2.
        const auto box = [&](UINT id) {
            const RECT r = row(id);
            const std::int32_t top = r.top + (r.bottom - r.top - 19) / 2;
            return RECT{r.left, top, r.left + 20, top + 19};
        };
        checkedBox = box(ID_CHECKED);
        checkedImage = At(image, checkedBox.left + 2 + 5, checkedBox.top + 2 + 5);
        checkedBack1 = At(image, checkedBox.left + 2, checkedBox.top + 2);
        checkedBack2 = At(image, checkedBox.left + 3, checkedBox.top + 2);
        sunkenTop = At(image, checkedBox.left + 5, checkedBox.top);
        grayedBox = box(ID_GRAYED);
        grayedImage = At(image, grayedBox.left + 2 + 5, grayedBox.top + 2 + 5);
        grayedLight = At(image, grayedBox.left + 2 + 13, grayedBox.top + 2 + 12);
        RECT grayedText = row(ID_GRAYED);
        grayedText.left += 22;
        grayText = Ink(image, grayedText, GetSysColor(COLOR_GRAYTEXT));
        grayLight = Ink(image, grayedText, GetSysColor(COLOR_BTNHIGHLIGHT));
        defaultRow = row(ID_DEFAULT);
        defaultRow.left += 22;
        defaultInk = Ink(image, defaultRow, GetSysColor(COLOR_MENUTEXT));
        openRow = row(ID_OPEN);
        rowRight = openRow.right;
        RECT accel = openRow;
        accel.left = (openRow.left + openRow.right) / 2;
        Ink(image, accel, GetSysColor(COLOR_MENUTEXT), &accelEnd);
        const RECT plain = box(ID_PLAIN);
        plainColumn = plain;
        EXPECT_EQ(Ink(image, RECT{plain.left, plain.top, plain.right, plain.bottom}, GetSysColor(COLOR_MENU)),
                  20 * 19);
    });

    // Someone else's item and the system command are as they were; the foreign id stays excluded.
    std::uintptr_t data = 0;
    std::string text;
    EXPECT_EQ(TypeOf(ID_FOREIGN, &data), UINT(MFT_OWNERDRAW));
    EXPECT_EQ(data, ForeignData);
    EXPECT_TRUE(frame->plugIn->IsExcluded(ID_FOREIGN));
    EXPECT_EQ(TypeOf(SC_CLOSE, nullptr, &text), UINT(MFT_STRING));
    EXPECT_EQ(text, "&Close");
    EXPECT_EQ(frame->drawn.count(SC_CLOSE), 0u);
    EXPECT_EQ(TypeOf(ID_OPEN), UINT(MFT_OWNERDRAW));

    // Width = text + image width + 30; height = the largest of text, image + 4 and the menu height.
    HDC dc = GetDC(0);
    HGDIOBJ old = SelectObject(dc, frame->plugIn->GetMenuFont());
    for (const auto& [id, label] : std::map<UINT, const char*>{{ID_IMAGED, "&New"}, {ID_OPEN, "&Open\tCtrl+O"}}) {
        SCOPED_TRACE(label);
        RECT r{};
        DrawText(dc, label, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
        EXPECT_EQ(frame->measured.at(id).cx, r.right - r.left + 16 + 30);
        EXPECT_EQ(frame->measured.at(id).cy, std::max({r.bottom - r.top, 19, GetSystemMetrics(SM_CYMENU)}));
    }
    SelectObject(dc, old);
    ReleaseDC(0, dc);

    // Checked: the image stays, its face background turns into the face / highlight dither, in a
    // sunken box. Grayed: embossed image (shadow in place, highlight one down and right) and text.
    EXPECT_EQ(checkedImage, Red);
    EXPECT_NE(checkedBack1, checkedBack2);
    for (const COLORREF c : {checkedBack1, checkedBack2})
        EXPECT_TRUE(c == tkSysMetrics.m_crButtonFace || c == tkSysMetrics.m_crButtonHighlight);
    EXPECT_EQ(sunkenTop, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(grayedImage, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(grayedLight, GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_GT(grayText, 10);
    EXPECT_GT(grayLight, 10);
    // The default item is bold: more ink than the text in the plain menu font.
    EXPECT_GT(defaultInk, InkOf(frame->plugIn->GetMenuFont(), "&Default") * 11 / 10);
    EXPECT_GE(defaultInk, InkOf(frame->plugIn->GetBoldMenuFont(), "&Default") * 9 / 10);
    // The accelerator ends 23 pixels before the item's right edge (a glyph's bearing may show).
    EXPECT_LE(accelEnd, rowRight - 23 - 1);
    EXPECT_GE(accelEnd, rowRight - 23 - 3);
}

TEST_F(BmpMenuTest, MnemonicsExecuteTheOnlyMatchAndCycleThroughSeveral) {
    MakeFullMenu();
    PostMessage(frame->m_hWnd, WM_CHAR, 'o', 0);
    Track(TPM_LEFTALIGN);
    EXPECT_EQ(frame->commands[ID_OPEN], 1);
    EXPECT_EQ(frame->commands.size(), 1u);
    DestroyMenu(menu);

    struct Case {
        int presses;
        UINT chosen;
    };
    for (const Case c : {Case{1, ID_SAVE}, Case{2, ID_SEND}, Case{3, ID_SAVE}}) {
        SCOPED_TRACE(c.presses);
        menu = CreatePopupMenu();
        AppendMenu(menu, MF_STRING, ID_PLAIN, "&Plain");
        AppendMenu(menu, MF_STRING, ID_SAVE, "&Save");
        AppendMenu(menu, MF_STRING, ID_SEND, "&Send\tCtrl+S");
        for (int i = 0; i < c.presses; ++i)
            PostMessage(frame->m_hWnd, WM_CHAR, 'S', 0);
        PostMessage(frame->m_hWnd, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(Track(TPM_RETURNCMD), c.chosen);
        DestroyMenu(menu);
    }
    // A character nobody has leaves the menu to the default handling (here: nothing chosen).
    menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, ID_SAVE, "&Save");
    EXPECT_EQ(SendMessage(frame->m_hWnd, WM_MENUCHAR, 'q', reinterpret_cast<LPARAM>(menu)), 0);
}

TEST_F(BmpMenuTest, RecordsFollowTheirMenusAndItemsReturnToTextWhenThePlugInGoes) {
    MakeFullMenu();
    Track(TPM_RETURNCMD);
    ASSERT_EQ(frame->plugIn->GetMenus().count(menu), 1u);
    const auto& records = frame->plugIn->GetMenus().at(menu)->m_items;
    EXPECT_EQ(records.size(), 6u);

    DeleteMenu(menu, ID_PLAIN, MF_BYCOMMAND);
    SendMessage(frame->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_EQ(records.size(), 5u);

    frame->plugIn.reset();
    std::string text;
    EXPECT_EQ(TypeOf(ID_OPEN, nullptr, &text), UINT(MFT_STRING));
    EXPECT_EQ(text, "&Open\tCtrl+O");
    std::uintptr_t data = 0;
    EXPECT_EQ(TypeOf(ID_FOREIGN, &data), UINT(MFT_OWNERDRAW));
    EXPECT_EQ(data, ForeignData);

    frame->plugIn = std::make_unique<TkBmpMenuPlugIn>(TRUE);
    frame->plugIn->AttachToHost(frame.get());
    Track(TPM_RETURNCMD);
    DestroyMenu(menu);
    SendMessage(frame->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
    EXPECT_TRUE(frame->plugIn->GetMenus().empty());
}

TEST_F(BmpMenuTest, SystemMenusAreNeverConverted) {
    const HMENU system = GetSystemMenu(frame->m_hWnd, FALSE);
    PostMessage(frame->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    TrackPopupMenu(system, TPM_RETURNCMD, 20, 20, 0, frame->m_hWnd, nullptr);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(frame->plugIn->GetMenus().empty());
    EXPECT_EQ(GetMenuState(system, SC_MOVE, MF_BYCOMMAND) & MF_OWNERDRAW, 0u);
}

TEST_F(BmpMenuTest, ASettingChangeMeasuresAgainWithTheNewMenuFont) {
    MakeFullMenu();
    Track(TPM_RETURNCMD);
    const std::int32_t before = frame->measured.at(ID_OPEN).cx;
    NONCLIENTMETRICS saved;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof saved, &saved, 0));
    NONCLIENTMETRICS bigger = saved;
    bigger.lfMenuFont.lfHeight = saved.lfMenuFont.lfHeight * 2;
    ASSERT_TRUE(SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof bigger, &bigger, SPIF_SENDCHANGE));
    Track(TPM_RETURNCMD);
    const std::int32_t after = frame->measured.at(ID_OPEN).cx;
    SystemParametersInfo(SPI_SETNONCLIENTMETRICS, sizeof saved, &saved, SPIF_SENDCHANGE);
    EXPECT_GT(after, before + 10);
    EXPECT_EQ(TypeOf(ID_OPEN), UINT(MFT_OWNERDRAW));
}

TEST_F(BmpMenuTest, AColourChangeRedrawsTheDitherAndRadioItemsShowTheDot) {
    const int index = COLOR_BTNFACE;
    const COLORREF savedFace = GetSysColor(COLOR_BTNFACE);
    const COLORREF mint = RGB(200, 230, 200);
    SetSysColors(1, &index, &mint);
    // A strip drawn on the new face, as a reloaded tool bar image would be.
    DeleteObject(strip);
    strip = MakeStrip();
    const std::uint32_t ids[] = {ID_IMAGED, ID_CHECKED, ID_GRAYED};
    ASSERT_TRUE(frame->plugIn->AddBitmapHandleImages(strip, ids, 3));
    frame->onUpdate = [](CCmdUI& ui) {
        if (ui.m_nID == ID_RADIO) ui.SetRadio(TRUE);
    };
    menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, ID_RADIO, "&Radio");
    AppendMenu(menu, MF_STRING, ID_CHECKED, "&Checked");
    std::vector<COLORREF> dither, dot;
    Track(TPM_RETURNCMD, [&](HWND popup, const QImage& image) {
        EXPECT_TRUE(
            OffscreenHarness::SaveScreenshot(popup, test::TestPath("VQ_TEST_OUTPUT_DIR") + "/bmp_menu_radio.png"));
        const RECT checked = InWindow(popup, frame->drawn.at(ID_CHECKED));
        const std::int32_t top = checked.top + (checked.bottom - checked.top - 19) / 2 + 2;
        dither = {At(image, checked.left + 2, top), At(image, checked.left + 3, top)};
        const RECT radio = InWindow(popup, frame->drawn.at(ID_RADIO));
        const std::int32_t x = radio.left + 2, y = radio.top + (radio.bottom - radio.top - 19) / 2 + 2;
        // Inside the dot (rows 4-8, columns 6-9 at the widest) and just outside it.
        dot = {At(image, x + 7, y + 6), At(image, x + 6, y + 4), At(image, x + 7, y + 4)};
    });
    const COLORREF face = tkSysMetrics.m_crButtonFace;
    const int restore = COLOR_BTNFACE;
    SetSysColors(1, &restore, &savedFace);
    EXPECT_EQ(face, mint);
    ASSERT_EQ(dither.size(), 2u);
    EXPECT_TRUE(dither[0] == mint || dither[1] == mint);
    ASSERT_EQ(dot.size(), 3u);
    EXPECT_EQ(dot[0], GetSysColor(COLOR_MENUTEXT));
    EXPECT_NE(dot[1], GetSysColor(COLOR_MENUTEXT));
    EXPECT_EQ(dot[2], GetSysColor(COLOR_MENUTEXT));
    MENUITEMINFO mii;
    mii.fMask = MIIM_CHECKMARKS;
    ASSERT_TRUE(GetMenuItemInfo(menu, ID_RADIO, FALSE, &mii));
    EXPECT_EQ(mii.hbmpChecked, RadioMenuMark());
}

} // namespace
} // namespace vq
