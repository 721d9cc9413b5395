#include "ListSpy.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/thread/MonotonicClock.h"
#include "tests/support/TestPaths.h"
#include "toolkit/lists/TkListCtrl.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vq {
namespace {

class TkListEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMonotonicClock(&clock);
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "", WS_POPUP | WS_VISIBLE, RECT{0, 0, 320, 240}, nullptr, 0));
        list = std::make_unique<TkListCtrl>();
        ASSERT_TRUE(list->Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_EDITLABELS | LVS_NOLABELWRAP,
                                 RECT{0, 0, 300, 200}, &parent, 7));
        list->AddColumn("Name", LVCFMT_LEFT, 150, -1, -1);
        for (int i = 0; i < 5; ++i)
            list->InsertItem(i, ("item " + std::to_string(i)).c_str());
        list->UpdateLayout();
        OffscreenHarness::RunUntilIdle();
    }
    void TearDown() override {
        if (list) list->DestroyWindow();
        parent.DestroyWindow();
        OffscreenHarness::RunUntilIdle();
        SetMonotonicClock(nullptr);
    }
    void Click(int item) {
        RECT label{};
        ASSERT_TRUE(list->GetItemRect(item, &label, LVIR_LABEL));
        const LPARAM at = LPARAM(MAKELPARAM(label.left + 8, (label.top + label.bottom) / 2));
        list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        list->SendMessage(WM_LBUTTONUP, 0, at);
        OffscreenHarness::RunUntilIdle();
    }
    void Wait(int milliseconds) {
        for (int passed = 0; passed < milliseconds; passed += 50) {
            clock.AdvanceMilliseconds(50);
            OffscreenHarness::RunUntilIdle();
        }
    }
    void Save() {
        EXPECT_TRUE(OffscreenHarness::SaveScreenshot(list->m_hWnd, vq::test::TestPath("VQ_TEST_OUTPUT_DIR") +
                                                                       "/list-label-edit.png"));
    }
    bool Editing() { return list->GetEditControl()->m_hWnd != 0; }
    void Type(const char* text) {
        list->GetEditControl()->SendMessage(EM_REPLACESEL, TRUE, LPARAM(text));
        OffscreenHarness::RunUntilIdle();
    }
    void Key(WPARAM key) {
        list->GetEditControl()->SendMessage(WM_KEYDOWN, key, 1);
        OffscreenHarness::RunUntilIdle();
    }
    std::string Text(int item) { return list->GetItemText(item, 0); }
    std::string Texts() {
        std::string all;
        for (int i = 0; i < list->GetItemCount(); ++i)
            all += Text(i) + "|";
        return all;
    }
    // Answers LVN_ENDLABELEDIT with `accept` after running `during`.
    void OnEnd(LRESULT accept, std::function<void()> during = nullptr) {
        parent.answer = [=](NMHDR* header) -> LRESULT {
            if (header->code != LVN_ENDLABELEDIT) return 0;
            if (during) during();
            return accept;
        };
    }

    ManualMonotonicClock clock{1'000'000'000};
    ListSpy parent;
    std::unique_ptr<TkListCtrl> list;
};

TEST_F(TkListEditTest, ASlowSecondClickOnTheSelectedLabelEdits) {
    Click(2);
    Wait(700);
    EXPECT_FALSE(Editing());
    Click(2);
    Wait(450);
    EXPECT_FALSE(Editing());
    Wait(100);
    ASSERT_TRUE(Editing());
    EXPECT_EQ(list->GetEditControl()->GetWindowText(), "item 2");
    Save();
}

TEST_F(TkListEditTest, ADoubleClickPreventsTheEdit) {
    Click(2);
    Click(2);
    list->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    Wait(700);
    EXPECT_FALSE(Editing());
}

TEST_F(TkListEditTest, TypingShowsInTheItemAndEscapeRestoresIt) {
    ASSERT_TRUE(list->EditLabel(1, 0));
    Type("renamed");
    EXPECT_EQ(Text(1), "renamed");
    Key(VK_ESCAPE);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Text(1), "item 1");
}

TEST_F(TkListEditTest, EnterCommitsWhatTheOwnerAccepts) {
    OnEnd(1);
    ASSERT_TRUE(list->EditLabel(1, 0));
    Type("router");
    Key(VK_RETURN);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Text(1), "router");

    OnEnd(0);
    ASSERT_TRUE(list->EditLabel(1, 0));
    Type("refused");
    Key(VK_RETURN);
    EXPECT_EQ(Text(1), "router");
}

TEST_F(TkListEditTest, EnterBreaksTheLineWhereLabelsWrap) {
    list->SetWrapLabels(TRUE);
    ASSERT_TRUE(list->EditLabel(1, 0));
    Key(VK_RETURN);
    EXPECT_TRUE(Editing());
}

TEST_F(TkListEditTest, OnlyAnAnswerOfOneRefusesTheEdit) {
    parent.answer = [](NMHDR* header) -> LRESULT { return header->code == LVN_BEGINLABELEDIT ? 1 : 0; };
    EXPECT_EQ(list->EditLabel(1, 0), nullptr);
    EXPECT_FALSE(Editing());
    parent.answer = [](NMHDR* header) -> LRESULT { return header->code == LVN_BEGINLABELEDIT ? 2 : 0; };
    EXPECT_NE(list->EditLabel(1, 0), nullptr);
    EXPECT_EQ(list->EditLabel(7, 0), nullptr);
}

TEST_F(TkListEditTest, DeletingTheEditedItemWritesIntoNoOtherItem) {
    OnEnd(1);
    ASSERT_TRUE(list->EditLabel(2, 0));
    Type("typed");
    list->DeleteItems(2, 1);
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Texts(), "item 0|item 1|item 3|item 4|");

    // An insertion above moves the edit along with its item.
    ASSERT_TRUE(list->EditLabel(2, 0));
    list->InsertItem(0, "new");
    Type("three");
    Key(VK_RETURN);
    EXPECT_EQ(Texts(), "new|item 0|item 1|three|item 4|");

    ASSERT_TRUE(list->EditLabel(1, 0));
    list->DeleteAllItems();
    EXPECT_FALSE(Editing());
}

TEST_F(TkListEditTest, TheOwnerMayDeleteItemsOrTheListWhileTheEditEnds) {
    OnEnd(1, [&] { list->DeleteItems(0, 3); });
    ASSERT_TRUE(list->EditLabel(2, 0));
    Type("lost");
    Key(VK_RETURN);
    EXPECT_EQ(Texts(), "item 3|item 4|");

    OnEnd(1, [&] {
        list->DestroyWindow();
        list.reset();
    });
    ASSERT_TRUE(list->EditLabel(1, 0));
    list->EndLabelEdit(TRUE);
    EXPECT_EQ(list, nullptr);
}

} // namespace
} // namespace vq
