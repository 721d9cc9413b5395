#include "platform/gui/Icon.h"

#include "platform/gui/SelectedBitmap.h"
#include "platform/gui/SystemColours.h"
#include "platform/res/Resources.h"

#include <QImage>
#include <QPixmap>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vq {

namespace {

// Icon and cursor files: a directory of images, each a DIB of twice the image's height (colour
// rows, then the mask rows) or a PNG.
enum : std::uint16_t { kIconFile = 1, kCursorFile = 2 };

struct DirectoryEntry {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    POINT hotSpot;
    std::span<const unsigned char> data;
};

std::uint16_t Read16(std::span<const unsigned char> b, std::size_t at) {
    return std::uint16_t(b[at] | b[at + 1] << 8);
}
std::uint32_t Read32(std::span<const unsigned char> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

std::vector<DirectoryEntry> ReadDirectory(std::span<const unsigned char> file, std::uint16_t kind) {
    std::vector<DirectoryEntry> entries;
    if (file.size() < 6 || Read16(file, 0) != 0 || Read16(file, 2) != kind) return entries;
    const std::size_t count = Read16(file, 4);
    if (count == 0 || file.size() < 6 + 16 * count) return entries;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 16 * i;
        const std::uint32_t size = Read32(file, at + 8);
        const std::uint32_t offset = Read32(file, at + 12);
        if (offset > file.size() || size > file.size() - offset || size == 0) return {};
        DirectoryEntry e;
        e.width = file[at] ? file[at] : 256;
        e.height = file[at + 1] ? file[at + 1] : 256;
        if (kind == kCursorFile)
            e.hotSpot = {Read16(file, at + 4), Read16(file, at + 6)};
        else
            e.bitCount = Read16(file, at + 6);
        e.data = file.subspan(offset, size);
        entries.push_back(e);
    }
    return entries;
}

// The nearest size first, then the most colours.
const DirectoryEntry* Nearest(const std::vector<DirectoryEntry>& entries, int width, int height) {
    const DirectoryEntry* best = nullptr;
    int bestDistance = 0;
    for (const auto& e : entries) {
        const int distance = std::abs(e.width - width) + std::abs(e.height - height);
        if (!best || distance < bestDistance || (distance == bestDistance && e.bitCount > best->bitCount)) {
            best = &e;
            bestDistance = distance;
        }
    }
    return best;
}

struct Images {
    HBITMAP colour = nullptr;
    HBITMAP mask = nullptr;

    void Free() {
        if (colour) DeleteObject(colour);
        if (mask) DeleteObject(mask);
        colour = mask = nullptr;
    }
};

Images FromPng(std::span<const unsigned char> data) {
    QImage image;
    if (!image.loadFromData(data.data(), int(data.size()), "PNG") || image.isNull()) return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    Images out{CreateBitmap(image.width(), image.height(), 1, 32, nullptr),
               CreateBitmap(image.width(), image.height(), 1, 1, nullptr)};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool clear = qAlpha(p) < 128;
            out.colour->bits.SetPixel(x, y, clear ? 0 : (p & 0x00FFFFFF));
            out.mask->bits.SetPixel(x, y, clear ? kDeviceWhite : 0);
        }
    return out;
}

// The colour rows through the packed-DIB reader (with the header's height halved), the mask rows
// after them; a 32-bit image with alpha takes its mask from the alpha instead.
Images FromDib(std::span<const unsigned char> data) {
    if (data.size() < sizeof(BITMAPINFOHEADER)) return {};
    // A copy, so the header is read aligned.
    std::vector<std::uint32_t> aligned(data.size() / 4 + 1);
    std::memcpy(aligned.data(), data.data(), data.size());
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(aligned.data());
    if (header->biSize < sizeof(BITMAPINFOHEADER) || header->biSize > data.size() || header->biHeight <= 0 ||
        header->biHeight % 2 != 0 || header->biCompression != BI_RGB)
        return {};
    const std::int32_t width = header->biWidth;
    const std::int32_t height = header->biHeight / 2;
    header->biHeight = height;
    Images out{CreateBitmapFromPackedDib(aligned.data(), data.size()), nullptr};
    if (!out.colour) return {};

    const int bits = header->biBitCount;
    const std::uint32_t full = bits <= 8 ? 1u << bits : 0;
    const std::size_t colours = bits > 8 ? 0 : header->biClrUsed == 0 || header->biClrUsed > full ? full : header->biClrUsed;
    const std::size_t stride = (std::size_t(width) * std::size_t(bits) + 31) / 32 * 4;
    const std::size_t colourAt = header->biSize + colours * sizeof(RGBQUAD);
    const std::size_t maskAt = colourAt + stride * std::size_t(height);
    const std::size_t maskStride = (std::size_t(width) + 31) / 32 * 4;
    const bool hasMask = maskAt <= data.size() && maskStride * std::size_t(height) <= data.size() - maskAt;
    bool alpha = false;
    if (bits == 32)
        for (std::int32_t y = 0; y < height && !alpha; ++y)
            for (std::int32_t x = 0; x < width && !alpha; ++x)
                alpha = data[colourAt + std::size_t(y) * stride + std::size_t(x) * 4 + 3] != 0;
    if (!hasMask && !alpha) {
        out.Free();
        return {};
    }
    out.mask = CreateBitmap(width, height, 1, 1, nullptr);
    for (std::int32_t y = 0; y < height; ++y) {
        // Stored rows run bottom-up.
        const std::size_t row = std::size_t(height - 1 - y);
        for (std::int32_t x = 0; x < width; ++x) {
            const bool clear = alpha ? data[colourAt + row * stride + std::size_t(x) * 4 + 3] < 128
                                     : (data[maskAt + row * maskStride + std::size_t(x) / 8] >> (7 - x % 8) & 1) != 0;
            if (!clear) continue;
            out.mask->bits.SetPixel(x, y, kDeviceWhite);
            if (alpha) out.colour->bits.SetPixel(x, y, 0);
        }
    }
    return out;
}

HBITMAP Scaled(HBITMAP source, int width, int height, bool monochrome) {
    HBITMAP scaled = CreateBitmap(width, height, 1, monochrome ? 1 : 32, nullptr);
    SelectedBitmap from(source);
    SelectedBitmap to(scaled);
    StretchBlt(to.Dc(), 0, 0, width, height, from.Dc(), 0, 0, source->bits.Width(), source->bits.Height(),
               SRCCOPY);
    return scaled;
}

struct Store {
    std::mutex mutex;
    std::map<std::tuple<std::uint16_t, std::uint32_t, int, int>, std::unique_ptr<IconImage>> loaded;
    std::unordered_set<const IconImage*> live;
    // Copies belong to whoever made them and go when destroyed, unlike the shared images.
    std::unordered_map<const IconImage*, std::unique_ptr<IconImage>> copies;
    std::unordered_map<std::uint32_t, std::unique_ptr<CursorShape>> cursors;
    std::unordered_map<HCURSOR, QCursor> qtCursors;
};

// Never destroyed: shared images stay valid to the end, whatever statics go first.
Store& Icons() {
    static Store* store = new Store;
    return *store;
}

// Width and height 0: an icon at the system's size, a cursor at its first image's size.
HICON LoadImageLocked(Store& store, std::uint16_t type, std::uint32_t id, int width, int height) {
    const bool isIcon = type == RT_ICON;
    if (isIcon && width <= 0) width = GetSystemMetrics(SM_CXICON);
    if (isIcon && height <= 0) height = GetSystemMetrics(SM_CYICON);
    const auto key = std::tuple{type, id, width, height};
    if (auto it = store.loaded.find(key); it != store.loaded.end()) return it->second.get();

    const auto entries = ReadDirectory(FindResource(type, id), isIcon ? kIconFile : kCursorFile);
    if (entries.empty()) return nullptr;
    if (!isIcon && width <= 0) width = entries.front().width, height = entries.front().height;
    const DirectoryEntry& entry = *Nearest(entries, width, height);
    static constexpr unsigned char kPng[] = {0x89, 'P', 'N', 'G'};
    const bool png = entry.data.size() >= 4 && std::memcmp(entry.data.data(), kPng, 4) == 0;
    Images images = png ? FromPng(entry.data) : FromDib(entry.data);
    if (!images.colour) return nullptr;

    auto icon = std::make_unique<IconImage>();
    icon->isIcon = isIcon;
    const int nativeWidth = images.colour->bits.Width();
    const int nativeHeight = images.colour->bits.Height();
    if (nativeWidth != width || nativeHeight != height) {
        Images scaled{Scaled(images.colour, width, height, false), Scaled(images.mask, width, height, true)};
        images.Free();
        images = scaled;
    }
    icon->colour = images.colour;
    icon->mask = images.mask;
    icon->hotSpot = isIcon ? POINT{width / 2, height / 2}
                           : POINT{entry.hotSpot.x * width / nativeWidth, entry.hotSpot.y * height / nativeHeight};
    HICON handle = icon.get();
    store.live.insert(handle);
    store.loaded.emplace(key, std::move(icon));
    return handle;
}

bool IsIcon(HICON icon) {
    auto& store = Icons();
    std::lock_guard lock(store.mutex);
    return icon && store.live.count(icon) != 0;
}

HBITMAP CopyOf(HBITMAP bitmap) {
    HBITMAP copy = CreateBitmap(bitmap->bits.Width(), bitmap->bits.Height(), 1,
                                UINT(bitmap->bits.BitsPerPixel()), nullptr);
    copy->bits = bitmap->bits;
    return copy;
}

QCursor MakeQtCursor(const IconImage& image) {
    const Bitmap& colour = image.colour->bits;
    const Bitmap& mask = image.mask->bits;
    QImage out(colour.Width(), colour.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < colour.Height(); ++y)
        for (int x = 0; x < colour.Width(); ++x) {
            const std::uint32_t c = colour.Pixel(x, y) & 0x00FFFFFF;
            // A pixel that inverts what is under it shows black: Qt's cursors cannot invert.
            const bool clear = mask.Pixel(x, y) != 0;
            out.setPixel(x, y, clear ? (c ? 0xFF000000 : 0x00000000) : (0xFF000000 | c));
        }
    return QCursor(QPixmap::fromImage(out), image.hotSpot.x, image.hotSpot.y);
}

} // namespace

HICON LoadIcon(std::uint32_t id, int width, int height) {
    auto& store = Icons();
    std::lock_guard lock(store.mutex);
    return LoadImageLocked(store, RT_ICON, id, width, height);
}

HICON LoadIcon(const char* name, int width, int height) {
    if (!name || name[0] != '#' || name[1] < '0' || name[1] > '9') return nullptr;
    std::uint32_t id = 0;
    for (const char* c = name + 1; *c; ++c) {
        if (*c < '0' || *c > '9' || id > 0xFFFF) return nullptr;
        id = id * 10 + std::uint32_t(*c - '0');
    }
    return id <= 0xFFFF ? LoadIcon(id, width, height) : nullptr;
}

HICON CopyIcon(HICON icon) {
    if (!IsIcon(icon)) return nullptr;
    auto copy = std::make_unique<IconImage>(*icon);
    copy->colour = CopyOf(icon->colour);
    copy->mask = CopyOf(icon->mask);
    HICON handle = copy.get();
    auto& store = Icons();
    std::lock_guard lock(store.mutex);
    store.live.insert(handle);
    store.copies.emplace(handle, std::move(copy));
    return handle;
}

BOOL DestroyIcon(HICON icon) {
    auto& store = Icons();
    std::unique_ptr<IconImage> copy;
    {
        std::lock_guard lock(store.mutex);
        if (!icon || !store.live.count(icon)) return FALSE;
        const auto it = store.copies.find(icon);
        if (it == store.copies.end()) return TRUE;
        copy = std::move(it->second);
        store.copies.erase(it);
        store.live.erase(icon);
    }
    DeleteObject(copy->colour);
    DeleteObject(copy->mask);
    return TRUE;
}

BOOL DrawIcon(HDC dc, std::int32_t x, std::int32_t y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

BOOL DrawIconEx(HDC dc, std::int32_t x, std::int32_t y, HICON icon, int width, int height, UINT step,
                HBRUSH background, UINT flags) {
    if (!dc || !IsIcon(icon) || step != 0 || !(flags & DI_NORMAL)) return FALSE;
    const int w = icon->colour->bits.Width();
    const int h = icon->colour->bits.Height();
    if (width <= 0) width = w;
    if (height <= 0) height = h;
    if (background) {
        const RECT r{x, y, x + width, y + height};
        FillRect(dc, &r, background);
    }
    // Mask bits become the destination's text colour (0) and background colour (1).
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    const bool both = (flags & DI_NORMAL) == DI_NORMAL;
    if (flags & DI_MASK) {
        SelectedBitmap mask(icon->mask);
        StretchBlt(dc, x, y, width, height, mask.Dc(), 0, 0, w, h, both ? SRCAND : SRCCOPY);
    }
    if (flags & DI_IMAGE) {
        SelectedBitmap colour(icon->colour);
        StretchBlt(dc, x, y, width, height, colour.Dc(), 0, 0, w, h, both ? SRCINVERT : SRCCOPY);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    return TRUE;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
    if (!IsIcon(icon) || !info) return FALSE;
    info->fIcon = icon->isIcon;
    info->xHotspot = DWORD(icon->hotSpot.x);
    info->yHotspot = DWORD(icon->hotSpot.y);
    info->hbmColor = CopyOf(icon->colour);
    info->hbmMask = CopyOf(icon->mask);
    return TRUE;
}

HCURSOR LoadCursorResource(std::uint32_t id) {
    auto& store = Icons();
    std::lock_guard lock(store.mutex);
    if (auto it = store.cursors.find(id); it != store.cursors.end()) return it->second.get();
    HICON image = LoadImageLocked(store, RT_CURSOR, id, 0, 0);
    if (!image) return nullptr;
    auto cursor = std::make_unique<CursorShape>(CursorShape{Qt::BitmapCursor, image});
    HCURSOR handle = cursor.get();
    store.cursors.emplace(id, std::move(cursor));
    return handle;
}

const QCursor& QtCursorOf(HCURSOR cursor) {
    auto& store = Icons();
    std::lock_guard lock(store.mutex);
    auto it = store.qtCursors.find(cursor);
    if (it == store.qtCursors.end())
        it = store.qtCursors
                 .emplace(cursor, cursor->image ? MakeQtCursor(*cursor->image)
                                                : QCursor(Qt::CursorShape(cursor->shape)))
                 .first;
    return it->second;
}

} // namespace vq
