#pragma once

// Ids of the toolkit's own bitmaps and strings, which TkResources registers.
#define IDB_TK_DOWN_ARROW 23000
#define IDB_TK_RIGHT_ARROW 23001
#define IDS_TK_ROTATE_UNSUPPORTED 23101
