#pragma once

// Resources of the toolkit's lists, which every program that shows a list links in.
#define IDC_TK_COLUMN_RESIZE 20692
#define IDR_TK_SHORTCUT_LIST_MENU 20620
#define ID_TK_LARGE_ICON 43054
#define ID_TK_SMALL_ICON 43055
#define IDS_TK_BAR_FONT 20695
