#pragma once

// Resources of the image classes, for the program's resource script to include TkImages.rc.
#define IDS_TK_ROTATE_UNSUPPORTED 23101
