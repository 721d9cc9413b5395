#include "toolkit/controls/TkRasterImage.h"

#include "platform/gui/MessageBox.h"
#include "platform/gui/Palette.h"
#include "platform/gui/WindowSystem.h"
#include "platform/res/Resources.h"
#include "toolkit/controls/TkImages.h"
#include "toolkit/controls/TkResources.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <numbers>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkDib, Object)

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kMaxUsedColours = 65535;

bool IsImageDepth(std::int32_t depth) {
    return depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32;
}

std::uint16_t ColoursOfDepth(std::int32_t depth) {
    return depth == 1 ? 2 : depth == 4 ? 16 : depth == 8 ? 256 : 0;
}

std::uint32_t Get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t Get16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

void Put32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(value >> (8 * i));
}

// A pixel of 1, 4 or 8 bits, most significant first within a byte.
std::uint32_t IndexAt(const std::uint8_t* row, std::int32_t x, std::int32_t depth) {
    if (depth == 8) return row[x];
    if (depth == 4) return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

void SetIndex(std::uint8_t* row, std::int32_t x, std::int32_t depth, std::uint32_t value) {
    if (depth == 8) {
        row[x] = std::uint8_t(value);
    } else if (depth == 4) {
        const int shift = x % 2 ? 0 : 4;
        row[x / 2] = std::uint8_t((row[x / 2] & ~(0x0F << shift)) | (value & 0x0F) << shift);
    } else {
        const int shift = 7 - x % 8;
        row[x / 8] = std::uint8_t((row[x / 8] & ~(1 << shift)) | (value & 1) << shift);
    }
}

// Copies one pixel of any depth from one row position to another.
void CopyPixel(const std::uint8_t* from, std::int32_t fx, std::uint8_t* to, std::int32_t tx,
               std::int32_t depth) {
    if (depth < 8) {
        SetIndex(to, tx, depth, IndexAt(from, fx, depth));
        return;
    }
    const std::size_t size = std::size_t(depth / 8);
    std::memcpy(to + std::size_t(tx) * size, from + std::size_t(fx) * size, size);
}

// One colour moved along an S-shaped curve of its value: +1 raises contrast, −1 lowers it.
void AdjustColour(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue, int direction) {
    const double r = red / 255.0, g = green / 255.0, b = blue / 255.0;
    const double v = std::max({r, g, b}), m = std::min({r, g, b});
    double s = 0, h = 0;
    bool grey = v == 0;
    if (!grey) {
        s = (v - m) / v;
        grey = s == 0;
    }
    if (!grey) {
        const double delta = v - m;
        if (r == v)
            h = (g - b) / delta;
        else if (g == v)
            h = 2 + (b - r) / delta;
        else
            h = 4 + (r - g) / delta;
        h *= 60;
        if (h < 0) h += 360;
    }
    double value = v + direction * 0.5 * ((1 + std::sin(std::numbers::pi * (v - 0.5))) / 2 - v);
    value = std::clamp(value, 0.0, 1.0);
    double nr = value, ng = value, nb = value;
    if (!grey) {
        if (h >= 360) h = 0;
        const double sector = h / 60;
        const int i = int(std::floor(sector));
        const double f = sector - i;
        const double p = value * (1 - s), q = value * (1 - s * f), t = value * (1 - s * (1 - f));
        switch (i) {
        case 0:
            nr = value, ng = t, nb = p;
            break;
        case 1:
            nr = q, ng = value, nb = p;
            break;
        case 2:
            nr = p, ng = value, nb = t;
            break;
        case 3:
            nr = p, ng = q, nb = value;
            break;
        case 4:
            nr = t, ng = p, nb = value;
            break;
        default:
            nr = value, ng = p, nb = q;
            break;
        }
    }
    red = std::uint8_t(std::floor(nr * 255 + 0.5));
    green = std::uint8_t(std::floor(ng * 255 + 0.5));
    blue = std::uint8_t(std::floor(nb * 255 + 0.5));
}

// The process's file-creation mask, read without changing it (umask(2) would, for every thread).
mode_t CurrentUmask() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    unsigned mask = 022;
    if (status) {
        char line[128];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
        std::fclose(status);
    }
    return mode_t(mask);
}

// Removes a temporary file unless it was placed.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : m_Path(std::move(path)) {}
    ~TemporaryFile() {
        if (!m_Path.empty()) ::unlink(m_Path.c_str());
    }
    void Keep() { m_Path.clear(); }

private:
    std::string m_Path;
};

} // namespace

// Everything that makes up one picture, to move between images whole.
struct TkRasterImage::Picture {
    std::int32_t depth = 0;
    bool rowsAligned = false;
    std::int32_t alignedWidth = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t colours = 0;
    HPALETTE palette = nullptr;
    std::vector<std::uint8_t> bits;
    std::vector<std::uint8_t> header;
    bool halftone = false;
};

TkRasterImage::TkRasterImage() {
    HDC screen = GetDC(0);
    m_nScreenPlanes = GetDeviceCaps(screen, PLANES);
    // A palette screen keeps 32-bit surfaces but answers with its palette's size.
    std::int32_t bits = GetDeviceCaps(screen, BITSPIXEL);
    if (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE)
        bits = std::bit_width(unsigned(GetDeviceCaps(screen, SIZEPALETTE))) - 1;
    ReleaseDC(0, screen);
    m_nScreenDepth = bits == 1 || bits == 2 || bits == 4 || bits == 8 ? bits : 0;
    m_nScreenColors = bits == 1   ? std::uint16_t(1u << m_nScreenPlanes)
                      : bits == 2 ? 4
                      : bits == 4 ? 16
                      : bits == 8 ? 256
                                  : 0;
}

TkRasterImage::~TkRasterImage() {
    if (m_hPalette) DeleteObject(m_hPalette);
}

TkRasterImage::Picture TkRasterImage::Detach() {
    Picture picture{m_nImageDepth, m_bRowsAligned,    m_nAlignedWidth,     m_nWidth,   m_nHeight, m_nColors,
                    m_hPalette,    std::move(m_Bits), std::move(m_Header), m_bHalftone};
    m_hPalette = nullptr;
    m_Bits.clear();
    m_Header.clear();
    m_nImageDepth = m_nAlignedWidth = m_nWidth = m_nHeight = 0;
    m_nColors = 0;
    m_bRowsAligned = m_bHalftone = false;
    return picture;
}

void TkRasterImage::Attach(Picture&& picture) {
    FreeImage();
    m_nImageDepth = picture.depth;
    m_bRowsAligned = picture.rowsAligned;
    m_nAlignedWidth = picture.alignedWidth;
    m_nWidth = picture.width;
    m_nHeight = picture.height;
    m_nColors = picture.colours;
    m_hPalette = std::exchange(picture.palette, nullptr);
    m_Bits = std::move(picture.bits);
    m_Header = std::move(picture.header);
    m_bHalftone = picture.halftone;
}

std::size_t TkRasterImage::PackedRowSize(std::int32_t depth, std::int32_t width) {
    if (depth <= 0 || width <= 0) return 0;
    return (std::size_t(depth) * std::size_t(width) - 1) / 8 + 1;
}

std::size_t TkRasterImage::AlignedRowSize(std::int32_t depth, std::int32_t width) {
    return (PackedRowSize(depth, width) + 3) / 4 * 4;
}

std::size_t TkRasterImage::RowSize() const {
    return m_bRowsAligned ? AlignedRowSize(m_nImageDepth, m_nWidth) : PackedRowSize(m_nImageDepth, m_nWidth);
}

std::uint32_t TkRasterImage::GetColourTableSize() const {
    return m_Header.size() > kInfoHeaderSize ? std::uint32_t((m_Header.size() - kInfoHeaderSize) / 4) : 0;
}

const RGBQUAD* TkRasterImage::GetColourTable() const {
    return GetColourTableSize() ? reinterpret_cast<const RGBQUAD*>(m_Header.data() + kInfoHeaderSize)
                                : nullptr;
}

RGBQUAD* TkRasterImage::GetColourTable() {
    return GetColourTableSize() ? reinterpret_cast<RGBQUAD*>(m_Header.data() + kInfoHeaderSize) : nullptr;
}

const BITMAPINFO* TkRasterImage::GetInfo() const {
    return m_Header.size() >= kInfoHeaderSize ? reinterpret_cast<const BITMAPINFO*>(m_Header.data())
                                              : nullptr;
}

const BITMAPINFOHEADER& TkRasterImage::GetHeader() const {
    static const BITMAPINFOHEADER none{};
    return m_Header.size() >= kInfoHeaderSize
               ? reinterpret_cast<const BITMAPINFO*>(m_Header.data())->bmiHeader
               : none;
}

void TkRasterImage::SetHeaderSize(std::int32_t width, std::int32_t height) {
    auto& header = reinterpret_cast<BITMAPINFO*>(m_Header.data())->bmiHeader;
    header.biWidth = width;
    header.biHeight = height;
}

void TkRasterImage::Allocate(std::int32_t width, std::int32_t height, std::int32_t depth,
                             std::uint32_t tableEntries) {
    FreeImage();
    m_nImageDepth = depth;
    m_nWidth = width;
    m_nHeight = height;
    m_nColors = ColoursOfDepth(depth);
    m_bRowsAligned = true;
    m_nAlignedWidth = (width + 3) / 4 * 4;
    m_Bits.assign(AlignedRowSize(depth, width) * std::size_t(height), 0);
    m_Header.assign(kInfoHeaderSize + 4 * std::size_t(depth <= 8 ? tableEntries : 0), 0);
    BITMAPINFOHEADER header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = std::uint16_t(depth);
    header.biSizeImage = std::uint32_t(m_Bits.size());
    if (depth <= 8 && tableEntries > m_nColors) header.biClrUsed = tableEntries;
    std::memcpy(m_Header.data(), &header, sizeof header);
}

bool TkRasterImage::CreatePalette() {
    if (m_hPalette) DeleteObject(std::exchange(m_hPalette, nullptr));
    if (m_nImageDepth > 8 || m_nImageDepth == 0) return true;
    const std::uint32_t used = GetHeader().biClrUsed;
    const std::uint32_t count = used ? used : m_nColors;
    const std::uint32_t entries = std::max<std::uint32_t>(count, m_nColors);
    std::vector<std::uint8_t> storage(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY), 0);
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = std::uint16_t(std::min<std::uint32_t>(entries, 0xFFFF));
    const RGBQUAD* table = GetColourTable();
    const std::uint32_t available = std::min(count, GetColourTableSize());
    for (std::uint32_t i = 0; i < available; ++i)
        palette->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    m_hPalette = vq::CreatePalette(palette);
    // The platform's palettes hold at most 256 entries, all that 8-bit pixels can name.
    if (!m_hPalette && palette->palNumEntries > 256) {
        palette->palNumEntries = 256;
        m_hPalette = vq::CreatePalette(palette);
    }
    return m_hPalette != nullptr;
}

bool TkRasterImage::LoadImage(const std::string& path) {
    if (m_pFile) {
        if (!m_pFile->Open(path, File::modeRead)) return false;
    } else {
        m_OwnedFiles.push_back(std::make_unique<File>(path, File::modeRead));
        m_pFile = m_OwnedFiles.back().get();
    }
    File& file = *m_pFile;
    const bool loaded = LoadImage(file);
    file.Abort();
    return loaded;
}

bool TkRasterImage::LoadImage(File& file) {
    m_pFile = &file;
    std::optional<Picture> backup;
    if (!m_Bits.empty() && m_nWidth > 0 && m_nHeight > 0 && !m_Header.empty()) backup = Detach();
    bool loaded = false;
    try {
        FreeImage();
        loaded = DoRead(file) && FinishLoad();
    } catch (...) {
        if (backup) Attach(std::move(*backup));
        throw;
    }
    if (!loaded) {
        FreeImage();
        if (backup) Attach(std::move(*backup));
    } else if (backup && backup->palette) {
        DeleteObject(backup->palette);
    }
    return loaded;
}

bool TkRasterImage::SaveImage(const std::string& path) {
    struct stat info {};
    const bool direct = ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
    std::string target = path;
    if (!direct) {
        target = path + ".XXXXXX";
        const int descriptor = ::mkostemp(target.data(), O_CLOEXEC);
        if (descriptor < 0) {
            if (m_pFile) return false;
            throw FileErrorFromErrno(errno, path);
        }
        // The picture gets the permissions a new file would get, or those of the file it replaces.
        const bool replaces = ::stat(path.c_str(), &info) == 0;
        ::fchmod(descriptor, replaces ? info.st_mode & 07777 : 0666 & ~CurrentUmask());
        ::close(descriptor);
    }
    TemporaryFile temporary(direct ? std::string() : target);
    if (m_pFile) {
        if (!m_pFile->Open(target, File::modeCreate | File::modeWrite)) return false;
    } else {
        m_OwnedFiles.push_back(std::make_unique<File>(target, File::modeCreate | File::modeWrite));
        m_pFile = m_OwnedFiles.back().get();
    }
    File& file = *m_pFile;
    bool saved = false;
    try {
        saved = SaveImage(file);
        if (saved && !direct) file.Flush();
        file.Close();
    } catch (...) {
        file.Abort();
        throw;
    }
    if (saved && !direct) {
        if (::rename(target.c_str(), path.c_str()) != 0) throw FileErrorFromErrno(errno, path);
        temporary.Keep();
    }
    return saved;
}

bool TkRasterImage::SaveImage(File& file) {
    m_pFile = &file;
    if (!BeforeSave() || !DoWrite(file)) return false;
    return AfterSave();
}

bool TkRasterImage::FreeImage() {
    if (m_hPalette) DeleteObject(std::exchange(m_hPalette, nullptr));
    m_Bits.clear();
    m_Bits.shrink_to_fit();
    m_Header.clear();
    m_nImageDepth = m_nAlignedWidth = m_nWidth = m_nHeight = 0;
    m_nColors = 0;
    m_bRowsAligned = m_bHalftone = false;
    return true;
}

bool TkRasterImage::FinishLoad() {
    CreatePalette();
    m_nAlignedWidth = (m_nWidth + 3) / 4 * 4;
    AlignRows();
    m_bHalftone = m_nScreenDepth != 0 && m_nScreenDepth != m_nImageDepth;
    if (m_Header.empty()) {
        m_Header.assign(kInfoHeaderSize + 4 * std::size_t(m_nColors), 0);
        BITMAPINFOHEADER header;
        header.biWidth = m_nWidth;
        header.biHeight = m_nHeight;
        header.biPlanes = std::uint16_t(m_nScreenPlanes);
        header.biBitCount = std::uint16_t(m_nImageDepth);
        header.biSizeImage = std::uint32_t(AlignedRowSize(m_nImageDepth, m_nWidth) * std::size_t(m_nHeight));
        std::memcpy(m_Header.data(), &header, sizeof header);
    }
    return true;
}

void TkRasterImage::FreeOwnedFiles() {
    if (m_pFile) {
        for (const auto& owned : m_OwnedFiles)
            if (owned.get() == m_pFile) m_pFile = nullptr;
    }
    m_OwnedFiles.clear();
}

bool TkRasterImage::ReadBmpLayout(const std::function<std::size_t(void*, std::size_t)>& read,
                                  std::uint64_t available) {
    std::uint8_t fileHeader[kFileHeaderSize];
    std::uint8_t info[kInfoHeaderSize];
    if (available < kFileHeaderSize + kInfoHeaderSize ||
        read(fileHeader, sizeof fileHeader) != sizeof fileHeader || read(info, sizeof info) != sizeof info)
        return false;
    if (Get16(fileHeader) != 0x4D42) return false;
    const std::uint64_t offset = Get32(fileHeader + 10);
    const std::uint32_t headerSize = Get32(info);
    const std::int32_t width = std::int32_t(Get32(info + 4));
    const std::int32_t height = std::int32_t(Get32(info + 8));
    const std::uint16_t planes = Get16(info + 12);
    const std::int32_t depth = Get16(info + 14);
    const std::uint32_t compression = Get32(info + 16);
    std::uint32_t used = Get32(info + 32);
    if (headerSize < kInfoHeaderSize || planes != 1 || !IsImageDepth(depth) || compression != BI_RGB ||
        width <= 0 || height == 0 || height == INT32_MIN || used > kMaxUsedColours)
        return false;
    const std::uint64_t rows = std::uint64_t(std::abs(std::int64_t(height)));
    if (std::uint64_t(width) * rows > kMaxPixels) return false;
    // The table the file declares, at most one entry per pixel value.
    const std::uint64_t possible = std::uint64_t(1) << depth;
    const std::uint64_t declared = used ? std::min<std::uint64_t>(used, possible) : depth <= 8 ? possible : 0;
    const std::uint64_t tableStart = kFileHeaderSize + std::uint64_t(headerSize);
    if (offset < tableStart + 4 * declared || offset > available) return false;
    const std::size_t rowSize = AlignedRowSize(depth, width);
    if (available - offset < rowSize * rows) return false;

    // Larger header forms keep their first 40 bytes; what follows them up to the table is skipped.
    std::vector<std::uint8_t> skipped(
        std::min<std::uint64_t>(tableStart - kFileHeaderSize - kInfoHeaderSize, 65536));
    for (std::uint64_t left = tableStart - kFileHeaderSize - kInfoHeaderSize; left > 0;) {
        const std::size_t chunk = std::size_t(std::min<std::uint64_t>(left, skipped.size()));
        if (read(skipped.data(), chunk) != chunk) return false;
        left -= chunk;
    }
    if (depth > 8) used = 0;
    const std::uint32_t entries = depth <= 8 ? std::max<std::uint32_t>(used, std::uint32_t(possible)) : 0;
    Allocate(width, std::int32_t(rows), depth, entries);
    auto& header = reinterpret_cast<BITMAPINFO*>(m_Header.data())->bmiHeader;
    std::memcpy(&header, info, kInfoHeaderSize);
    header.biSize = kInfoHeaderSize;
    header.biHeight = std::int32_t(rows);
    header.biClrUsed = used;
    // Up to 8 bits the table holds what the file has of it, the rest stays zero; deeper pictures
    // keep none.
    const std::uint64_t inFile = depth <= 8 ? std::min<std::uint64_t>(std::max<std::uint64_t>(used, declared),
                                                                      (offset - tableStart) / 4)
                                            : 0;
    if (read(m_Header.data() + kInfoHeaderSize, std::size_t(4 * inFile)) != 4 * inFile) return false;
    for (std::uint64_t left = offset - tableStart - 4 * inFile; left > 0;) {
        skipped.resize(65536);
        const std::size_t chunk = std::size_t(std::min<std::uint64_t>(left, skipped.size()));
        if (read(skipped.data(), chunk) != chunk) return false;
        left -= chunk;
    }
    if (read(m_Bits.data(), m_Bits.size()) != m_Bits.size()) return false;
    if (height < 0) FlipVertical();
    return true;
}

bool TkDib::DoRead(File& file) {
    const std::int64_t length = file.GetLength() - file.GetPosition();
    if (length <= 0) return false;
    return ReadBmpLayout(
        [&](void* buffer, std::size_t count) {
            std::size_t done = 0;
            while (done < count) {
                const std::uint32_t chunk = std::uint32_t(std::min<std::size_t>(count - done, 1u << 30));
                const std::uint32_t read = file.Read(static_cast<std::uint8_t*>(buffer) + done, chunk);
                done += read;
                if (read < chunk) break;
            }
            return done;
        },
        std::uint64_t(length));
}

bool TkDib::DoWrite(File& file) {
    if (m_Bits.empty() || m_Header.size() < kInfoHeaderSize) return false;
    AlignRows();
    reinterpret_cast<BITMAPINFO*>(m_Header.data())->bmiHeader.biSizeImage = 0;
    // The table held goes out whole, so that a table larger than the depth's reads back as written.
    const std::uint64_t headerBytes = kInfoHeaderSize + 4 * std::uint64_t(GetColourTableSize());
    const std::uint64_t offset = kFileHeaderSize + headerBytes;
    const std::uint64_t size = offset + m_Bits.size();
    if (size > 0xFFFFFFFFu) return false;
    std::uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
    Put32(fileHeader + 2, std::uint32_t(size));
    Put32(fileHeader + 10, std::uint32_t(offset));
    file.Write(fileHeader, sizeof fileHeader);
    file.Write(m_Header.data(), std::uint32_t(headerBytes));
    file.Write(m_Bits.data(), std::uint32_t(m_Bits.size()));
    return true;
}

void TkRasterImage::Serialize(ArchiveWriter& archive) {
    AlignRows();
    const std::uint64_t headerBytes = kInfoHeaderSize + 4 * std::uint64_t(GetColourTableSize());
    const std::uint64_t offset = kFileHeaderSize + headerBytes;
    std::uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
    Put32(fileHeader + 2, std::uint32_t(offset + m_Bits.size()));
    Put32(fileHeader + 10, std::uint32_t(offset));
    archive.WriteBytes(fileHeader);
    archive.WriteBytes(std::span(m_Header.data(), std::size_t(headerBytes)));
    archive.WriteBytes(m_Bits);
}

bool TkRasterImage::Serialize(ArchiveReader& archive) {
    std::optional<Picture> backup;
    if (!m_Bits.empty()) backup = Detach();
    bool loaded = false;
    try {
        loaded = ReadBmpLayout(
                     [&](void* buffer, std::size_t count) {
                         const std::size_t size = std::min(count, archive.Remaining());
                         std::memcpy(buffer, archive.ReadBytes(size).data(), size);
                         return size;
                     },
                     archive.Remaining()) &&
                 FinishLoad();
    } catch (const ArchiveException&) {
        loaded = false;
    }
    if (!loaded) {
        FreeImage();
        if (backup) Attach(std::move(*backup));
    } else if (backup && backup->palette) {
        DeleteObject(backup->palette);
    }
    return loaded;
}

int TkRasterImage::Draw(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                        std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh, const void* bits,
                        const BITMAPINFO* info, UINT usage, DWORD rop) {
    if (!m_bHalftone) return StretchDIBits(dc, x, y, width, height, sx, sy, sw, sh, bits, info, usage, rop);
    HPALETTE halftone = CreateHalftonePalette(dc);
    if (!halftone) return 0;
    HPALETTE previous = SelectPalette(dc, halftone, FALSE);
    RealizePalette(dc);
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    const int lines = StretchDIBits(dc, x, y, width, height, sx, sy, sw, sh, bits, info, usage, rop);
    SetStretchBltMode(dc, oldMode);
    SelectPalette(dc, previous, FALSE);
    DeleteObject(halftone);
    return lines;
}

int TkRasterImage::Draw(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    if (m_Bits.empty()) return 0;
    AlignRows();
    return Draw(dc, x, y, width, height, 0, 0, m_nWidth, m_nHeight, m_Bits.data(), GetInfo(), DIB_RGB_COLORS,
                SRCCOPY);
}

HBITMAP TkRasterImage::MakeBitmap(HDC dc) {
    if (m_Bits.empty()) return nullptr;
    AlignRows();
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, m_nWidth, m_nHeight);
    HGDIOBJ old = SelectObject(memory, bitmap);
    StretchDIBits(memory, 0, 0, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight, m_Bits.data(), GetInfo(),
                  DIB_RGB_COLORS, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return bitmap;
}

HBITMAP TkRasterImage::LoadDeviceBitmap(const std::string& path) {
    if (!LoadImage(path)) return nullptr;
    HDC screen = GetDC(0);
    HBITMAP bitmap = CreateDIBitmap(screen, &GetHeader(), CBM_INIT, m_Bits.data(), GetInfo(), DIB_RGB_COLORS);
    ReleaseDC(0, screen);
    return bitmap;
}

bool TkRasterImage::CreateFromBitmap(HDC dc, HBITMAP bitmap) {
    BITMAP description;
    if (!bitmap || !GetObject(bitmap, sizeof description, &description) || description.bmWidth <= 0 ||
        description.bmHeight <= 0)
        return false;
    const std::int32_t sourceDepth = description.bmBitsPixel * description.bmPlanes;
    const std::int32_t depth = sourceDepth <= 8 && IsImageDepth(sourceDepth) ? sourceDepth : 24;
    Allocate(description.bmWidth, description.bmHeight, depth, ColoursOfDepth(depth));
    if (!GetDIBits(dc, bitmap, 0, UINT(m_nHeight), m_Bits.data(),
                   reinterpret_cast<BITMAPINFO*>(m_Header.data()), DIB_RGB_COLORS)) {
        FreeImage();
        return false;
    }
    CreatePalette();
    m_bHalftone = m_nScreenDepth != 0 && m_nScreenDepth != m_nImageDepth;
    return true;
}

bool TkRasterImage::Copy(const TkRasterImage& other) {
    FreeImage();
    m_Bits = other.m_Bits;
    m_Header = other.m_Header;
    m_nImageDepth = other.m_nImageDepth;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_nAlignedWidth = other.m_nAlignedWidth;
    m_nColors = other.m_nColors;
    m_bRowsAligned = other.m_bRowsAligned;
    m_bHalftone = other.m_bHalftone;
    m_bMsbFirst = other.m_bMsbFirst;
    m_Buffer.clear();
    m_nBufferSize = m_nBytesInBuffer = m_nBufferPosition = 0;
    CreatePalette();
    return true;
}

void TkRasterImage::TakeOver(TkRasterImage& other) {
    Attach(other.Detach());
    m_bMsbFirst = other.m_bMsbFirst;
}

void TkRasterImage::AlignRows() {
    if (m_bRowsAligned || m_Bits.empty()) {
        m_bRowsAligned = true;
        return;
    }
    const std::size_t packed = PackedRowSize(m_nImageDepth, m_nWidth),
                      aligned = AlignedRowSize(m_nImageDepth, m_nWidth);
    if (packed != aligned) {
        std::vector<std::uint8_t> bits(aligned * std::size_t(m_nHeight), 0);
        for (std::int32_t y = 0; y < m_nHeight; ++y)
            std::memcpy(bits.data() + aligned * std::size_t(y), m_Bits.data() + packed * std::size_t(y),
                        packed);
        m_Bits = std::move(bits);
    }
    m_bRowsAligned = true;
}

void TkRasterImage::PackRows() {
    if (!m_bRowsAligned || m_Bits.empty()) {
        m_bRowsAligned = false;
        return;
    }
    const std::size_t packed = PackedRowSize(m_nImageDepth, m_nWidth),
                      aligned = AlignedRowSize(m_nImageDepth, m_nWidth);
    if (packed != aligned) {
        std::vector<std::uint8_t> bits(packed * std::size_t(m_nHeight));
        for (std::int32_t y = 0; y < m_nHeight; ++y)
            std::memcpy(bits.data() + packed * std::size_t(y), m_Bits.data() + aligned * std::size_t(y),
                        packed);
        m_Bits = std::move(bits);
    }
    m_bRowsAligned = false;
}

bool TkRasterImage::SetBuffer(std::uint32_t size, bool fillNow) {
    if (!m_pFile) return false;
    m_Buffer.assign(size, 0);
    m_nBufferSize = size;
    m_nBytesInBuffer = m_nBufferPosition = 0;
    if (fillNow && size) FillBuffer();
    return true;
}

std::uint32_t TkRasterImage::FillBuffer() {
    if (!m_pFile || m_nBufferSize == 0) return 0;
    m_nBytesInBuffer = m_pFile->Read(m_Buffer.data(), m_nBufferSize);
    m_nBufferPosition = 0;
    return m_nBytesInBuffer;
}

std::uint32_t TkRasterImage::BufferedRead(void* destination, std::uint32_t count) {
    if (!m_pFile) return 0;
    if (m_nBufferSize == 0) return m_pFile->Read(destination, count);
    std::uint32_t done = 0;
    while (done < count) {
        if (m_nBufferPosition >= m_nBytesInBuffer && FillBuffer() == 0) break;
        const std::uint32_t chunk = std::min(count - done, m_nBytesInBuffer - m_nBufferPosition);
        std::memcpy(static_cast<std::uint8_t*>(destination) + done, m_Buffer.data() + m_nBufferPosition,
                    chunk);
        m_nBufferPosition += chunk;
        done += chunk;
    }
    return done;
}

std::uint32_t TkRasterImage::BufferedWrite(const void* source, std::uint32_t count) {
    if (!m_pFile) return 0;
    if (m_nBufferSize == 0) {
        m_pFile->Write(source, count);
        return count;
    }
    std::uint32_t done = 0;
    while (done < count) {
        const std::uint32_t chunk = std::min(count - done, m_nBufferSize - m_nBytesInBuffer);
        std::memcpy(m_Buffer.data() + m_nBytesInBuffer, static_cast<const std::uint8_t*>(source) + done,
                    chunk);
        m_nBytesInBuffer += chunk;
        done += chunk;
        if (m_nBytesInBuffer == m_nBufferSize) FlushBuffer();
    }
    return done;
}

void TkRasterImage::FlushBuffer() {
    if (m_pFile && m_nBytesInBuffer) m_pFile->Write(m_Buffer.data(), m_nBytesInBuffer);
    m_nBytesInBuffer = m_nBufferPosition = 0;
}

bool TkRasterImage::Rotate90(bool clockwise) {
    if (!IsImageDepth(m_nImageDepth) || m_Bits.empty()) {
        char text[128] = {};
        LoadToolkitString(IDS_TK_ROTATE_UNSUPPORTED, text, sizeof text);
        MessageBox(0, text, nullptr, MB_OK);
        return false;
    }
    AlignRows();
    const std::int32_t oldWidth = m_nWidth, oldHeight = m_nHeight, depth = m_nImageDepth;
    const std::size_t newRow = AlignedRowSize(depth, oldHeight);
    std::vector<std::uint8_t> bits(newRow * std::size_t(oldWidth), 0);
    for (std::int32_t y = 0; y < oldHeight; ++y) {
        const std::uint8_t* from = Row(y);
        for (std::int32_t x = 0; x < oldWidth; ++x) {
            const std::int32_t column = clockwise ? y : oldHeight - 1 - y;
            const std::int32_t row = clockwise ? oldWidth - 1 - x : x;
            CopyPixel(from, x, bits.data() + newRow * std::size_t(row), column, depth);
        }
    }
    m_Bits = std::move(bits);
    m_nWidth = oldHeight;
    m_nHeight = oldWidth;
    m_nAlignedWidth = std::int32_t(newRow);
    SetHeaderSize(m_nWidth, m_nHeight);
    return true;
}

bool TkRasterImage::Crop(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    const std::int64_t left = std::clamp<std::int64_t>(x, 0, m_nWidth);
    const std::int64_t top = std::clamp<std::int64_t>(y, 0, m_nHeight);
    const std::int64_t right = std::clamp<std::int64_t>(std::int64_t(x) + width, 0, m_nWidth);
    const std::int64_t bottom = std::clamp<std::int64_t>(std::int64_t(y) + height, 0, m_nHeight);
    if (m_Bits.empty() || right <= left || bottom <= top) return false;
    AlignRows();
    const std::int32_t newWidth = std::int32_t(right - left), newHeight = std::int32_t(bottom - top);
    const std::size_t newRow = AlignedRowSize(m_nImageDepth, newWidth);
    std::vector<std::uint8_t> bits(newRow * std::size_t(newHeight), 0);
    for (std::int32_t row = 0; row < newHeight; ++row) {
        // Rows count from the bottom; the rectangle's top row is the new picture's last.
        const std::int32_t from = m_nHeight - 1 - std::int32_t(top) - (newHeight - 1 - row);
        for (std::int32_t column = 0; column < newWidth; ++column)
            CopyPixel(Row(from), std::int32_t(left) + column, bits.data() + newRow * std::size_t(row), column,
                      m_nImageDepth);
    }
    m_Bits = std::move(bits);
    m_nWidth = newWidth;
    m_nHeight = newHeight;
    m_nAlignedWidth = std::int32_t(newRow);
    SetHeaderSize(newWidth, newHeight);
    return true;
}

void TkRasterImage::MirrorHorizontal() {
    if (m_Bits.empty()) return;
    AlignRows();
    std::vector<std::uint8_t> mirrored(RowSize());
    for (std::int32_t y = 0; y < m_nHeight; ++y) {
        std::fill(mirrored.begin(), mirrored.end(), 0);
        for (std::int32_t x = 0; x < m_nWidth; ++x)
            CopyPixel(Row(y), m_nWidth - 1 - x, mirrored.data(), x, m_nImageDepth);
        std::memcpy(Row(y), mirrored.data(), mirrored.size());
    }
}

void TkRasterImage::FlipVertical() {
    if (m_Bits.empty()) return;
    AlignRows();
    const std::size_t size = RowSize();
    for (std::int32_t y = 0; y < m_nHeight / 2; ++y)
        std::swap_ranges(Row(y), Row(y) + size, Row(m_nHeight - 1 - y));
}

void TkRasterImage::AdjustContrast(std::int16_t direction) {
    const int a = direction <= 0 ? -1 : 1;
    if (m_nImageDepth == 4 || m_nImageDepth == 8) {
        RGBQUAD* table = GetColourTable();
        for (std::uint32_t i = 0; i < GetColourTableSize(); ++i)
            AdjustColour(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, a);
        CreatePalette();
    } else if (m_nImageDepth == 24 || m_nImageDepth == 32) {
        const std::size_t size = std::size_t(m_nImageDepth / 8);
        for (std::int32_t y = 0; y < m_nHeight; ++y) {
            std::uint8_t* row = Row(y);
            for (std::int32_t x = 0; x < m_nWidth; ++x) {
                std::uint8_t* pixel = row + std::size_t(x) * size;
                AdjustColour(pixel[2], pixel[1], pixel[0], a);
            }
        }
    }
}

} // namespace vq
