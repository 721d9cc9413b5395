#pragma once

#include "platform/gui/Menu.h"
#include "platform/res/TemplateReader.h"

#include <string>

namespace vq {

// Menus from in-memory menu templates: each item a flags word, a non-popup item's id, then its
// text; a popup's items follow it up to the one that ends its level. The reader knows where the
// template ends, so a template cut short fails instead of being read past.

// A popup menu of the items up to the end of the level; the cursor ends after the last item read.
// Null, with nothing left made, when the template is cut short or a menu cannot be built.
HMENU MenuFromTemplate(TemplateReader& cursor);
// FALSE when the level ends, or the template does, before `count` items were passed.
BOOL SkipMenuItems(TemplateReader& cursor, int count);
// Over every item of one popup, nested popups included.
BOOL SkipPopup(TemplateReader& cursor);
// The text of the item at the cursor, which stays where it is.
std::string GetMenuItemText(const TemplateReader& cursor);
// Over one item without its children.
BOOL NextMenuItem(TemplateReader& cursor);

} // namespace vq
