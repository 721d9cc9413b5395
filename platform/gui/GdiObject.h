#pragma once

#include "platform/gui/Bitmap.h"
#include "platform/gui/GdiTypes.h"
#include "platform/gui/Region.h"

#include <map>
#include <memory>
#include <vector>

namespace vq {

struct LOGFONT {
    std::int32_t lfHeight = 0;
    std::int32_t lfWidth = 0;
    std::int32_t lfEscapement = 0;
    std::int32_t lfOrientation = 0;
    std::int32_t lfWeight = 0;
    std::uint8_t lfItalic = 0;
    std::uint8_t lfUnderline = 0;
    std::uint8_t lfStrikeOut = 0;
    std::uint8_t lfCharSet = 0;
    std::uint8_t lfOutPrecision = 0;
    std::uint8_t lfClipPrecision = 0;
    std::uint8_t lfQuality = 0;
    std::uint8_t lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};

inline constexpr std::int32_t FW_NORMAL = 400;
inline constexpr std::int32_t FW_BOLD = 700;
// Requests of a font description; the layer's fonts are all drawn alike whatever they ask.
inline constexpr std::uint8_t OUT_CHARACTER_PRECIS = 2;
inline constexpr std::uint8_t OUT_TT_ONLY_PRECIS = 7;
inline constexpr std::uint8_t DRAFT_QUALITY = 1;
inline constexpr std::uint8_t VARIABLE_PITCH = 2;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0;
};

struct BITMAP {
    std::int32_t bmType = 0;
    std::int32_t bmWidth = 0;
    std::int32_t bmHeight = 0;
    std::int32_t bmWidthBytes = 0;
    std::uint16_t bmPlanes = 1;
    std::uint16_t bmBitsPixel = 0;
    void* bmBits = nullptr;
};

class FontFace;

// Base of every drawing object a handle stands for. Objects selected into a device context are
// deleted only when the last context lets go of them.
class GdiObject {
public:
    enum class Type { Pen, Brush, Font, Bitmap, Region, Palette };

    explicit GdiObject(Type type) : type_(type) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Type ObjectType() const { return type_; }
    bool IsStock() const { return stock_; }
    void MarkStock() { stock_ = true; }

    int selections = 0;
    bool deletePending = false;

private:
    Type type_;
    bool stock_ = false;
};

class PenObject : public GdiObject {
public:
    PenObject(int penStyle, int penWidth, COLORREF penColour)
        : GdiObject(Type::Pen), style(penStyle), width(penWidth < 1 ? 1 : penWidth), colour(penColour) {}
    int style;
    int width;
    COLORREF colour;
    // Runs of on and off pixels of a user-styled pen.
    std::vector<int> userDashes;
};

class BitmapObject : public GdiObject {
public:
    BitmapObject(std::int32_t width, std::int32_t height, bool monochrome)
        : GdiObject(Type::Bitmap), bits(width, height, monochrome) {}
    explicit BitmapObject(Bitmap pixels) : GdiObject(Type::Bitmap), bits(std::move(pixels)) {}
    Bitmap bits;
};

class BrushObject : public GdiObject {
public:
    BrushObject(int brushStyle, COLORREF brushColour, int hatchStyle)
        : GdiObject(Type::Brush), style(brushStyle), colour(brushColour), hatch(hatchStyle) {}
    int style;
    COLORREF colour;
    int hatch;
    // A copy of the pattern bitmap, so deleting the caller's bitmap leaves the brush intact.
    std::unique_ptr<Bitmap> pattern;
};

class FontObject : public GdiObject {
public:
    explicit FontObject(const LOGFONT& lf);
    ~FontObject() override;
    LOGFONT logFont;
    // The rasterising face, made on first use (after the GUI application exists).
    const FontFace& Face() const;
    // The face at another height in pixels (a mapping that scales text), kept for reuse.
    const FontFace& FaceAtHeight(std::int32_t height) const;

private:
    mutable std::unique_ptr<FontFace> face_;
    mutable std::map<std::int32_t, std::unique_ptr<FontFace>> scaled_;
};

class RegionObject : public GdiObject {
public:
    explicit RegionObject(Region r) : GdiObject(Type::Region), region(std::move(r)) {}
    Region region;
};

struct PALETTEENTRY {
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    friend bool operator==(const PALETTEENTRY&, const PALETTEENTRY&) = default;
};

// A logical palette: the colours PALETTEINDEX values in a context name, by position.
class PaletteObject : public GdiObject {
public:
    explicit PaletteObject(std::vector<PALETTEENTRY> colours)
        : GdiObject(Type::Palette), entries(std::move(colours)) {}
    std::vector<PALETTEENTRY> entries;
};

using HGDIOBJ = GdiObject*;
using HPEN = PenObject*;
using HBRUSH = BrushObject*;
using HFONT = FontObject*;
using HBITMAP = BitmapObject*;
using HRGN = RegionObject*;
using HPALETTE = PaletteObject*;

} // namespace vq
