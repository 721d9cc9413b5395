#include "ListSpy.h"
#include "platform/classlib/ImageList.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/Menu.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/SystemColours.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkShortcutListCtrl.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

// Large icons in three colours, so a moved icon can be told by its picture too.
class LargeIcons {
public:
    explicit LargeIcons(int count) {
        list.Create(32, 32, ILC_COLOR32, count, 1);
        const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255)};
        for (int i = 0; i < count; ++i) {
            HDC dc = CreateCompatibleDC(nullptr);
            HBITMAP bitmap = CreateBitmap(32, 32, 1, 32, nullptr);
            HGDIOBJ old = SelectObject(dc, bitmap);
            HBRUSH brush = CreateSolidBrush(colours[i % 3]);
            const RECT all{0, 0, 32, 32};
            FillRect(dc, &all, brush);
            DeleteObject(brush);
            SelectObject(dc, old);
            DeleteDC(dc);
            list.Add(bitmap, HBITMAP(nullptr));
            DeleteObject(bitmap);
        }
    }
    CImageList list;
};

// Keeps the item index that comes with a click on an icon.
class ClickSpy : public ListSpy {
public:
    std::vector<std::pair<UINT, int>> clicks;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            const int item = header->code == TKSL_ITEMCLICKED
                                 ? reinterpret_cast<const TkShortcutListClick*>(lParam)->item
                                 : -1;
            clicks.emplace_back(header->code, item);
        }
        return ListSpy::WindowProc(message, wParam, lParam);
    }
};

// Sees the view menu before it shows.
class MenuList : public TkShortcutListCtrl {
public:
    int itemsSeen = -1;
    void PrepareContextMenu(HMENU menu) override { itemsSeen = GetMenuItemCount(menu); }
};

class TkShortcutListTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        ASSERT_TRUE(owner.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 460, 320}, nullptr, 0));
    }
    void TearDown() override {
        for (TkShortcutListCtrl* list : {static_cast<TkShortcutListCtrl*>(&first), &second})
            if (list->m_hWnd) list->DestroyWindow();
        owner.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }
    void Make(TkShortcutListCtrl& list, int x, int count, UINT id, const LargeIcons& icons) {
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_ICON, RECT{x, 0, x + 200, 300}, &owner, id));
        list.SetImageList(const_cast<CImageList*>(&icons.list), LVSIL_NORMAL);
        for (int i = 0; i < count; ++i)
            list.InsertItem(LVIF_TEXT | LVIF_IMAGE, i, labels[i], 0, 0, i % icons.list.GetImageCount(), 0);
        list.UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    // The icon's top left in the list: centred in its row, below the row's spacing.
    static POINT IconAt(TkShortcutListCtrl& list, int item) {
        RECT row{};
        EXPECT_TRUE(list.GetItemRect(item, &row, LVIR_BOUNDS));
        return POINT{row.left + row.Width() / 2 - 16, row.top + 2};
    }
    static POINT Screen(const CWnd& window, POINT p) {
        ClientToScreen(window.m_hWnd, &p);
        return p;
    }
    static COLORREF At(const CWnd& window, int x, int y) {
        return OffscreenHarness::Pixel(window.m_hWnd, x, y);
    }
    std::vector<std::string> Labels(TkShortcutListCtrl& list) {
        std::vector<std::string> out;
        for (int i = 0; i < list.GetItemCount(); ++i)
            out.push_back(list.GetItemText(i, 0));
        return out;
    }
    int Clicks(UINT code) const {
        int n = 0;
        for (const auto& [c, item] : owner.clicks)
            n += c == code;
        return n;
    }

    const char* labels[8] = {"Hosts", "Events", "Charts", "Names", "Ports", "Mail", "Logs", "Tuples"};
    ManualMonotonicClock clock{1'000'000'000};
    ClickSpy owner;
    MenuList first;
    TkShortcutListCtrl second;
};

TEST_F(TkShortcutListTest, IconsLightUpPressDownAndGoFlat) {
    LargeIcons icons(3);
    Make(first, 0, 3, 60160, icons);
    const POINT icon = IconAt(first, 1);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = RGB(0, 0, 0),
                   ground = GetSysColor(COLOR_INACTIVECAPTION);
    OffscreenHarness::MouseMove(Screen(first, POINT{icon.x + 10, icon.y + 10}));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(first.GetHotItem(), 1);
    EXPECT_EQ(At(first, icon.x - 1, icon.y - 1), light);
    EXPECT_EQ(At(first, icon.x + 33, icon.y + 33), dark);
    EXPECT_EQ(At(first, icon.x + 10, icon.y + 10), RGB(0, 160, 0));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(first.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                   "/shortcut-list-hot.png"));

    OffscreenHarness::MousePress(Screen(first, POINT{icon.x + 10, icon.y + 10}));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(first, icon.x - 1, icon.y - 1), dark);
    EXPECT_EQ(At(first, icon.x + 33, icon.y + 33), light);
    OffscreenHarness::MouseRelease(Screen(first, POINT{icon.x + 10, icon.y + 10}));
    OffscreenHarness::MouseMove(Screen(first, POINT{2, icon.y + 10}));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(first, icon.x - 1, icon.y - 1), ground);
    EXPECT_EQ(At(first, icon.x + 33, icon.y + 33), ground);
}

TEST_F(TkShortcutListTest, TheUpArrowShowsOnceTheListIsScrolled) {
    LargeIcons icons(3);
    Make(first, 0, 8, 60160, icons);
    const RECT up = first.GetUpButton()->GetRect(), down = first.GetDownButton()->GetRect();
    ASSERT_GT(up.Width(), 0);
    const COLORREF ground = GetSysColor(COLOR_INACTIVECAPTION);
    EXPECT_NE(At(first, down.left + 3, down.top + 3), ground);
    EXPECT_EQ(At(first, up.left + 3, up.top + 3), ground);
    // A click on the down arrow scrolls one line; the up arrow appears.
    OffscreenHarness::MousePress(Screen(first, POINT{down.left + 3, down.top + 3}));
    OffscreenHarness::MouseRelease(Screen(first, POINT{down.left + 3, down.top + 3}));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(first.GetTopIndex(), 1);
    EXPECT_NE(At(first, up.left + 3, up.top + 3), ground);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(first.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                   "/shortcut-list-scrolled.png"));
    // Any turn of the wheel is one line.
    for (int delta : {-30, -240}) {
        const int top = first.GetTopIndex();
        first.SendMessage(WM_MOUSEWHEEL, WPARAM(std::uint16_t(std::int16_t(delta))) << 16,
                          LPARAM(MAKELPARAM(Screen(first, POINT{50, 50}).x, Screen(first, POINT{50, 50}).y)));
        EXPECT_EQ(first.GetTopIndex(), top + 1) << delta;
    }
}

TEST_F(TkShortcutListTest, AnInsertionMarkIsALineWithArrowsAtBothEnds) {
    LargeIcons icons(3);
    Make(first, 0, 3, 60160, icons);
    HDC dc = GetDC(first.m_hWnd);
    const RECT gap{0, 100, 190, 112};
    first.PaintInsertMark(dc, gap, 1);
    ReleaseDC(first.m_hWnd, dc);
    const int y = 106;
    for (int x : {20, 95, 170})
        EXPECT_EQ(At(first, x, y), RGB(0, 0, 0)) << x;
    // Pointing inwards from four above to four below.
    EXPECT_EQ(At(first, 1, y - 3), RGB(0, 0, 0));
    EXPECT_EQ(At(first, 188, y + 3), RGB(0, 0, 0));
    EXPECT_NE(At(first, 20, y - 3), RGB(0, 0, 0));
}

TEST_F(TkShortcutListTest, ClicksOnIconsAreReportedWithTheirIndex) {
    LargeIcons icons(3);
    Make(first, 0, 3, 60160, icons);
    const POINT icon = IconAt(first, 2);
    OffscreenHarness::MousePress(Screen(first, POINT{icon.x + 5, icon.y + 5}));
    OffscreenHarness::MouseRelease(Screen(first, POINT{icon.x + 5, icon.y + 5}));
    OffscreenHarness::RunUntilIdle();
    const std::vector<std::pair<UINT, int>> expected{{UINT(NM_CLICK), -1}, {TKSL_ITEMCLICKED, 2}};
    EXPECT_EQ(owner.clicks, expected);
    // Beside the label, in the same row, only the click.
    owner.clicks.clear();
    OffscreenHarness::MousePress(Screen(first, POINT{3, icon.y + 5}));
    OffscreenHarness::MouseRelease(Screen(first, POINT{3, icon.y + 5}));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(owner.clicks, (std::vector<std::pair<UINT, int>>{{UINT(NM_CLICK), -1}}));
    EXPECT_EQ(first.GetSelectedCount(), 1);
}

TEST_F(TkShortcutListTest, AHoverTickOutsideTheWindowPutsTheHotIconOut) {
    LargeIcons icons(3);
    Make(first, 0, 3, 60160, icons);
    const POINT icon = IconAt(first, 0);
    OffscreenHarness::MouseMove(Screen(first, POINT{icon.x + 5, icon.y + 5}));
    OffscreenHarness::RunUntilIdle();
    ASSERT_EQ(first.GetHotState(0), TkShortcutListCtrl::Hot);
    clock.AdvanceMilliseconds(300);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(first.GetHotState(0), TkShortcutListCtrl::Hot);
    // The pointer goes on to the owner; the list hears nothing until its timer.
    OffscreenHarness::MouseMove(Screen(first, POINT{icon.x + 5, icon.y + 5}));
    OffscreenHarness::RunUntilIdle();
    OffscreenHarness::MouseMove(POINT{300, 200});
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(first.GetHotState(0), TkShortcutListCtrl::Hot);
    clock.AdvanceMilliseconds(300);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(first.GetHotState(0), 0u);
}

// Drags by real input: press on an icon, move past the 5-pixel square, go to the gap, release.
class TkShortcutDragTest : public TkShortcutListTest {
protected:
    void Drag(TkShortcutListCtrl& from, int item, TkShortcutListCtrl& to, POINT target) {
        const POINT icon = IconAt(from, item);
        OffscreenHarness::MousePress(Screen(from, POINT{icon.x + 5, icon.y + 5}));
        OffscreenHarness::MouseMove(Screen(from, POINT{icon.x + 5, icon.y + 15}), Qt::LeftButton);
        OffscreenHarness::MouseMove(Screen(to, POINT{target.x, target.y - 1}), Qt::LeftButton);
        OffscreenHarness::MouseMove(Screen(to, target), Qt::LeftButton);
        OffscreenHarness::MouseRelease(Screen(to, target));
        OffscreenHarness::RunUntilIdle();
    }
    // A point in the spacing gap right below the item.
    static POINT GapBelow(TkShortcutListCtrl& list, int item) {
        RECT row{};
        EXPECT_TRUE(list.GetItemRect(item, &row, LVIR_BOUNDS));
        return POINT{50, row.bottom + 6};
    }
};

TEST_F(TkShortcutDragTest, DraggingTheSecondIconAfterTheThirdReordersThem) {
    LargeIcons icons(3);
    Make(first, 0, 3, 60160, icons);
    Drag(first, 1, first, GapBelow(first, 2));
    EXPECT_EQ(Labels(first), (std::vector<std::string>{"Hosts", "Charts", "Events"}));
    EXPECT_EQ(Clicks(TKSL_ITEMDROPPED), 1);
    EXPECT_EQ(GetCapture(), 0u);
    // Onto an icon nothing is dropped.
    Drag(first, 0, first, POINT{IconAt(first, 2).x + 5, IconAt(first, 2).y + 5});
    EXPECT_EQ(Labels(first), (std::vector<std::string>{"Hosts", "Charts", "Events"}));
    EXPECT_EQ(Clicks(TKSL_ITEMDROPPED), 1);
}

TEST_F(TkShortcutDragTest, AnIconMovesIntoAnotherListWithAnImageItHas) {
    LargeIcons many(3), one(1);
    Make(first, 0, 3, 60160, many);
    Make(second, 240, 2, 60161, one);
    Drag(first, 2, second, GapBelow(second, 0));
    EXPECT_EQ(Labels(first), (std::vector<std::string>{"Hosts", "Events"}));
    EXPECT_EQ(Labels(second), (std::vector<std::string>{"Hosts", "Charts", "Events"}));
    LV_ITEM item;
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    ASSERT_TRUE(second.GetItem(&item, FALSE, FALSE));
    EXPECT_EQ(item.iImage, 0);
    EXPECT_EQ(Clicks(TKSL_ITEMDROPPED), 1);
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(second.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                    "/shortcut-list-dropped.png"));
}

// Drags a block of the lists' format that is too short to hold a record.
class ShortBlockSource : public CWnd {
public:
    DWORD result = 0xFFFF;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON) && result == 0xFFFF) {
            COleDataSource data;
            std::string block(20, '\0');
            const Guid& identity = TkShortcutListCtrl::ProcessIdentity();
            block.replace(0, 16, reinterpret_cast<const char*>(identity.bytes.data()), 16);
            data.CacheGlobalData(TkShortcutListCtrl::DragFormat(), block);
            result = data.DoDragDrop(DROPEFFECT_MOVE);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(TkShortcutDragTest, ABlockTooShortForARecordIsRefused) {
    LargeIcons icons(3);
    Make(first, 0, 2, 60160, icons);
    ShortBlockSource source;
    ASSERT_TRUE(source.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, RECT{300, 0, 400, 100}, &owner, 9));
    const POINT gap = GapBelow(first, 1);
    OffscreenHarness::MousePress(Screen(source, POINT{50, 50}));
    OffscreenHarness::MouseMove(Screen(source, POINT{55, 50}), Qt::LeftButton);
    OffscreenHarness::MouseMove(Screen(first, gap), Qt::LeftButton);
    OffscreenHarness::MouseRelease(Screen(first, gap));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(source.result, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(first.GetItemCount(), 2);
    source.DestroyWindow();
}

TEST_F(TkShortcutListTest, TheViewMenuSwitchesToSmallIcons) {
    LargeIcons icons(3);
    Make(first, 0, 3, 60160, icons);
    first.SetImageList(&icons.list, LVSIL_SMALL);
    for (const int key : {VK_DOWN, VK_DOWN, VK_RETURN})
        first.PostMessage(WM_KEYDOWN, WPARAM(key), 0);
    first.SendMessage(WM_CONTEXTMENU, WPARAM(first.m_hWnd), LPARAM(MAKELPARAM(40, 40)));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(first.itemsSeen, 2);
    EXPECT_EQ(first.GetListStyle() & LVS_TYPEMASK, DWORD(LVS_REPORT));
    // Small icons stand left of their labels.
    RECT icon{}, label{};
    ASSERT_TRUE(first.GetItemRect(0, &icon, LVIR_ICON));
    ASSERT_TRUE(first.GetItemRect(0, &label, LVIR_LABEL));
    EXPECT_LT(icon.right, label.left);
    EXPECT_EQ(At(first, icon.left + 5, icon.top + 5), RGB(255, 0, 0));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(first.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                   "/shortcut-list-small.png"));
}

} // namespace
} // namespace vq
