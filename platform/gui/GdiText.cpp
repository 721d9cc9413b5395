#include "platform/gui/GdiText.h"

#include "platform/gui/Gdi.h"
#include "platform/gui/GdiJournal.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vq {

namespace {

std::string_view Bytes(const char* text, int length) {
    if (!text) return {};
    return length < 0 ? std::string_view(text) : std::string_view(text, std::size_t(length));
}

// A line as laid out: its characters, where each piece between tabs starts, and which character
// (if any) the prefix underlines.
struct Line {
    std::u32string text;
    std::int32_t width = 0;
    std::ptrdiff_t underline = -1;
};

class Layout {
public:
    Layout(const FontFace& face, UINT format, std::int32_t width)
        : face_(face), format_(format), width_(width), tabWidth_(8 * face.GetMetrics().averageCharWidth) {}

    std::vector<Line> Lay(std::u32string_view text) const {
        std::vector<Line> lines;
        if (format_ & DT_SINGLELINE) {
            lines.push_back(Measure(Unprefix(text)));
        } else {
            std::size_t start = 0;
            while (true) {
                std::size_t end = text.find_first_of(U"\r\n", start);
                const auto paragraph =
                    text.substr(start, end == std::u32string_view::npos ? end : end - start);
                Wrap(Unprefix(paragraph), lines);
                if (end == std::u32string_view::npos) break;
                if (text[end] == U'\r' && end + 1 < text.size() && text[end + 1] == U'\n') ++end;
                start = end + 1;
            }
        }
        if (format_ & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
            for (auto& line : lines)
                Ellipsise(line);
        return lines;
    }

    // Where each character starts, tabs expanded.
    std::int32_t Advance(char32_t c, std::int32_t x) const {
        if (c == U'\t' && (format_ & DT_EXPANDTABS))
            return tabWidth_ > 0 ? (x / tabWidth_ + 1) * tabWidth_ - x : 0;
        return face_.Advance(c);
    }

private:
    Line Unprefix(std::u32string_view text) const {
        Line line;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (!(format_ & DT_NOPREFIX) && c == U'&') {
                if (i + 1 >= text.size()) break;
                c = text[++i];
                if (c != U'&') line.underline = std::ptrdiff_t(line.text.size());
            }
            line.text.push_back(c);
        }
        return line;
    }

    Line Measure(Line line) const {
        line.width = Width(line.text);
        return line;
    }

    std::int32_t Width(std::u32string_view text) const {
        std::int32_t x = 0;
        for (char32_t c : text)
            x += Advance(c, x);
        return x;
    }

    // Breaks at spaces so that each line fits; a word wider than the rectangle keeps a line of its own.
    void Wrap(Line paragraph, std::vector<Line>& lines) const {
        if (!(format_ & DT_WORDBREAK)) {
            lines.push_back(Measure(std::move(paragraph)));
            return;
        }
        const std::u32string& t = paragraph.text;
        std::size_t start = 0;
        do {
            std::size_t end = t.size();
            if (Width(std::u32string_view(t).substr(start)) > width_) {
                std::size_t fit = std::u32string::npos;
                for (std::size_t i = start; i < t.size(); ++i)
                    if (t[i] == U' ' && Width(std::u32string_view(t).substr(start, i - start)) <= width_)
                        fit = i;
                if (fit == std::u32string::npos) {
                    fit = t.find(U' ', start);
                    if (fit == std::u32string::npos) fit = t.size();
                }
                end = fit;
            }
            Line line;
            line.text = t.substr(start, end - start);
            if (paragraph.underline >= std::ptrdiff_t(start) && paragraph.underline < std::ptrdiff_t(end))
                line.underline = paragraph.underline - std::ptrdiff_t(start);
            lines.push_back(Measure(std::move(line)));
            start = end;
            while (start < t.size() && t[start] == U' ')
                ++start;
        } while (start < t.size());
    }

    void Ellipsise(Line& line) const {
        if (line.width <= width_) return;
        static constexpr std::u32string_view dots = U"...";
        while (!line.text.empty()) {
            line.text.pop_back();
            if (Width(line.text) + Width(dots) <= width_) break;
        }
        if (line.underline >= std::ptrdiff_t(line.text.size())) line.underline = -1;
        line.text += dots;
        line.width = Width(line.text);
    }

    const FontFace& face_;
    UINT format_;
    std::int32_t width_;
    std::int32_t tabWidth_;
};

void FillDeviceCell(HDC dc, const RECT& logical, const RECT* clip) {
    RECT cell = logical;
    if (clip) cell = IntersectRects(cell, *clip);
    if (cell.IsEmpty()) return;
    HBRUSH background = CreateSolidBrush(dc->state.bkColour);
    FillRect(dc, &cell, background);
    DeleteObject(background);
}

} // namespace

const FontFace& SelectedFace(HDC dc) {
    const FontObject& font = *dc->state.font;
    return font.FaceAtHeight(dc->ToDeviceHeight(font.logFont.lfHeight));
}

void PaintTextRun(HDC dc, POINT topLeft, std::u32string_view text, const RECT* clip) {
    const FontFace& face = SelectedFace(dc);
    const auto& m = face.GetMetrics();
    if (dc->state.bkMode == OPAQUE && face.Escapement() == 0)
        FillDeviceCell(dc, RECT{topLeft.x, topLeft.y, topLeft.x + face.TextWidth(text), topLeft.y + m.height},
                       clip);
    if (text.empty()) return;
    const FontFace::Coverage coverage = face.Render(text);
    const POINT origin = dc->ToSurface(dc->ToDevice(topLeft));
    Region area = dc->Clip();
    if (clip)
        area = Region::Combine(
            area, Region(OffsetRectBy(dc->ToDevice(*clip), dc->Origin().x, dc->Origin().y)), RGN_AND);
    Bitmap& surface = dc->Surface();
    const std::uint32_t ink = dc->DeviceValue(dc->state.textColour);
    for (std::int32_t y = 0; y < coverage.height; ++y) {
        const std::int32_t sy = origin.y + coverage.top + y;
        const auto* spans = area.RowSpans(sy);
        if (!spans) continue;
        for (std::int32_t x = 0; x < coverage.width; ++x) {
            if (!coverage.At(x, y)) continue;
            const std::int32_t sx = origin.x + coverage.left + x;
            for (const auto& s : *spans)
                if (sx >= s.x0 && sx < s.x1) surface.SetPixel(sx, sy, ink);
        }
    }
}

BOOL TextOut(HDC dc, std::int32_t x, std::int32_t y, const char* text, int length) {
    return ExtTextOut(dc, x, y, 0, nullptr, text, length, nullptr);
}

BOOL ExtTextOut(HDC dc, std::int32_t x, std::int32_t y, UINT options, const RECT* r, const char* text,
                int length, const int* dx) {
    if (!dc) return FALSE;
    const std::u32string chars = DecodeText(Bytes(text, length));
    const FontFace& face = SelectedFace(dc);
    const auto& m = face.GetMetrics();
    std::int32_t width = 0;
    if (dx)
        for (std::size_t i = 0; i < chars.size(); ++i)
            width += dx[i];
    else
        width = dc->ToLogicalWidth(face.TextWidth(chars));
    // Placement runs in logical units; the face measures in device pixels.
    const std::int32_t ascent = dc->ToLogicalHeight(m.ascent);
    const std::int32_t height = dc->ToLogicalHeight(m.height);

    const UINT align = dc->state.textAlign;
    POINT at = (align & TA_UPDATECP) ? dc->state.position : POINT{x, y};
    if ((align & TA_CENTER) == TA_CENTER)
        at.x -= width / 2;
    else if (align & TA_RIGHT)
        at.x -= width;
    if ((align & TA_BASELINE) == TA_BASELINE)
        at.y -= ascent;
    else if (align & TA_BOTTOM)
        at.y -= height;
    if (align & TA_UPDATECP)
        dc->state.position.x = (align & TA_RIGHT) && (align & TA_CENTER) != TA_CENTER ? at.x : at.x + width;

    GdiJournal::Record(dc, "ExtTextOut", dc->ToDevice(RECT{at.x, at.y, at.x + width, at.y + height}));
    if ((options & ETO_OPAQUE) && r) FillDeviceCell(dc, *r, nullptr);
    const RECT* clip = (options & ETO_CLIPPED) ? r : nullptr;
    if (!dx) {
        PaintTextRun(dc, at, chars, clip);
        return TRUE;
    }
    for (std::size_t i = 0; i < chars.size(); ++i) {
        PaintTextRun(dc, at, std::u32string_view(chars).substr(i, 1), clip);
        at.x += dx[i];
    }
    return TRUE;
}

BOOL GetTextExtentPoint32(HDC dc, const char* text, int length, SIZE* size) {
    if (!dc || !size) return FALSE;
    const FontFace& face = SelectedFace(dc);
    *size = {dc->ToLogicalWidth(face.TextWidth(DecodeText(Bytes(text, length)))),
             dc->ToLogicalHeight(face.GetMetrics().height)};
    return TRUE;
}

int DrawText(HDC dc, const char* text, int length, RECT* r, UINT format) {
    if (!dc || !r) return 0;
    const FontFace& face = SelectedFace(dc);
    const auto& m = face.GetMetrics();
    const std::int32_t lineHeight = m.height + ((format & DT_EXTERNALLEADING) ? m.externalLeading : 0);
    const Layout layout(face, format, r->right - r->left);
    const std::vector<Line> lines = layout.Lay(DecodeText(Bytes(text, length)));
    const std::int32_t textHeight = lineHeight * std::int32_t(lines.size());

    if (format & DT_CALCRECT) {
        std::int32_t widest = 0;
        for (const auto& line : lines)
            widest = std::max(widest, line.width);
        r->right = r->left + widest;
        r->bottom = r->top + textHeight;
        return textHeight;
    }

    std::int32_t y = r->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = r->top + (r->bottom - r->top - textHeight) / 2;
        else if (format & DT_BOTTOM)
            y = r->bottom - textHeight;
    }
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : r;
    for (const auto& line : lines) {
        std::int32_t x = r->left;
        if (format & DT_CENTER)
            x = r->left + (r->right - r->left - line.width) / 2;
        else if (format & DT_RIGHT)
            x = r->right - line.width;
        // Pieces between tabs are drawn where the expanded tabs put them.
        std::int32_t at = 0;
        std::size_t start = 0;
        std::int32_t underlineX = -1;
        std::int32_t underlineWidth = 0;
        for (std::size_t i = 0; i <= line.text.size(); ++i) {
            const bool tab = i < line.text.size() && line.text[i] == U'\t' && (format & DT_EXPANDTABS);
            if (i == line.text.size() || tab) {
                const auto piece = std::u32string_view(line.text).substr(start, i - start);
                PaintTextRun(dc, POINT{x + at, y}, piece, clip);
                at += face.TextWidth(piece);
                if (tab) at += layout.Advance(U'\t', at);
                start = i + 1;
                continue;
            }
            if (std::ptrdiff_t(i) == line.underline) {
                underlineX = x + at + face.TextWidth(std::u32string_view(line.text).substr(start, i - start));
                underlineWidth = face.Advance(line.text[i]);
            }
        }
        if (underlineX >= 0 && underlineWidth > 0) {
            RECT bar{underlineX, y + m.ascent + 1, underlineX + underlineWidth, y + m.ascent + 2};
            if (clip) bar = IntersectRects(bar, *clip);
            HBRUSH ink = CreateSolidBrush(dc->state.textColour);
            if (!bar.IsEmpty()) FillRect(dc, &bar, ink);
            DeleteObject(ink);
        }
        y += lineHeight;
    }
    return textHeight;
}

int GetTextFace(HDC dc, int size, char* out) {
    if (!dc) return 0;
    const char* name = dc->state.font->logFont.lfFaceName;
    const int length = int(strnlen(name, sizeof dc->state.font->logFont.lfFaceName));
    if (!out) return length + 1;
    if (size <= 0) return 0;
    const int copied = std::min(length, size - 1);
    std::memcpy(out, name, std::size_t(copied));
    out[copied] = '\0';
    return copied;
}

} // namespace vq

namespace vq {

namespace {

// Lays the pieces between tabs out from x, drawing them when asked; the packed width and height.
LONG LayOutTabbedText(HDC dc, std::int32_t x, std::int32_t y, const char* text, int length, int tabCount,
                      const int* tabStops, std::int32_t tabOrigin, bool draw) {
    if (!dc) return 0;
    const std::string_view all = Bytes(text, length);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    // No stops: every 8 average characters; one: every that many pixels; more: at each of them.
    const std::int32_t spacing = tabCount <= 0 || !tabStops ? 8 * tm.tmAveCharWidth : tabStops[0];
    const auto nextStop = [&](std::int32_t at) {
        const std::int32_t offset = at - tabOrigin;
        if (tabCount > 1 && tabStops) {
            for (int i = 0; i < tabCount; ++i)
                if (tabStops[i] > offset) return tabOrigin + tabStops[i];
            return at;
        }
        return spacing > 0 ? tabOrigin + (offset / spacing + 1) * spacing : at;
    };
    std::int32_t at = x;
    std::size_t start = 0;
    while (start <= all.size()) {
        const std::size_t tab = std::min(all.find('\t', start), all.size());
        const std::string_view piece = all.substr(start, tab - start);
        SIZE size;
        GetTextExtentPoint32(dc, piece.data(), int(piece.size()), &size);
        if (draw) TextOut(dc, at, y, piece.data(), int(piece.size()));
        at += size.cx;
        if (tab == all.size()) break;
        at = nextStop(at);
        start = tab + 1;
    }
    return LONG(std::uint32_t(std::uint16_t(at - x)) | std::uint32_t(std::uint16_t(tm.tmHeight)) << 16);
}

} // namespace

LONG TabbedTextOut(HDC dc, std::int32_t x, std::int32_t y, const char* text, int length, int tabCount,
                   const int* tabStops, std::int32_t tabOrigin) {
    return LayOutTabbedText(dc, x, y, text, length, tabCount, tabStops, tabOrigin, true);
}

DWORD GetTabbedTextExtent(HDC dc, const char* text, int length, int tabCount, const int* tabStops) {
    return DWORD(LayOutTabbedText(dc, 0, 0, text, length, tabCount, tabStops, 0, false));
}

BOOL GrayString(HDC dc, HBRUSH brush, GRAYSTRINGPROC output, LPARAM data, int count, std::int32_t x,
                std::int32_t y, std::int32_t width, std::int32_t height) {
    if (!dc || (!output && !data)) return FALSE;
    const char* text = reinterpret_cast<const char*>(data);
    if (!output && count <= 0) count = int(std::strlen(text));
    if (width <= 0 || height <= 0) {
        SIZE size{};
        if (!output) GetTextExtentPoint32(dc, text, count, &size);
        if (width <= 0) width = size.cx;
        if (height <= 0) height = size.cy;
    }
    if (width <= 0 || height <= 0) return TRUE;
    // Drawn black on white in a monochrome bitmap with the context's font, then every other pixel
    // of what was drawn is put in the grey colour.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bits = CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ oldBits = SelectObject(memory, bits);
    HGDIOBJ oldFont = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
    PatBlt(memory, 0, 0, width, height, WHITENESS);
    SetTextColor(memory, RGB(0, 0, 0));
    SetBkMode(memory, TRANSPARENT);
    const BOOL drawn = output ? output(memory, data, count) : TextOut(memory, 0, 0, text, count);
    COLORREF grey = GetTextColor(dc);
    LOGBRUSH lb;
    if (brush && GetObject(brush, sizeof lb, &lb)) grey = lb.lbColor;
    for (std::int32_t py = 0; py < height; ++py)
        for (std::int32_t px = 0; px < width; ++px)
            if ((px + py) % 2 == 0 && GetPixel(memory, px, py) == RGB(0, 0, 0))
                SetPixel(dc, x + px, y + py, grey);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBits);
    DeleteObject(bits);
    DeleteDC(memory);
    return drawn;
}

} // namespace vq
