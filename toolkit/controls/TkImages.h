#pragma once

// Ids of the toolkit's own bitmaps and strings, which TkResources registers.
#define IDB_TK_DOWN_ARROW 23000
#define IDB_TK_RIGHT_ARROW 23001
#define IDS_TK_ROTATE_UNSUPPORTED 23101
#define IDS_TK_SELECT_DIRECTORY 20625
#define IDS_TK_SELECT_FILE 20626
#define IDS_TK_LIST_SELECT_DIRECTORY 20634
#define IDS_TK_OTHER_COLOUR 23100
