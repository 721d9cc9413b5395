#include "toolkit/frames/TkBmpMgr.h"
#include "toolkit/frames/TkCustomToolBar.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq::test {
namespace {

// Bars without windows: the layout is arithmetic on the buttons. Buttons are 23 x 22, separators
// 8 wide; the classic insets put the first button at (6, 3) and add 6 each way.
struct Layout {
    TkCustomToolBar bar;

    // 'B' a button, 'S' a separator.
    explicit Layout(const char* items, DWORD style = CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC) {
        bar.m_dwStyle = style;
        std::vector<UINT> ids;
        for (const char* c = items; *c; ++c)
            ids.push_back(*c == 'S' ? 0 : UINT(100 + ids.size()));
        bar.SetButtons(ids.data(), int(ids.size()));
    }
    std::vector<POINT> Positions() const {
        std::vector<POINT> out;
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            out.push_back({bar.GetButtonAt(i)->m_x, bar.GetButtonAt(i)->m_y});
        return out;
    }
    std::vector<int> Wrapped() const {
        std::vector<int> out;
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            if (bar.GetButtonStyle(i) & TKBS_WRAPPED) out.push_back(i);
        return out;
    }
};

TEST(ToolBarLayout, RowsBreakAtSeparatorsAndBalance) {
    struct Case {
        const char* name;
        const char* items;
        std::int32_t mruWidth;
        std::vector<POINT> positions;
        std::vector<int> wrapped;
        SIZE size;
    };
    const std::vector<Case> cases{
        {"four and three",
         "BBBBBBB",
         100,
         {{6, 3}, {29, 3}, {52, 3}, {75, 3}, {6, 25}, {29, 25}, {52, 25}},
         {3},
         {98, 50}},
        // The row ends at its separator, which its width leaves out; 5 pixels more below it.
        {"separator break",
         "BBBSBBB",
         100,
         {{6, 3}, {29, 3}, {52, 3}, {75, 3}, {6, 30}, {29, 30}, {52, 30}},
         {3},
         {75, 55}},
        // Wrapped as 100 + 23, balanced by moving the group after the first separator down.
        {"group moves down",
         "BBSBBSB",
         110,
         {{6, 3}, {29, 3}, {52, 3}, {6, 30}, {29, 30}, {52, 30}, {60, 30}},
         {2},
         {83, 55}},
        // Moving the group would make the last row the wider one, and the last row passes nothing on.
        {"group stays",
         "BBSBBSBBB",
         110,
         {{6, 3}, {29, 3}, {52, 3}, {60, 3}, {83, 3}, {106, 3}, {6, 30}, {29, 30}, {52, 30}},
         {5},
         {106, 55}},
        {"one row", "BBBB", 0x7FFF, {{6, 3}, {29, 3}, {52, 3}, {75, 3}}, {}, {98, 28}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout l(c.items);
        l.bar.m_nMRUWidth = c.mruWidth;
        const SIZE size = l.bar.CalcLayout(-1, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(l.Positions(), c.positions);
        EXPECT_EQ(l.Wrapped(), c.wrapped);
        EXPECT_EQ(l.bar.m_nMRUWidth, c.size.cx);
        EXPECT_EQ(l.bar.m_szMRUFloat, c.size);
    }
}

TEST(ToolBarLayout, AnOversizeButtonKeepsItsRowAndLetsOthersJoin) {
    Layout l("BBB");
    l.bar.GetButtonAt(0)->m_cx = 120;
    std::vector<TkCustomToolBar::RowInfo> rows;
    ASSERT_EQ(l.bar.WrapButtons(50, rows), 1);
    EXPECT_EQ(rows[0].last, 2);
    EXPECT_EQ(rows[0].width, 166);
    // Asked for a width, the widest button is the least it takes.
    l.bar.m_nMRUWidth = 50;
    l.bar.CalcLayout(-1, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
    EXPECT_EQ(l.Positions(), (std::vector<POINT>{{6, 3}, {6, 25}, {29, 25}}));
}

TEST(ToolBarLayout, AHeightTakesTheNarrowestWidthThatFits) {
    Layout l("BBBBBBB");
    // Three rows asked for: starting at 7 x 23 / 3 = 53 (four rows), widened by a button to 76.
    const SIZE size = l.bar.CalcLayout(66 + 6, LM_LENGTHY | LM_COMMIT);
    EXPECT_EQ(size, (SIZE{69 + 6, 66 + 6}));
    EXPECT_EQ(l.Wrapped(), (std::vector<int>{1, 4}));
    EXPECT_EQ(l.bar.m_nMRUWidth, 32767) << "a height leaves the width remembered";
}

TEST(ToolBarLayout, DockedVerticallyItIsOneColumn) {
    Layout l("BBSB", CBRS_ALIGN_LEFT | CBRS_SIZE_DYNAMIC);
    const SIZE size = l.bar.CalcDynamicLayout(0, LM_VERTDOCK);
    // Vertically the borders swap: the first button at (3, 6). The separator ends the second row,
    // out of the column's width, and leaves its gap below.
    EXPECT_EQ(l.Positions(), (std::vector<POINT>{{3, 6}, {3, 28}, {26, 28}, {3, 55}}));
    EXPECT_EQ(size, (SIZE{29, 22 + 22 + 5 + 22 + 6}));
    EXPECT_EQ(l.bar.m_szMRUVertDock, size);
}

TEST(ToolBarLayout, ACleanLayoutAnswersFromItsCache) {
    Layout l("BBB");
    const SIZE first = l.bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    EXPECT_EQ(first, (SIZE{75, 28}));
    l.bar.GetButtonAt(0)->m_cx = 50;
    EXPECT_EQ(l.bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), first);
    EXPECT_EQ(l.bar.CalcLayout(-1, LM_HORZ | LM_HORZDOCK), first);
    EXPECT_EQ(l.bar.GetButtonAt(1)->m_x, 29) << "nothing moved";
    l.bar.m_bDirtyHorz = TRUE;
    EXPECT_EQ(l.bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), (SIZE{102, 28}));
}

TEST(ToolBarLayout, HiddenButtonsTakeNoRoomAndCannotBeHit) {
    Layout l("BBB");
    l.bar.SetButtonHidden(1, TRUE);
    const SIZE size = l.bar.CalcLayout(0x7FFF, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    EXPECT_EQ(size, (SIZE{52, 28}));
    ASSERT_EQ(l.bar.GetButtonCount(), 3) << "back in place";
    EXPECT_EQ(l.bar.GetButtonCommand(1), 101u);
    EXPECT_EQ(l.bar.GetButtonAt(2)->m_x, 29);
    EXPECT_EQ(l.bar.ButtonFromPoint(35, 10, nullptr), 2);
}

TEST(ToolBarLayout, TheHitTestCountsRowsOneButtonHigh) {
    Layout l("BSBBB");
    l.bar.m_nMRUWidth = 60;
    l.bar.CalcLayout(-1, LM_MRUWIDTH | LM_HORZ | LM_COMMIT);
    // Rows: button and separator, then two buttons, then one; the first row is 22 + 5 high.
    ASSERT_EQ(l.Wrapped(), (std::vector<int>{1, 3}));
    l.bar.GetButtonAt(0)->m_cy = 40;
    struct Hit {
        std::int32_t x, y;
        int index;
    };
    for (const Hit& h : {Hit{6, 3, 0}, Hit{29, 10, 0}, Hit{30, 10, -1}, Hit{10, 25, 0}, Hit{10, 26, -1},
                         Hit{10, 30, 2}, Hit{52, 52, 3}, Hit{10, 60, 4}, Hit{40, 60, -1}, Hit{10, 2, -1}}) {
        RECT r{};
        EXPECT_EQ(l.bar.ButtonFromPoint(h.x, h.y, &r), h.index) << h.x << "," << h.y;
        if (h.index >= 0) {
            EXPECT_EQ(r, l.bar.GetButtonRect(h.index));
        }
    }
}

std::string Items(const TkCustomToolBar& bar) {
    std::string out;
    for (int i = 0; i < bar.GetButtonCount(); ++i)
        out += bar.GetButtonAt(i)->IsSeparator() ? 'S' : 'B';
    return out;
}

TEST(ToolBarButtons, RemovingAButtonCleansUpOneSeparator) {
    struct Case {
        const char* items;
        int index;
        const char* left;
        bool remains;
    };
    for (const Case& c : {Case{"BSB", 0, "B", true}, Case{"BSB", 2, "B", true}, Case{"BSBSB", 2, "BSB", true},
                          Case{"BBS", 0, "BS", true}, Case{"BSBB", 2, "BSB", true}, Case{"B", 0, "", false},
                          Case{"BSB", 3, "BSB", false}, Case{"BSB", -1, "BSB", false}}) {
        Layout l(c.items);
        EXPECT_EQ(l.bar.RemoveButton(c.index, TRUE) != FALSE, c.remains) << c.items << " " << c.index;
        EXPECT_EQ(Items(l.bar), c.left) << c.items << " " << c.index;
    }
}

TEST(ToolBarButtons, SelectionAndHotButtonFollowARemoval) {
    // The button at 2 and the separator at 3 go: what was at 4 is now at 2.
    struct Case {
        int before, after;
    };
    for (const Case& c : {Case{4, 2}, Case{5, 3}, Case{1, 1}, Case{2, -1}, Case{3, -1}}) {
        Layout fresh("BSBSBB");
        fresh.bar.m_bCustomize = TRUE;
        fresh.bar.m_nCurrent = fresh.bar.m_nHot = c.before;
        fresh.bar.RemoveButton(2, TRUE);
        EXPECT_EQ(fresh.bar.m_nCurrent, c.after) << c.before;
        EXPECT_EQ(fresh.bar.m_nHot, c.after) << c.before;
    }
}

TEST(ToolBarLayout, MetricsFollowTheImageSize) {
    TkCustomToolBar bar;
    EXPECT_EQ(bar.GetSeparatorWidth(), 8);
    bar.m_pBmpMgr->SetSmallImages(FALSE);
    EXPECT_EQ(bar.GetSeparatorWidth(), 10);
    EXPECT_EQ(bar.GetButtonWidth(), 29);
    EXPECT_EQ(bar.GetButtonHeight(), 31);
}

} // namespace
} // namespace vq::test
