#include "toolkit/controls/LoadBitmapWithSysColors.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace vq {

namespace {

constexpr std::uint32_t BitFieldsCompression = 3;

RGBQUAD ToQuad(COLORREF colour) {
    RGBQUAD q;
    q.rgbRed = std::uint8_t(colour & 0xFF);
    q.rgbGreen = std::uint8_t(colour >> 8 & 0xFF);
    q.rgbBlue = std::uint8_t(colour >> 16 & 0xFF);
    return q;
}

void Recolour(RGBQUAD& entry) {
    static constexpr struct {
        std::uint32_t grey;
        int sysColour;
    } map[] = {{0x000000, COLOR_BTNTEXT},
               {0x808080, COLOR_BTNSHADOW},
               {0xC0C0C0, COLOR_BTNFACE},
               {0xFFFFFF, COLOR_BTNHIGHLIGHT}};
    const std::uint32_t value =
        std::uint32_t(entry.rgbRed) << 16 | std::uint32_t(entry.rgbGreen) << 8 | entry.rgbBlue;
    for (const auto& m : map)
        if (value == m.grey) {
            const std::uint8_t reserved = entry.rgbReserved;
            entry = ToQuad(GetSysColor(m.sysColour));
            entry.rgbReserved = reserved;
            return;
        }
}

} // namespace

BOOL LoadBitmapWithSysColors(HBITMAP& bitmap, const void* resource, std::size_t size) {
    if (!resource || size < sizeof(BITMAPINFOHEADER)) return FALSE;
    const auto* bytes = static_cast<const std::uint8_t*>(resource);
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    const std::uint16_t bits = header.biBitCount;
    if (header.biSize < sizeof header || header.biSize > size || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biHeight == INT32_MIN ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return FALSE;

    // The table holds biClrUsed entries when set, at most one per pixel value; bit-field masks
    // sit where a table would.
    std::uint64_t entries = header.biClrUsed;
    if (bits <= 8) {
        const std::uint64_t most = std::uint64_t(1) << bits;
        if (entries == 0 || entries > most) entries = most;
    }
    std::uint64_t tableBytes = entries * sizeof(RGBQUAD);
    if (header.biCompression == BitFieldsCompression && (bits == 16 || bits == 32)) tableBytes += 12;
    const std::uint64_t rowBytes = (std::uint64_t(header.biWidth) * bits + 31) / 32 * 4;
    const std::uint64_t height =
        header.biHeight < 0 ? std::uint64_t(-std::int64_t(header.biHeight)) : std::uint64_t(header.biHeight);
    const std::uint64_t pixelsAt = header.biSize + tableBytes;
    if (pixelsAt > size || rowBytes * height > size - pixelsAt) return FALSE;

    // A copy of header and table with the standard header size, since that is what the drawing
    // call reads; the greys are swapped in the copy only.
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + std::size_t(tableBytes) + sizeof(RGBQUAD));
    header.biSize = sizeof(BITMAPINFOHEADER);
    if (bits <= 8) header.biClrUsed = std::uint32_t(entries);
    std::memcpy(info.data(), &header, sizeof header);
    std::memcpy(info.data() + sizeof header, bytes + (pixelsAt - tableBytes), std::size_t(tableBytes));
    if (bits <= 8) {
        auto* table = reinterpret_cast<RGBQUAD*>(info.data() + sizeof header);
        for (std::uint64_t i = 0; i < entries; ++i)
            Recolour(table[i]);
    }

    HDC screen = GetDC(0);
    HBITMAP made = CreateCompatibleBitmap(screen, header.biWidth, std::int32_t(height));
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(0, screen);
    if (!made || !memory) {
        if (made) DeleteObject(made);
        if (memory) DeleteDC(memory);
        return FALSE;
    }
    HGDIOBJ old = SelectObject(memory, made);
    StretchDIBits(memory, 0, 0, header.biWidth, std::int32_t(height), 0, 0, header.biWidth,
                  std::int32_t(height), bytes + pixelsAt, reinterpret_cast<const BITMAPINFO*>(info.data()),
                  DIB_RGB_COLORS, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    bitmap = made;
    return TRUE;
}

} // namespace vq
