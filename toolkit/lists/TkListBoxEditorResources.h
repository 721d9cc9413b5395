#pragma once

// Resources of the list-box editor, registered with the toolkit's lists.
#define IDB_TK_LISTEDITOR_NEW 20516
#define IDB_TK_LISTEDITOR_DELETE 20517
#define IDB_TK_LISTEDITOR_UP 20518
#define IDB_TK_LISTEDITOR_DOWN 20519
#define IDS_TK_LISTEDITOR_NEW 20531
#define IDS_TK_LISTEDITOR_DELETE 20532
#define IDS_TK_LISTEDITOR_UP 20533
#define IDS_TK_LISTEDITOR_DOWN 20534

namespace vq {

// Whether the registration is in place; calling it also keeps its object in every program
// that uses the editor, which a static library would otherwise leave out.
bool ListEditorResourcesPresent();

} // namespace vq
