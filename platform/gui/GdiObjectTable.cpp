#include "platform/gui/GdiObjectTable.h"

#include "platform/gui/Palette.h"

#include <array>
#include <mutex>
#include <unordered_set>

namespace vq {

namespace {

struct Table {
    std::mutex mutex;
    std::unordered_set<HGDIOBJ> live;
};

Table& Objects() {
    static Table table;
    return table;
}

LOGFONT StockFont(const char* face, std::int32_t height, std::int32_t weight) {
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    for (std::size_t i = 0; face[i] && i + 1 < sizeof lf.lfFaceName; ++i)
        lf.lfFaceName[i] = face[i];
    return lf;
}

HGDIOBJ MakeStock(int which) {
    HGDIOBJ object = nullptr;
    switch (which) {
    case WHITE_BRUSH:
        object = new BrushObject(BS_SOLID, RGB(255, 255, 255), 0);
        break;
    case LTGRAY_BRUSH:
        object = new BrushObject(BS_SOLID, RGB(192, 192, 192), 0);
        break;
    case GRAY_BRUSH:
        object = new BrushObject(BS_SOLID, RGB(128, 128, 128), 0);
        break;
    case DKGRAY_BRUSH:
        object = new BrushObject(BS_SOLID, RGB(64, 64, 64), 0);
        break;
    case BLACK_BRUSH:
        object = new BrushObject(BS_SOLID, RGB(0, 0, 0), 0);
        break;
    case NULL_BRUSH:
        object = new BrushObject(BS_NULL, 0, 0);
        break;
    case WHITE_PEN:
        object = new PenObject(PS_SOLID, 1, RGB(255, 255, 255));
        break;
    case BLACK_PEN:
        object = new PenObject(PS_SOLID, 1, RGB(0, 0, 0));
        break;
    case NULL_PEN:
        object = new PenObject(PS_NULL, 1, 0);
        break;
    case DEFAULT_PALETTE:
        object = new PaletteObject(DefaultPaletteEntries());
        break;
    case SYSTEM_FONT:
        object = new FontObject(StockFont("System", 16, FW_BOLD));
        break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
        object = new FontObject(StockFont("Courier", -13, FW_NORMAL));
        break;
    case ANSI_VAR_FONT:
    case DEVICE_DEFAULT_FONT:
    case DEFAULT_GUI_FONT:
        object = new FontObject(StockFont("MS Sans Serif", -11, FW_NORMAL));
        break;
    default:
        return nullptr;
    }
    object->MarkStock();
    RegisterGdiObject(object);
    return object;
}

} // namespace

void RegisterGdiObject(HGDIOBJ object) {
    auto& t = Objects();
    std::lock_guard lock(t.mutex);
    t.live.insert(object);
}

bool IsGdiObject(HGDIOBJ object) {
    auto& t = Objects();
    std::lock_guard lock(t.mutex);
    return object && t.live.count(object) != 0;
}

void DestroyGdiObject(HGDIOBJ object) {
    if (object->IsStock()) return;
    {
        auto& t = Objects();
        std::lock_guard lock(t.mutex);
        t.live.erase(object);
    }
    delete object;
}

HGDIOBJ GetStockObject(int which) {
    // Stock objects are made on first use and live until the process ends.
    static std::array<HGDIOBJ, 18> stock{};
    static std::mutex mutex;
    if (which < 0 || which >= int(stock.size())) return nullptr;
    std::lock_guard lock(mutex);
    if (!stock[which]) stock[which] = MakeStock(which);
    return stock[which];
}

} // namespace vq
