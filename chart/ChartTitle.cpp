#include "chart/ChartTitle.h"

#include "chart/Chart.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartTemplateScanner.h"
#include "platform/gui/Gdi.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(ChartTitle, ChartComponent)

ChartTitle::ChartTitle() : ChartComponent(chartTitleType) {}

ChartTitle::ChartTitle(int typeCode) : ChartComponent(typeCode) {}

ChartTitle::~ChartTitle() {
    if (m_font) DeleteObject(m_font);
}

void ChartTitle::SetFaceName(std::string_view face) {
    m_face = face.substr(0, std::min(face.size(), kMaxFaceBytes));
}

void ChartTitle::SetFont(int size, int flags, std::string_view face) {
    m_fontSize = size;
    m_fontFlags = flags;
    SetFaceName(face);
    m_fontDirty = 1;
}

void ChartTitle::SetText(std::string_view text, int alignment) {
    m_text = text.empty() ? std::string(" ") : std::string(text);
    m_alignment = alignment;
}

void ChartTitle::RefreshText() {
    if (Chart* chart = GetChart()) SetText(chart->GetAnnotation(chart->GetAnnotationIndex()), m_alignment);
}

int ChartTitle::GetAutoFontSize() {
    const RECT r = GetDeviceRect();
    return TruncToInt(-0.9 * (r.bottom - r.top));
}

LOGFONT ChartTitle::DescribeFont(int size, int escapement) const {
    LOGFONT lf{};
    std::memcpy(lf.lfFaceName, m_face.data(), std::min(m_face.size(), kMaxFaceBytes));
    lf.lfOutPrecision = 3;
    lf.lfClipPrecision = 2;
    lf.lfQuality = 1;
    HDC dc = GetDrawingDC();
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : ScreenDpiY();
    lf.lfHeight = size >= 0 ? TruncToInt(size * dpi * -0.013888888888888888) : size;
    lf.lfEscapement = lf.lfOrientation = escapement;
    lf.lfWeight = (m_fontFlags & fontBold) ? 700 : 400;
    lf.lfItalic = (m_fontFlags & fontItalic) ? 1 : 0;
    lf.lfUnderline = (m_fontFlags & fontUnderline) ? 1 : 0;
    lf.lfStrikeOut = (m_fontFlags & fontStrikeOut) ? 1 : 0;
    return lf;
}

void ChartTitle::ReplaceFont(HFONT font) {
    if (m_font) DeleteObject(m_font);
    m_font = font;
}

void ChartTitle::BuildFont() {
    const int size = (m_fontFlags & fontAutoSize) ? GetAutoFontSize() : m_fontSize;
    ReplaceFont(CreateFontIndirect(DescribeFont(size, 0)));
}

SIZE ChartTitle::MeasureText(std::string_view text) {
    SIZE total{0, 0};
    HDC dc = GetDrawingDC();
    while (!text.empty() && dc) {
        const std::size_t feed = text.find('\n');
        const std::string_view line = text.substr(0, feed);
        SIZE extent{};
        GetTextExtentPoint32(dc, line.data(), static_cast<int>(line.size()), &extent);
        total.cx = std::max(total.cx, extent.cx);
        total.cy += extent.cy;
        if (feed == std::string_view::npos) break;
        text.remove_prefix(feed);
        const std::size_t next = text.find_first_not_of(" \t\r\n\v\f");
        text = next == std::string_view::npos ? std::string_view{} : text.substr(next);
    }
    return total;
}

void ChartTitle::DrawForeground() {
    if (!GetDrawFlag()) return;
    RefreshText();
    HDC dc = GetDrawingDC();
    const RECT r = GetDeviceRect();
    const bool printing = IsPrinting(dc) != 0;
    if (printing || IsInvalid() || (m_fontFlags & fontAutoSize)) m_fontDirty = 1;
    if (m_fontDirty || !m_font) BuildFont();
    // A printed page leaves the font dirty so that the next screen draw rebuilds it.
    if (!printing) m_fontDirty = 0;
    HGDIOBJ oldFont = SelectObject(dc, m_font);
    const COLORREF oldColour = SetTextColor(dc, m_colour);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    SIZE extent{};
    GetTextExtentPoint32(dc, m_text.data(), static_cast<int>(m_text.size()), &extent);
    const int h = r.bottom - r.top;
    RECT box{r.left, r.top + h / 2 - extent.cy / 2 - 1, r.right, r.top + h / 2 + extent.cy / 2 + 1};
    const UINT align = m_alignment == alignLeft ? DT_LEFT : m_alignment == alignRight ? DT_RIGHT : DT_CENTER;
    DrawText(dc, m_text.data(), static_cast<int>(m_text.size()), &box, align | DT_NOPREFIX);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    SelectObject(dc, oldFont);
}

int ChartTitle::ReadTemplate(std::string_view text) {
    ChartTemplateScanner scan(text);
    int red = 0, green = 0, blue = 0, size = 0, flags = 0, alignment = 0;
    std::string face;
    const bool complete = scan.ReadInt(red) && scan.ReadInt(green) && scan.ReadInt(blue) &&
                          scan.ReadQuoted(face, kMaxFaceBytes) && scan.ReadInt(size) && scan.ReadInt(flags) &&
                          scan.ReadInt(alignment);
    constexpr int kTitleGroupError = 10;
    if (!complete) RaiseChartError(kTitleGroupError);
    SetText("", alignment);
    // The fields come from a text file: sum them as unsigned words, which wrap where ints would overflow.
    SetColor(static_cast<COLORREF>(static_cast<std::uint32_t>(red) + 256u * static_cast<std::uint32_t>(green & 0xFF) +
                                   65536u * static_cast<std::uint32_t>(blue)));
    SetFont(size, flags, face);
    return static_cast<int>(scan.Used());
}

std::string ChartTitle::FontGroup(COLORREF colour, std::string_view face, int size, int flags, int last) {
    char text[160];
    std::snprintf(text, sizeof text, "%d %d %d \"%.*s\" %d %d %d ", static_cast<int>(GetRValue(colour)),
                  static_cast<int>(GetGValue(colour)), static_cast<int>(GetBValue(colour)),
                  static_cast<int>(std::min(face.size(), kMaxFaceBytes)), face.data(), size, flags, last);
    return text;
}

std::string ChartTitle::WriteTemplateOwn() const {
    return FontGroup(m_colour, m_face, m_fontSize, m_fontFlags, m_alignment);
}

void ChartTitle::Store(ObjectWriter& archive) const {
    ChartComponent::Store(archive);
    archive.WriteInt32(m_alignment);
    archive.WriteUInt32(m_colour);
    archive.WriteInt32(m_fontSize);
    archive.WriteInt32(m_fontFlags);
    archive.WriteText(m_text);
    archive.WriteText(m_face);
}

void ChartTitle::Load(ObjectReader& archive, u32 schema) {
    ChartComponent::Load(archive, schema);
    m_alignment = archive.ReadInt32();
    m_colour = archive.ReadUInt32();
    m_fontSize = archive.ReadInt32();
    m_fontFlags = archive.ReadInt32();
    m_text = archive.ReadText();
    SetFaceName(archive.ReadText());
    m_fontDirty = 1;
}

} // namespace vq
