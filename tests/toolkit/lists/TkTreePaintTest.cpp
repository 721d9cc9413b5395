#include "TreeFixture.h"
#include "platform/classlib/ImageList.h"
#include "platform/gui/Gdi.h"
#include "platform/gui/SystemColours.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

// Square images of one colour each, in an image list of their own.
class Squares {
public:
    explicit Squares(std::initializer_list<COLORREF> colours, int side = 16) {
        list.Create(side, side, ILC_COLOR32, 1, 1);
        for (COLORREF colour : colours) {
            HDC dc = CreateCompatibleDC(nullptr);
            HBITMAP bitmap = CreateBitmap(side, side, 1, 32, nullptr);
            HGDIOBJ old = SelectObject(dc, bitmap);
            HBRUSH brush = CreateSolidBrush(colour);
            const RECT all{0, 0, side, side};
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

class TkTreePaintTest : public TreeFixture {
protected:
    void SetUp() override {
        Make();
        tree.SetImageList(&icons.list, TVSIL_NORMAL);
        net = tree.InsertItem("net", 0, 0);
        hostA = tree.InsertItem("host a", 0, 0, net);
        hostB = tree.InsertItem("host b", 0, 0, net);
        tree.SetItemState(hostB, TVIS_BOLD, TVIS_BOLD);
        other = Add("other");
        folder = tree.InsertItem("folder", 0, 0);
        tree.InsertItem("inside", 0, 0, folder);
        tree.Expand(net, TVE_EXPAND);
        tree.UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    RECT Bounds(HTREEITEM item) {
        RECT r{};
        EXPECT_TRUE(tree.GetItemRect(item, &r, LVIR_BOUNDS));
        return r;
    }
    RECT Label(HTREEITEM item) {
        RECT r{};
        EXPECT_TRUE(tree.GetItemRect(item, &r, LVIR_LABEL));
        return r;
    }
    int IconCentre(HTREEITEM item) {
        RECT r{};
        EXPECT_TRUE(tree.GetItemRect(item, &r, LVIR_ICON));
        return (r.top + r.bottom) / 2;
    }

    Squares icons{RGB(0, 128, 0), RGB(0, 0, 255)};
    HTREEITEM net = nullptr, hostA = nullptr, hostB = nullptr, other = nullptr, folder = nullptr;
};

TEST_F(TkTreePaintTest, ButtonsLinesIconsAndLabelsLandWhereTheyBelong) {
    SetFocus(tree.m_hWnd);
    tree.SelectItem(hostA);
    OffscreenHarness::RunUntilIdle();
    Save("tree-lines-buttons.png");
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), window = GetSysColor(COLOR_WINDOW);

    // The box of a 16-pixel icon is 9 x 9 round the line column (8) and the icon's centre.
    RECT box{};
    ASSERT_TRUE(tree.GetButtonRect(0, &box));
    EXPECT_EQ(box.Width(), 9);
    EXPECT_EQ(box.Height(), 9);
    const int cx = 8, cy = IconCentre(net);
    EXPECT_EQ(box.left, cx - 4);
    EXPECT_EQ(box.top, cy - 4);
    for (POINT edge :
         {POINT{box.left, cy}, POINT{box.right - 1, cy}, POINT{cx, box.top}, POINT{cx, box.bottom - 1}})
        EXPECT_EQ(At(edge.x, edge.y), shadow) << edge.x << "," << edge.y;
    // Expanded: a minus, nothing in the vertical stroke.
    EXPECT_EQ(At(cx, cy), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(At(cx - 2, cy), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(At(cx, cy - 2), RGB(255, 255, 255));
    EXPECT_EQ(At(cx, cy + 2), RGB(255, 255, 255));
    // Collapsed: a plus.
    const int fy = IconCentre(folder);
    EXPECT_EQ(At(cx, fy - 2), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(At(cx, fy + 2), GetSysColor(COLOR_WINDOWTEXT));

    // The line down from "net" to "other" passes the children's rows in dots.
    const RECT childRow = Bounds(hostA);
    for (int y = childRow.top; y < childRow.bottom; ++y)
        EXPECT_EQ(At(cx, y), (cx + y) % 2 == 0 ? shadow : window) << y;

    // Icons at the indentation; a label without an image starts 6 pixels in from its level.
    EXPECT_EQ(At(28, IconCentre(net)), RGB(0, 128, 0));
    EXPECT_EQ(At(48, IconCentre(hostA)), RGB(0, 128, 0));
    EXPECT_EQ(Label(other).left, 20 + 6);
    EXPECT_EQ(Label(net).left, 20 + 16 + 6);

    // The focused, selected label: the highlight and a dotted frame 3 pixels out from the text.
    const RECT label = Label(hostA);
    const int middle = (label.top + label.bottom) / 2;
    EXPECT_EQ(At(label.left - 2, middle), GetSysColor(COLOR_HIGHLIGHT));
    int framed = 0, filled = 0;
    for (int y = label.top + 2; y < label.bottom - 2; ++y)
        (At(label.left - 3, y) == GetSysColor(COLOR_HIGHLIGHT) ? filled : framed) += 1;
    EXPECT_GT(framed, 2);
    EXPECT_GT(filled, 2);
    // Unfocused, the frame goes.
    SetFocus(parent.m_hWnd);
    OffscreenHarness::RunUntilIdle();
    for (int y = label.top + 2; y < label.bottom - 2; ++y)
        EXPECT_NE(At(label.left - 3, y), GetSysColor(COLOR_HIGHLIGHT) ^ 0xFFFFFF);
}

TEST_F(TkTreePaintTest, BoldLabelsAreWider) {
    tree.SetItemText(hostB, "host a");
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    EXPECT_GT(Label(hostB).Width(), Label(hostA).Width());
}

TEST_F(TkTreePaintTest, AWrappedLabelIsDrawnInTwoPartsWithoutItsMarker) {
    tree.ModifyTreeExStyle(0, TreeExLabelWrap, TRUE);
    HTREEITEM split = Add("one\\{HI}two");
    HTREEITEM whole = Add("onetwo");
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    Save("tree-split-label.png");
    const RECT a = Label(split), b = Label(whole);
    ASSERT_EQ(a.left, b.left);
    EXPECT_EQ(a.Width(), b.Width());
    int differing = 0, ink = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = a.left; x < a.right; ++x) {
            differing += At(x, a.top + y) != At(x, b.top + y);
            ink += At(x, b.top + y) != GetSysColor(COLOR_WINDOW);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(ink, 10);

    // Without wrapping the marker is text like any other.
    tree.ModifyTreeExStyle(TreeExLabelWrap, 0, TRUE);
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    EXPECT_GT(Label(split).Width(), Label(whole).Width());
}

TEST_F(TkTreePaintTest, HitTestsNameThePartUnderThePoint) {
    Squares states{RGB(255, 0, 0), RGB(255, 255, 0)};
    tree.SetImageList(&states.list, TVSIL_STATE);
    tree.SetItemState(other, 1u << 12, TVIS_STATEIMAGEMASK);
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    const int cy = IconCentre(net);
    const RECT otherRow = Bounds(other), last = Bounds(folder);
    const int oy = (otherRow.top + otherRow.bottom) / 2;
    struct Case {
        POINT point;
        UINT flags;
        HTREEITEM item;
    };
    const Case cases[] = {
        {{8, cy}, 0x4010, net},    // the button
        {{15, cy}, 0x4008, net},   // the indentation
        {{28, cy}, 0x4002, net},   // the icon
        {{28, oy}, 0x4040, other}, // the state icon
        {{Label(net).left + 2, cy}, 0x4004, net},
        {{150, cy}, 0x4020, net}, // right of the label
        {{50, last.bottom + 20}, TVHT_NOWHERE, nullptr},
        {{50, -3}, TVHT_ABOVE, nullptr},
        {{50, 230}, TVHT_BELOW, nullptr},
    };
    for (const Case& c : cases) {
        UINT flags = 0;
        EXPECT_EQ(tree.HitTest(c.point, &flags), c.item) << c.point.x << "," << c.point.y;
        EXPECT_EQ(flags, c.flags) << c.point.x << "," << c.point.y;
    }
    // State image 1 of the list, left of where the label starts.
    EXPECT_EQ(At(24, oy), RGB(255, 255, 0));
    EXPECT_EQ(Label(other).left, 20 + 16 + 6);
    Save("tree-state-icon.png");
}

TEST_F(TkTreePaintTest, AnOverlayIsDrawnOverTheIcon) {
    ASSERT_TRUE(ImageList_SetOverlayImage(icons.list.GetSafeHandle(), 1, 1));
    tree.SetItemState(other, INDEXTOOVERLAYMASK(1), TVIS_OVERLAYMASK);
    tree.SetItemImage(other, 0, 0);
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(At(28, IconCentre(other)), RGB(0, 0, 255));
    EXPECT_EQ(At(28, IconCentre(net)), RGB(0, 128, 0));
}

TEST_F(TkTreePaintTest, DragImagesHoldTheIconAndLabelOfEachSelectedRow) {
    std::unique_ptr<CImageList> image = tree.CreateDragImage(hostA);
    ASSERT_TRUE(image);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(image->GetSafeHandle(), &width, &height));
    HDC dc = GetDC(tree.m_hWnd);
    HGDIOBJ old = SelectObject(dc, tree.GetItemFont());
    RECT text{0, 0, 0, 0};
    DrawText(dc, "host a", -1, &text, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(tree.m_hWnd, dc);
    EXPECT_EQ(width, 16 + 6 + text.Width());
    EXPECT_EQ(height, std::max<int>(16, text.Height()));

    tree.ModifyTreeExStyle(0, TreeExMultiSelect, FALSE);
    tree.SelectItem(net);
    tree.SelectItemAdd(hostA);
    tree.SelectItemAdd(hostB);
    POINT corner{-1, -1};
    std::unique_ptr<CImageList> all = tree.CreateSelectionDragImage(&corner);
    ASSERT_TRUE(all);
    ASSERT_TRUE(ImageList_GetIconSize(all->GetSafeHandle(), &width, &height));
    const RECT first = Bounds(net), last = Bounds(hostB);
    EXPECT_EQ(corner.x, first.left);
    EXPECT_EQ(corner.y, first.top);
    EXPECT_EQ(height, last.bottom - first.top);
    // Each row's icon sits one indent further in per level.
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateBitmap(width, height, 1, 32, nullptr);
    HGDIOBJ previous = SelectObject(memory, canvas);
    const RECT whole{0, 0, width, height};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(memory, &whole, white);
    DeleteObject(white);
    all->Draw(memory, 0, POINT{0, 0}, ILD_TRANSPARENT);
    const int rowTwo = Bounds(hostA).top - first.top;
    EXPECT_EQ(GetPixel(memory, 4, 4), RGB(0, 128, 0));
    EXPECT_EQ(GetPixel(memory, 24, rowTwo + 4), RGB(0, 128, 0));
    EXPECT_NE(GetPixel(memory, 4, rowTwo + 4), RGB(0, 128, 0));
    SelectObject(memory, previous);
    DeleteObject(canvas);
    DeleteDC(memory);

    tree.SetImageList(nullptr, TVSIL_NORMAL);
    EXPECT_EQ(tree.CreateDragImage(hostA), nullptr);
}

TEST_F(TkTreePaintTest, ColumnsShowStoredTextsAndAPointInThemNamesTheRowOnly) {
    tree.SetTreeExStyle(TreeExColumnHeader, TRUE);
    tree.SetColumnWidth(0, 110);
    tree.AddColumn("Size", LVCFMT_RIGHT, 80, -1, -1);
    tree.EnableSubItemStorage(TRUE);
    tree.SetItemText(net, 1, "3 hosts");
    tree.SetItemText(hostA, 1, "1.5 kB");
    tree.SetItemText(folder, 1, "empty");
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    Save("tree-columns.png");
    const RECT row = Bounds(hostA);
    const POINT inSize{150, (row.top + row.bottom) / 2};
    int ink = 0;
    for (int x = 112; x < 190; ++x)
        ink += At(x, inSize.y) != GetSysColor(COLOR_WINDOW);
    EXPECT_GT(ink, 3);
    UINT flags = 0;
    EXPECT_EQ(tree.HitTest(inSize, &flags), nullptr);
    EXPECT_EQ(flags, TreeHitOnRow);
    tree.ModifyListExStyle(0, LVXS_FULLROWSELECT, TRUE);
    EXPECT_EQ(tree.HitTest(inSize, &flags), hostA);
    EXPECT_EQ(flags, TreeHitOnRow);
}

// Counts the paints that reach the tree.
class CountingTree : public TkTreeCtrl {
public:
    int paints = 0;
    void Paint(HDC dc) override {
        ++paints;
        TkTreeCtrl::Paint(dc);
    }
};

TEST(TkTreeRedrawTest, ExpandAllAndCollapseAllPaintOnce) {
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 220, 220}, nullptr, 0));
    CountingTree tree;
    ASSERT_TRUE(
        tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS, RECT{0, 0, 200, 200}, &parent, 3));
    for (int p = 0; p < 3; ++p) {
        HTREEITEM top = tree.InsertItem(("top " + std::to_string(p)).c_str());
        HTREEITEM middle = tree.InsertItem("middle", top);
        tree.InsertItem("leaf", middle);
    }
    tree.UpdateLayout();
    OffscreenHarness::RunUntilIdle();
    tree.paints = 0;
    ASSERT_TRUE(tree.ExpandAll(TVI_ROOT, TRUE));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(tree.paints, 1);
    EXPECT_EQ(tree.GetItemCount(), 9);
    tree.paints = 0;
    ASSERT_TRUE(tree.CollapseAll(tree.GetRootItem(), TRUE));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(tree.paints, 1);
    EXPECT_EQ(tree.GetItemCount(), 7);
    tree.DestroyWindow();
    parent.DestroyWindow();
    OffscreenHarness::RunUntilIdle();
}

} // namespace
} // namespace vq
