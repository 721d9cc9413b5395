#pragma once

// Resources of the toolkit's lists, which every program that shows a list links in.
#define IDC_TK_COLUMN_RESIZE 20692
