#include "DockingFixture.h"

namespace vq::test {
namespace {

// Entries of a dock bar written as ids: "|" a row end, "pN" the placeholder of bar N.
class DockInsertTest : public DockingTest {
protected:
    TkDockBar* dock = nullptr;
    CountingBar* bar[10] = {};

    void SetUp() override {
        DockingTest::SetUp();
        dock = Dock(AFX_IDW_DOCKBAR_TOP);
        for (UINT id = 1; id <= 9; ++id) {
            bar[id] = MakeBar(id);
            bar[id]->m_szMRUHorzDock = {300, 40};
        }
    }

    void TearDown() override {
        // The tables put bars into the entries without docking them; they leave with them.
        dock->m_arrBars.assign(1, DockEntry::RowEnd());
        DockingTest::TearDown();
    }

    std::string Entries() const {
        std::string out;
        for (const DockEntry& e : dock->m_arrBars) {
            if (!out.empty()) out += ' ';
            if (e.bar)
                out += std::to_string(e.bar->GetDlgCtrlID());
            else if (e.IsPlaceholder())
                out += "p" + std::to_string(e.placeholder);
            else
                out += "|";
        }
        return out;
    }

    // Sets the entries from the same notation; bars named in them dock here.
    void Set(const std::string& text) {
        std::vector<std::uint32_t> ids;
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t end = std::min(text.find(' ', at), text.size());
            const std::string word = text.substr(at, end - at);
            if (word == "|")
                ids.push_back(0);
            else if (word[0] == 'p')
                ids.push_back(std::uint32_t(std::stoul(word.substr(1))) + 0x10000);
            else
                ids.push_back(std::uint32_t(std::stoul(word)));
            at = end + 1;
        }
        dock->SetBarIds(ids, frame.get());
        for (const DockEntry& e : dock->m_arrBars)
            if (e.bar) {
                ::vq::SetParent(e.bar->m_hWnd, dock->m_hWnd);
                e.bar->m_pDockBar = dock;
                e.bar->m_dwStyle =
                    (e.bar->m_dwStyle & ~DWORD(CBRS_ALIGN_ANY)) | CBRS_ALIGN_TOP | CBRS_BORDER_ANY;
            }
    }

    // Every entry array survives its id list and the rebuild from it.
    void ExpectIdRoundTrip() {
        const std::vector<DockEntry> before = dock->m_arrBars;
        dock->SetBarIds(dock->GetBarIds(), frame.get());
        ASSERT_EQ(dock->m_arrBars.size(), before.size());
        for (std::size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(dock->m_arrBars[i].bar, before[i].bar) << i;
            EXPECT_EQ(dock->m_arrBars[i].placeholder, before[i].placeholder) << i;
        }
    }
};

TEST_F(DockInsertTest, InsertAtPositionCountsRowsAndColumnsFromEitherEnd) {
    using P = TkDockPosition;
    struct Case {
        TkDockPosition position;
        const char* expected;
    };
    const Case cases[] = {
        {{0, 0, 0}, "| 9 1 2 | 3 |"},
        {{0, 1, 0}, "| 1 9 2 | 3 |"},
        {{0, 5, 0}, "| 1 2 9 | 3 |"},
        {{1, 0, 0}, "| 1 2 | 9 3 |"},
        {{0, 0, P::RowFromEnd}, "| 1 2 | 9 3 |"},
        {{1, 0, P::RowFromEnd}, "| 1 2 | 3 | 9 |"},
        {{3, 0, P::RowFromEnd}, "| 1 2 | 3 | | | 9 |"},
        {{-1, 0, 0}, "| 9 1 2 | 3 |"},
        {{-2, 0, 0}, "| 9 | 1 2 | 3 |"},
        {{0, 0, P::NewRow}, "| 9 | 1 2 | 3 |"},
        {{1, 0, P::NewRow}, "| 1 2 | 9 | 3 |"},
        {{0, 0, P::ColumnFromEnd}, "| 1 9 2 | 3 |"},
        {{0, 1, P::ColumnFromEnd}, "| 1 2 9 | 3 |"},
        {{0, -1, P::ColumnFromEnd}, "| 9 1 2 | 3 |"},
        {{0, -5, P::ColumnFromEnd}, "| 9 1 2 | 3 |"},
        // Rows that do not exist become new rows past the end or before the start.
        {{2, 0, 0}, "| 1 2 | 3 | 9 |"},
        {{4, 0, 0}, "| 1 2 | 3 | | | 9 |"},
        {{-2, 0, P::RowFromEnd}, "| 9 | 1 2 | 3 |"},
        {{-3, 0, P::RowFromEnd}, "| 9 | | 1 2 | 3 |"},
    };
    for (const Case& c : cases) {
        Set("| 1 2 | 3 |");
        dock->InsertAtPosition(bar[9], c.position);
        EXPECT_EQ(Entries(), c.expected)
            << c.position.row << ", " << c.position.column << ", flags " << c.position.flags;
        ExpectIdRoundTrip();
    }
    // Hidden bars are not counted as columns; an empty dock bar takes the bar as its first row.
    Set("| 1 4 2 | 3 |");
    ShowWindow(bar[4]->m_hWnd, SW_HIDE);
    dock->InsertAtPosition(bar[9], {0, 1, 0});
    EXPECT_EQ(Entries(), "| 1 9 4 2 | 3 |");
    Set("|");
    dock->InsertAtPosition(bar[9], {2, 3, 0});
    EXPECT_EQ(Entries(), "| 9 |");
}

TEST_F(DockInsertTest, InsertAtPointFindsTheRowAndPlaceUnderTheDrop) {
    struct Case {
        const char* start;
        RECT rect;
        bool rowOwner;
        const char* expected;
    };
    // Row 0 holds bars 1 (1..318) and 2 (324..640) at y 0..40; row 1 bar 3 at y 46..86.
    const Case cases[] = {
        {"| 1 2 | 3 |", {100, -20, 200, 10}, false, "| 9 | 1 2 | 3 |"},
        {"| 1 2 | 3 |", {320, 10, 420, 30}, false, "| 1 9 2 | 3 |"},
        {"| 1 2 | 3 |", {400, 10, 500, 30}, false, "| 1 2 9 | 3 |"},
        {"| 1 2 | 3 | p7 |", {100, 190, 200, 210}, false, "| 1 2 | 3 | 9 | |"},
        {"| 1 2 | 3 |", {320, 10, 420, 30}, true, "| 1 | 9 | 2 | 3 |"},
    };
    for (const Case& c : cases) {
        Set(c.start);
        Layout();
        ASSERT_EQ(InParent(bar[2]), (RECT{324, 0, 640, 40}));
        ASSERT_EQ(InParent(bar[3]).top, 46);
        bar[9]->m_dwExStyle = c.rowOwner ? kSizingExStyle | CBX_ROWOWNER : kSizingExStyle;
        const POINT mid{(c.rect.left + c.rect.right) / 2, (c.rect.top + c.rect.bottom) / 2};
        dock->InsertAtPoint(bar[9], c.rect, mid);
        EXPECT_EQ(Entries(), c.expected) << c.start << " at " << mid.x << "," << mid.y;
        ExpectIdRoundTrip();
    }
}

TEST_F(DockInsertTest, ALoneBarLeavesAPlaceholderRowThatReDockingFills) {
    Set("| 1 2 | 3 |");
    Layout();
    EXPECT_FALSE(dock->RemoveControlBar(bar[3]));
    EXPECT_EQ(Entries(), "| 1 2 | p3 |");
    ExpectIdRoundTrip();
    dock->ReDockControlBar(bar[3], nullptr);
    EXPECT_EQ(Entries(), "| 1 2 | 3 |");
    Idle();
    EXPECT_TRUE(IsWindowVisible(bar[3]->m_hWnd));
    EXPECT_EQ(InParent(bar[3]).top, 46);
}

} // namespace
} // namespace vq::test
