#include "toolkit/controls/TkSysMetrics.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(TkSysMetrics, StaticInstanceHoldsTheClassicColoursAndNewShellMetrics) {
    EXPECT_EQ(tkSysMetrics.m_crButtonFace, 0xC0C0C0u);
    EXPECT_EQ(tkSysMetrics.m_crButtonShadow, 0x808080u);
    EXPECT_EQ(tkSysMetrics.m_crButtonHighlight, 0xFFFFFFu);
    EXPECT_EQ(tkSysMetrics.m_crWindow, 0xFFFFFFu);
    EXPECT_EQ(tkSysMetrics.m_crWindowFrame, 0u);
    EXPECT_EQ(tkSysMetrics.m_crWindowText, 0u);
    EXPECT_EQ(tkSysMetrics.m_crHighlight, 0x800000u);
    EXPECT_EQ(tkSysMetrics.m_crHighlightText, 0xFFFFFFu);
    EXPECT_EQ(tkSysMetrics.m_nBorderWidth, 2);
    EXPECT_EQ(tkSysMetrics.m_nBorderHeight, 2);
    EXPECT_TRUE(tkSysMetrics.m_bNewShell);
    EXPECT_EQ(tkSysMetrics.m_hArrowCursor, LoadCursor(IDC_ARROW));
    EXPECT_EQ(tkSysMetrics.m_hResizeCursor1, nullptr);
    EXPECT_EQ(tkSysMetrics.m_hResizeCursor2, nullptr);
}

TEST(TkSysMetrics, VersionThreeHasThinBordersAndNoNewShell) {
    const DWORD real = GetVersion();
    for (const auto& [version, border, shell] : {std::tuple{3u, 1, FALSE}, std::tuple{4u, 2, TRUE}}) {
        SCOPED_TRACE(version);
        SetReportedVersion(version);
        const TkSysMetrics metrics;
        EXPECT_EQ(metrics.m_nBorderWidth, border);
        EXPECT_EQ(metrics.m_nBorderHeight, border);
        EXPECT_EQ(metrics.m_bNewShell, shell);
    }
    SetReportedVersion(real);
}

LRESULT Refreshing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) tkSysMetrics.UpdateSysColors();
    return DefWindowProc(window, message, wParam, lParam);
}

TEST(TkSysMetrics, KeepsOldColoursUntilAWindowHandlesTheChange) {
    const int index = COLOR_BTNFACE;
    const COLORREF original = GetSysColor(index);
    const COLORREF changed = RGB(1, 2, 3);

    WNDCLASS plain;
    plain.lpfnWndProc = DefWindowProc;
    plain.lpszClassName = "PlainMetricsReader";
    RegisterClass(plain);
    const HWND reader = CreateWindowEx(0, "PlainMetricsReader", "", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr);
    SetSysColors(1, &index, &changed);
    EXPECT_EQ(tkSysMetrics.m_crButtonFace, original);

    WNDCLASS toolkit;
    toolkit.lpfnWndProc = Refreshing;
    toolkit.lpszClassName = "ToolkitMetricsReader";
    RegisterClass(toolkit);
    const HWND refresher =
        CreateWindowEx(0, "ToolkitMetricsReader", "", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr);
    EXPECT_EQ(tkSysMetrics.m_crButtonFace, original);
    SetSysColors(1, &index, &changed);
    EXPECT_EQ(tkSysMetrics.m_crButtonFace, changed);

    SetSysColors(1, &index, &original);
    EXPECT_EQ(tkSysMetrics.m_crButtonFace, original);
    DestroyWindow(reader);
    DestroyWindow(refresher);
}

} // namespace
} // namespace vq
