#include "chart/ChartGridLines.h"

#include "chart/Chart.h"
#include "chart/ChartGeometry.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Gdi.h"

#include <cmath>

namespace vq {
namespace {

constexpr int kGridVersion = 2;
constexpr int kDefaultDepth = 10;
constexpr u32 kExplicitSizes = 1u << 30;

enum class Look { nothing, plain, depth, other };

Look LookOf(int kind) {
    switch (kind) {
    case 2:
    case 3:
    case 8:
    case 10:
    case 12:
    case 15:
    case 18:
    case 19:
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
        return Look::plain;
    case 11:
    case 13:
    case 16:
    case 20:
    case 21:
    case 22:
        return Look::depth;
    case 0:
    case 4:
    case 5:
    case 6:
    case 7:
    case 9:
    case 14:
    case 17:
        return Look::nothing;
    default:
        return Look::other;
    }
}

// The display kind that suits a chart type; -1 where none does.
int KindOfChartType(int type) {
    switch (type) {
    case 2:
    case 12:
    case 22:
    case 30:
        return 10;
    case 4:
    case 13:
        return 9;
    case 9:
    case 10:
    case 17:
        return 6;
    case 15:
    case 16:
        return 11;
    case 18:
    case 23:
    case 26:
    case 27:
        return 14;
    case 1:
    case 3:
    case 5:
    case 6:
    case 7:
    case 8:
    case 11:
    case 14:
    case 19:
    case 20:
    case 21:
    case 24:
    case 25:
    case 28:
    case 29:
        return 2;
    default:
        return type >= 31 && type <= 45 ? 2 : -1;
    }
}

int RoundHalfUp(double value) {
    return TruncToInt(std::floor(value + 0.5));
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartGridLines, ChartComponent)

ChartGridLines::ChartGridLines() : ChartComponent(chartGridLinesType) {}

CScale ChartGridLines::GetComponentRange() const {
    CScale range;
    range.Set(kGridVersion, 0, 1);
    return range;
}

int ChartGridLines::ResolveKind() {
    u32& word = GetStyle().styleWord;
    int kind = static_cast<int>(word >> 24);
    if (kind != 1) return kind;
    kind = KindOfChartType(static_cast<int>((word >> 16) & 0xFF));
    if (kind >= 0) word = (word & 0x00FFFFFFu) | (static_cast<u32>(kind) << 24);
    return kind;
}

int ChartGridLines::Depth() const {
    return (GetStyle().flagsWord & kExplicitSizes) ? TruncToInt(GetStyle().secondSize) : kDefaultDepth;
}

HPEN ChartGridLines::MakePen(const std::optional<LOGPEN>& override, int style, int width, COLORREF colour,
                             const std::vector<DWORD>& dashes, int dashCount) const {
    if (override) return CreatePenIndirect(*override);
    if (style == kUserStyle && !dashes.empty() && dashCount > 0) {
        LOGBRUSH brush{BS_SOLID, colour, 0};
        const int count = std::min<int>(dashCount, static_cast<int>(dashes.size()));
        return ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, width, brush, count, dashes.data());
    }
    return CreatePen(style, width, colour);
}

void ChartGridLines::DrawVerticalLine(int x, int y, HPEN pen) {
    HDC dc = GetDrawingDC();
    HGDIOBJ old = pen ? SelectObject(dc, pen) : nullptr;
    const RECT& p = m_plot;
    const int height = p.bottom - p.top;
    switch (LookOf(ResolveKind())) {
    case Look::plain:
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, x, y == p.bottom ? y - height : y + height);
        break;
    case Look::depth: {
        const int d = Depth();
        MoveToEx(dc, x, y, nullptr);
        if (y == p.bottom) {
            LineTo(dc, x + d, y - d);
            LineTo(dc, x + d, p.top - d);
        } else {
            LineTo(dc, x, y + height);
            LineTo(dc, x - d, y + height + d);
        }
        break;
    }
    case Look::other:
        DrawOtherVertical(x, y);
        break;
    case Look::nothing:
        break;
    }
    if (old) SelectObject(dc, old);
}

void ChartGridLines::DrawHorizontalLine(int x, int y, HPEN pen) {
    HDC dc = GetDrawingDC();
    HGDIOBJ old = pen ? SelectObject(dc, pen) : nullptr;
    const RECT& p = m_plot;
    const int width = p.right - p.left;
    switch (LookOf(ResolveKind())) {
    case Look::plain:
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, x == p.left ? x + width : x - width, y);
        break;
    case Look::depth: {
        const int d = Depth();
        MoveToEx(dc, x, y, nullptr);
        if (x == p.left) {
            LineTo(dc, x + d, y - d);
            LineTo(dc, x + width + d, y - d);
        } else {
            LineTo(dc, x - width, y);
            LineTo(dc, x - width - d, y + d);
        }
        break;
    }
    case Look::other:
        DrawOtherHorizontal(x, y);
        break;
    case Look::nothing:
        break;
    }
    if (old) SelectObject(dc, old);
}

void ChartGridLines::DrawForeground() {
    if (!GetDrawFlag() || !m_points || m_points->empty()) return;
    HDC dc = GetDrawingDC();
    GdiHandle<PenObject> major(
        MakePen(m_majorOverride, m_majorStyle, m_majorWidth, m_majorColour, m_majorDashes, m_majorDashCount));
    GdiHandle<PenObject> minor(
        MakePen(m_minorOverride, m_minorStyle, m_minorWidth, m_minorColour, m_minorDashes, m_minorDashCount));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const std::vector<POINT>& points = *m_points;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const POINT at = points[i];
        if (m_vertical)
            DrawVerticalLine(at.x, m_plot.bottom, major.get());
        else
            DrawHorizontalLine(m_plot.left, at.y, major.get());
        if (i == 0 || m_minorCount <= 0) continue;
        const POINT before = points[i - 1];
        for (int k = 1; k <= m_minorCount; ++k) {
            const double share = static_cast<double>(k) / (m_minorCount + 1);
            if (m_vertical)
                DrawVerticalLine(RoundHalfUp(at.x + share * (before.x - at.x)), m_plot.bottom, minor.get());
            else
                DrawHorizontalLine(m_plot.left, RoundHalfUp(at.y + share * (before.y - at.y)), minor.get());
        }
    }
    SetBkMode(dc, oldMode);
}

void ChartGridLines::Store(ObjectWriter& archive) const {
    ChartComponent::Store(archive);
    archive.WriteInt32(m_majorStyle);
    archive.WriteInt32(m_minorStyle);
    archive.WriteInt32(m_majorWidth);
    archive.WriteInt32(m_minorWidth);
    archive.WriteUInt32(m_majorColour);
    archive.WriteUInt32(m_minorColour);
    archive.WriteInt32(m_vertical);
    archive.WriteInt32(m_minorCount);
}

void ChartGridLines::Load(ObjectReader& archive, u32 schema) {
    ChartComponent::Load(archive, schema);
    m_majorStyle = archive.ReadInt32();
    m_minorStyle = archive.ReadInt32();
    m_majorWidth = archive.ReadInt32();
    m_minorWidth = archive.ReadInt32();
    m_majorColour = archive.ReadUInt32();
    m_minorColour = archive.ReadUInt32();
    m_vertical = archive.ReadInt32();
    // Grid lines stored before minor lines existed end here.
    if (GetRangeHint() >= kGridVersion) m_minorCount = archive.ReadInt32();
}

} // namespace vq
