// Feeds arbitrary bytes to the readers of tool bar records and menu templates: each must stop at
// the end of what it is given, and a menu it builds must agree with a walk over the same items.

#include "platform/gui/Menu.h"
#include "toolkit/frames/TkBmpMgr.h"
#include "toolkit/frames/TkMenuTemplate.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    std::vector<std::uint32_t> ids;
    std::int32_t width = 0, height = 0;
    if (vq::TkBmpMgr::ReadToolBarData(bytes, ids, width, height, vq::TRUE) &&
        ids.size() != std::size_t(bytes[6] | bytes[7] << 8))
        std::abort();

    vq::TemplateReader cursor(bytes);
    vq::HMENU menu = vq::MenuFromTemplate(cursor);
    if (menu) {
        vq::TemplateReader walk(bytes);
        if (!vq::SkipMenuItems(walk, vq::GetMenuItemCount(menu))) std::abort();
        if (walk.Position() != cursor.Position()) std::abort();
        vq::DestroyMenu(menu);
    }
    vq::TemplateReader skip(bytes);
    vq::SkipMenuItems(skip, 3);
    vq::TemplateReader item(bytes);
    vq::GetMenuItemText(item);
    return 0;
}
