#pragma once

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/RuntimeClass.h"
#include "platform/gui/Gdi.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vq {

// A picture held as a device-independent bitmap: a 40-byte info header with its colour table,
// and bottom-up pixel rows, either 4-byte aligned or packed. Loads and saves through files or
// archives, draws with halftoning when the screen's depth differs, converts to and from device
// bitmaps and transforms its pixels. The file format is the derived class's.
class TkRasterImage : public Object {
public:
    TkRasterImage();
    ~TkRasterImage() override;
    TkRasterImage(const TkRasterImage&) = delete;
    TkRasterImage& operator=(const TkRasterImage&) = delete;

    virtual bool CreatePalette();
    // Without an attached file the file's open error propagates; with one it gives false.
    virtual bool LoadImage(const std::string& path);
    // A failed load keeps the picture held before.
    virtual bool LoadImage(File& file);
    // Writes a temporary file beside the path and renames it into place when complete; a path
    // that is no regular file (a device) is written directly.
    virtual bool SaveImage(const std::string& path);
    virtual bool SaveImage(File& file);
    virtual bool FreeImage();
    virtual bool FinishLoad();
    virtual bool BeforeSave() { return true; }
    virtual bool AfterSave() { return true; }
    virtual bool DoWrite(File& file) = 0;
    virtual bool DoRead(File& file) = 0;
    virtual void FreeOwnedFiles();

    // Stores the picture in BMP layout.
    void Serialize(ArchiveWriter& archive);
    // Replaces the picture from BMP layout; false (picture kept) for a malformed one.
    bool Serialize(ArchiveReader& archive);

    std::int32_t GetWidth() const { return m_nWidth; }
    std::int32_t GetHeight() const { return m_nHeight; }
    std::int32_t GetDepth() const { return m_nImageDepth; }
    bool IsEmpty() const { return m_Bits.empty(); }
    bool NeedsHalftone() const { return m_bHalftone; }
    HPALETTE GetPalette() const { return m_hPalette; }
    // Entries of the colour table.
    std::uint32_t GetColourTableSize() const;
    const RGBQUAD* GetColourTable() const;
    RGBQUAD* GetColourTable();
    const BITMAPINFO* GetInfo() const;
    const BITMAPINFOHEADER& GetHeader() const;
    const std::vector<std::uint8_t>& GetBits() const { return m_Bits; }
    std::vector<std::uint8_t>& GetBits() { return m_Bits; }
    bool AreRowsAligned() const { return m_bRowsAligned; }

    int Draw(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::int32_t sx,
             std::int32_t sy, std::int32_t sw, std::int32_t sh, const void* bits, const BITMAPINFO* info,
             UINT usage, DWORD rop);
    // The whole picture into the rectangle.
    int Draw(HDC dc, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    HBITMAP MakeBitmap(HDC dc);
    HBITMAP LoadDeviceBitmap(const std::string& path);
    bool CreateFromBitmap(HDC dc, HBITMAP bitmap);
    bool Copy(const TkRasterImage& other);
    void TakeOver(TkRasterImage& other);
    void AlignRows();
    void PackRows();

    static std::size_t PackedRowSize(std::int32_t depth, std::int32_t width);
    static std::size_t AlignedRowSize(std::int32_t depth, std::int32_t width);

    bool SetBuffer(std::uint32_t size, bool fillNow);
    std::uint32_t FillBuffer();
    std::uint32_t BufferedRead(void* destination, std::uint32_t count);
    std::uint32_t BufferedWrite(const void* source, std::uint32_t count);
    void FlushBuffer();

    bool Rotate90(bool clockwise);
    // The rectangle (y from the top) is clipped to the picture; false when nothing is left.
    bool Crop(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    void MirrorHorizontal();
    void FlipVertical();
    void AdjustContrast(std::int16_t direction);

    // The largest picture the classes accept, in pixels.
    static constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 28;

protected:
    // Makes an empty picture of this size and depth: aligned zero rows and a zero colour table
    // of `tableEntries` entries (none above 8 bits).
    void Allocate(std::int32_t width, std::int32_t height, std::int32_t depth, std::uint32_t tableEntries);
    std::size_t RowSize() const;
    std::uint8_t* Row(std::int32_t y) { return m_Bits.data() + std::size_t(y) * RowSize(); }
    const std::uint8_t* Row(std::int32_t y) const { return m_Bits.data() + std::size_t(y) * RowSize(); }
    File* AttachedFile() const { return m_pFile; }
    void SetHeaderSize(std::int32_t width, std::int32_t height);

    std::int32_t m_nImageDepth = 0;
    std::int32_t m_nScreenDepth = 0;
    std::int32_t m_nScreenPlanes = 1;
    bool m_bRowsAligned = false;
    std::int32_t m_nAlignedWidth = 0;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::uint16_t m_nColors = 0;
    std::uint16_t m_nScreenColors = 0;
    HPALETTE m_hPalette = nullptr;
    File* m_pFile = nullptr;
    std::vector<std::uint8_t> m_Bits;
    std::vector<std::uint8_t> m_Header;
    bool m_bHalftone = false;
    std::int32_t m_nSubBytePosition = 0;
    std::int32_t m_nPixelIndex = 0;
    bool m_bMsbFirst = true;

private:
    struct Picture;
    Picture Detach();
    void Attach(Picture&& picture);
    bool ReadBmpLayout(const std::function<std::size_t(void*, std::size_t)>& read, std::uint64_t available);
    friend class TkDib;

    std::uint32_t m_nBufferSize = 0;
    std::uint32_t m_nBytesInBuffer = 0;
    std::uint32_t m_nBufferPosition = 0;
    std::vector<std::unique_ptr<File>> m_OwnedFiles;
    std::vector<std::uint8_t> m_Buffer;
};

// BMP files: uncompressed pictures of 1, 4, 8, 16, 24 or 32 bits per pixel.
class TkDib : public TkRasterImage {
    VQ_DECLARE_RUNTIME_CLASS(TkDib)
public:
    bool DoRead(File& file) override;
    bool DoWrite(File& file) override;
};

} // namespace vq
