#include "controls.h"
#include "platform/classlib/Dialog.h"
#include "platform/classlib/ListCtrl.h"
#include "platform/classlib/SpinButtonCtrl.h"
#include "platform/classlib/TabCtrl.h"
#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/StandardControls.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

// The common controls come from a template by their class names, each with its styles, and
// behave as window objects; the spin takes the edit made before it as its buddy.
TEST(CommonControls, ComeFromATemplateWithTheirStyles) {
    CDialog dialog(IDD_NUMBERS);
    ASSERT_TRUE(dialog.Create(IDD_NUMBERS));
    CSpinButtonCtrl spin;
    CListCtrl list;
    CTabCtrl pages;
    ASSERT_TRUE(spin.SubclassDlgItem(IDC_HOPS_SPIN, &dialog));
    ASSERT_TRUE(list.SubclassDlgItem(IDC_HOP_LIST, &dialog));
    ASSERT_TRUE(pages.SubclassDlgItem(IDC_PAGES, &dialog));

    CWnd hops;
    ASSERT_TRUE(hops.SubclassDlgItem(IDC_HOPS, &dialog));
    EXPECT_EQ(spin.GetBuddy(), &hops);
    spin.SetRange32(10, 50);
    spin.SetPos32(30);
    EXPECT_EQ(hops.GetWindowText(), "30");
    hops.SetWindowText("70");
    BOOL error = FALSE;
    EXPECT_EQ(spin.GetPos32(&error), 50);
    EXPECT_TRUE(error);
    spin.SetRange(10, 50);
    int lower = 0, upper = 0;
    spin.GetRange32(lower, upper);
    EXPECT_EQ(lower, 10);
    EXPECT_EQ(upper, 50);

    EXPECT_EQ(list.GetStyle() & (LVS_TYPEMASK | LVS_SINGLESEL), LVS_REPORT | LVS_SINGLESEL);
    EXPECT_EQ(list.InsertColumn(0, "Hop #", LVCFMT_RIGHT, 40), 0);
    EXPECT_EQ(list.InsertItem(0, "1"), 0);
    EXPECT_EQ(list.InsertItem(0, "2"), 0);
    EXPECT_TRUE(list.SetItemData(1, LPARAM(0x123456789A)));
    EXPECT_EQ(list.GetItemData(1), LPARAM(0x123456789A));
    EXPECT_EQ(list.GetItemText(1, 0), "1");
    // A text longer than the first guess at its size comes back whole.
    const std::string longText(700, 'x');
    list.SetItemText(0, 0, longText.c_str());
    EXPECT_EQ(list.GetItemText(0, 0), longText);

    EXPECT_EQ(pages.InsertItem(0, "Trace"), 0);
    EXPECT_EQ(pages.InsertItem(1, "Options", 7), 1);
    EXPECT_EQ(pages.SetCurSel(1), 0);
    TCITEM item;
    item.mask = TCIF_PARAM;
    EXPECT_TRUE(pages.GetItem(1, &item));
    EXPECT_EQ(item.lParam, 7);
    RECT display;
    GetClientRect(pages.m_hWnd, &display);
    RECT tab;
    EXPECT_TRUE(pages.GetItemRect(0, &tab));
    pages.AdjustRect(FALSE, &display);
    EXPECT_GT(display.top, tab.bottom);

    dialog.DestroyWindow();
    OffscreenHarness::RunUntilIdle();
}

} // namespace
} // namespace vq
