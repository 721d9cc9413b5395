#include "platform/classlib/ListView.h"

#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/SelectedBitmap.h"
#include "platform/gui/StandardControls.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq {
namespace {

// One notification the list sent its parent, copied while it was valid.
struct Note {
    UINT code;
    int item;
    int subItem;
    UINT oldState;
    UINT newState;
    LPARAM data;
};

class Host : public CWnd {
public:
    std::vector<Note> notes;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            const auto* list = reinterpret_cast<const NM_LISTVIEW*>(lParam);
            notes.push_back(
                {header->code, list->iItem, list->iSubItem, list->uOldState, list->uNewState, list->lParam});
        }
        return CWnd::OnWndMsg(message, wParam, lParam, result);
    }
};

// Row k's data has bits above the low 32 so that a narrowed value shows.
LPARAM DataOf(int k) {
    return (LPARAM(k) << 40) | k;
}

std::string TextOf(int k) {
    return "Host " + std::to_string(k);
}

// Two 16 × 16 images: a red square and a green one on a magenta background that is transparent.
HIMAGELIST MakeImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2);
    HBITMAP strip = CreateBitmap(32, 16, 1, 32, nullptr);
    {
        SelectedBitmap dc(strip);
        const RECT all{0, 0, 32, 16}, red{3, 3, 13, 13}, green{19, 3, 29, 13};
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255)), r = CreateSolidBrush(RGB(255, 0, 0)),
               g = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(dc.Dc(), &all, magenta);
        FillRect(dc.Dc(), &red, r);
        FillRect(dc.Dc(), &green, g);
        for (HBRUSH b : {magenta, r, g})
            DeleteObject(b);
    }
    ImageList_AddMasked(list, strip, RGB(255, 0, 255));
    DeleteObject(strip);
    return list;
}

int Descending(LPARAM a, LPARAM b, LPARAM) {
    return a < b ? 1 : a > b ? -1 : 0;
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        RegisterStandardControls();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, {0, 0, 420, 300}, nullptr, 0));
        view = new CListView;
        ASSERT_TRUE(view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, {10, 10, 410, 290}, &host, 1));
        images = MakeImages();
        CListCtrl& list = view->GetListCtrl();
        list.SetImageList(images, LVSIL_SMALL);
        list.InsertColumn(0, "Name", LVCFMT_LEFT, 150);
        list.InsertColumn(1, "Address", LVCFMT_LEFT, 120);
        list.InsertColumn(2, "Seen", LVCFMT_RIGHT, 80);
        // Each row goes in at the top, so the last made is first.
        for (int k = 0; k < 500; ++k) {
            const std::string text = TextOf(k);
            EXPECT_EQ(
                list.InsertItem(LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM, 0, text.c_str(), 0, 0, k % 2, DataOf(k)),
                0);
            list.SetItemText(0, 1, ("10.0.0." + std::to_string(k % 256)).c_str());
            list.SetItemText(0, 2, std::to_string(k * 3).c_str());
        }
        OffscreenHarness::RunUntilIdle();
    }

    void TearDown() override {
        host.DestroyWindow();
        ImageList_Destroy(images);
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }

    CListCtrl& List() { return view->GetListCtrl(); }

    POINT RowPoint(int row, int x = 60) {
        RECT r;
        List().GetItemRect(row, &r, LVIR_BOUNDS);
        POINT p{x, (r.top + r.bottom) / 2};
        ClientToScreen(view->m_hWnd, &p);
        return p;
    }

    // Clicks apart in time, so none is taken for a double-click.
    void Click(POINT p, Qt::MouseButton button = Qt::LeftButton) {
        clock.AdvanceMilliseconds(1000);
        OffscreenHarness::MousePress(p, button);
        OffscreenHarness::MouseRelease(p, button);
        OffscreenHarness::RunUntilIdle();
    }

    std::vector<UINT> Codes() const {
        std::vector<UINT> out;
        for (const Note& n : host.notes)
            out.push_back(n.code);
        return out;
    }

    ManualMonotonicClock clock{1'000'000'000};
    Host host;
    CListView* view = nullptr;
    HIMAGELIST images = nullptr;
};

TEST_F(ListViewTest, ShowsHeadingsIconsAndTheSelection) {
    CListCtrl& list = List();
    ASSERT_EQ(list.GetItemCount(), 500);
    EXPECT_EQ(list.GetItemText(0, 0), "Host 499");
    EXPECT_EQ(list.GetItemText(499, 2), "0");
    EXPECT_EQ(list.GetItemData(0), DataOf(499));
    EXPECT_EQ(list.GetColumnWidth(1), 120);
    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(host.notes.empty());

    const HWND w = view->m_hWnd;
    RECT row0;
    list.GetItemRect(0, &row0, LVIR_BOUNDS);
    // Heading text above the first row, in the first column.
    int headingInk = 0;
    for (int y = 0; y < row0.top; ++y)
        for (int x = 0; x < 60; ++x)
            headingInk += OffscreenHarness::Pixel(w, x, y) == RGB(0, 0, 0);
    EXPECT_GT(headingInk, 10);
    // Row 0 (data 499, odd) shows the green image, row 1 the red one, inside their icon places.
    const auto count = [&](int row, COLORREF colour) {
        RECT icon;
        list.GetItemRect(row, &icon, LVIR_ICON);
        int n = 0;
        for (int y = icon.top; y < icon.bottom; ++y)
            for (int x = icon.left; x < icon.right; ++x)
                n += OffscreenHarness::Pixel(w, x, y) == colour;
        return n;
    };
    EXPECT_EQ(count(0, RGB(0, 255, 0)), 100);
    EXPECT_EQ(count(1, RGB(255, 0, 0)), 100);
    EXPECT_EQ(count(0, RGB(255, 0, 255)), 0);
    // The selected row is in the highlight colour across its columns; the next row is not.
    RECT row2;
    list.GetItemRect(2, &row2, LVIR_BOUNDS);
    const int y2 = (row2.top + row2.bottom) / 2;
    EXPECT_EQ(OffscreenHarness::Pixel(w, 300, y2), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(OffscreenHarness::Pixel(w, 300, y2 + row2.Height()), GetSysColor(COLOR_WINDOW));
    EXPECT_TRUE(OffscreenHarness::SaveScreenshot(host.m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                  "/list-view.png"));
}

TEST_F(ListViewTest, OnlyTheUsersClicksAreReported) {
    CListCtrl& list = List();
    Click(RowPoint(2));
    ASSERT_EQ(Codes(), (std::vector<UINT>{LVN_ITEMCHANGED, NM_CLICK}));
    EXPECT_EQ(host.notes[0].item, 2);
    EXPECT_EQ(host.notes[0].oldState, 0u);
    EXPECT_EQ(host.notes[0].newState, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(host.notes[0].data, DataOf(497));
    EXPECT_EQ(host.notes[1].item, 2);
    EXPECT_EQ(GetFocus(), view->m_hWnd);

    // Control and click: the selection grows, the focus moves.
    host.notes.clear();
    OffscreenHarness::Key(Qt::Key_Control, Qt::ControlModifier, "", true);
    Click(RowPoint(4));
    OffscreenHarness::Key(Qt::Key_Control, Qt::NoModifier, "", false);
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(list.GetSelectedCount(), 2u);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(list.GetNextItem(2, LVNI_SELECTED), 4);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 4);
    ASSERT_EQ(Codes(), (std::vector<UINT>{LVN_ITEMCHANGED, LVN_ITEMCHANGED, NM_CLICK}));
    EXPECT_EQ(host.notes[0].item, 2);
    EXPECT_EQ(host.notes[0].newState, LVIS_SELECTED);
    EXPECT_EQ(host.notes[1].item, 4);

    // A heading pressed and released: its column.
    host.notes.clear();
    RECT row0;
    list.GetItemRect(0, &row0, LVIR_BOUNDS);
    POINT heading{200, row0.top / 2};
    ClientToScreen(view->m_hWnd, &heading);
    Click(heading);
    ASSERT_EQ(Codes(), std::vector<UINT>{LVN_COLUMNCLICK});
    EXPECT_EQ(host.notes[0].item, -1);
    EXPECT_EQ(host.notes[0].subItem, 1);

    // Double and right clicks name their row.
    host.notes.clear();
    clock.AdvanceMilliseconds(1000);
    for (int i = 0; i < 2; ++i) {
        OffscreenHarness::MousePress(RowPoint(4));
        OffscreenHarness::MouseRelease(RowPoint(4));
    }
    OffscreenHarness::RunUntilIdle();
    ASSERT_FALSE(host.notes.empty());
    EXPECT_EQ(host.notes.back().code, NM_DBLCLK);
    EXPECT_EQ(host.notes.back().item, 4);
    host.notes.clear();
    Click(RowPoint(6), Qt::RightButton);
    ASSERT_FALSE(host.notes.empty());
    EXPECT_EQ(host.notes.back().code, NM_RCLICK);
    EXPECT_EQ(host.notes.back().item, 6);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 6);

    // What the code does is not reported.
    host.notes.clear();
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.InsertItem(0, "new");
    list.DeleteItem(3);
    list.SortItems(Descending, 0);
    OffscreenHarness::RunUntilIdle();
    EXPECT_TRUE(host.notes.empty());
}

TEST_F(ListViewTest, SortingKeepsEachRowsDataWithItsTextsAndState) {
    CListCtrl& list = List();
    // Ascending by data: row 0 was data 499.
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_TRUE(list.SortItems([](LPARAM a, LPARAM b, LPARAM) { return a < b ? -1 : a > b ? 1 : 0; }, 0));
    for (int row = 0; row < 500; ++row) {
        const LPARAM data = list.GetItemData(row);
        ASSERT_EQ(data, DataOf(row));
        ASSERT_EQ(list.GetItemText(row, 0), TextOf(row));
        ASSERT_EQ(list.GetItemText(row, 2), std::to_string(row * 3));
    }
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 499);
    EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 499);
    LV_ITEM item;
    item.mask = LVIF_IMAGE;
    item.iItem = 3;
    list.GetItem(&item);
    EXPECT_EQ(item.iImage, 1);
}

TEST_F(ListViewTest, SearchesByDataWholeTextWithCaseAndPrefix) {
    CListCtrl& list = List();
    list.SetItemText(10, 0, "abc");
    list.SetItemText(20, 0, "abc");
    const struct {
        UINT flags;
        const char* text;
        LPARAM data;
        int start;
        int found;
    } cases[] = {
        {LVFI_STRING, "abc", 0, -1, 10},
        {LVFI_STRING, "abc", 0, 10, 20},
        {LVFI_STRING, "abc", 0, 20, -1},
        {LVFI_STRING | LVFI_WRAP, "abc", 0, 20, 10},
        {LVFI_STRING, "Abc", 0, -1, -1},
        {LVFI_STRING, "ab", 0, -1, -1},
        {LVFI_STRING | LVFI_PARTIAL, "ab", 0, -1, 10},
        {LVFI_STRING | LVFI_PARTIAL, "Host 49", 0, -1, 0},
        {LVFI_PARAM, nullptr, DataOf(250), -1, 249},
        {LVFI_PARAM, nullptr, 250, -1, -1},
        {LVFI_STRING, nullptr, 0, -1, -1},
    };
    for (const auto& c : cases) {
        LV_FINDINFO find;
        find.flags = c.flags;
        find.psz = c.text;
        find.lParam = c.data;
        EXPECT_EQ(list.FindItem(&find, c.start), c.found)
            << (c.text ? c.text : "(data)") << " from " << c.start;
    }
}

} // namespace
} // namespace vq
