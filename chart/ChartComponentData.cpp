#include "chart/Chart.h"
#include "chart/ChartComponent.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartLabel.h"
#include "chart/ChartLabelBlock.h"
#include "chart/ChartResources.h"
#include "chart/GdiHandle.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace vq {
namespace {

constexpr double kDegreesPerRadian = 57.295780490442965;
constexpr u32 kShadedFaces = 1u << 28;
constexpr int kDefaultBandAndDepth = 10;

enum MarkerKind : u32 {
    markerNone = 0,
    markerStock = 1,
    markerNamed = 2,
    markerNamedWithLine = 3,
    markerLineLabel = 4,
    markerRaised = 6,
    markerPolygon = 10,
    markerBand = 11,
    markerCircle = 12,
    markerSquare = 13,
    markerTriangle = 14,
    markerCircleBar = 17,
    markerStockSegment = 18,
};

u32 LineKindOf(const ChartStyle& style) {
    return style.styleWord & 0xF;
}

u32 MarkerKindOf(const ChartStyle& style) {
    return (style.styleWord >> 8) & 0xFF;
}

bool IsHighlighted(const ChartStyle& style) {
    return ((style.labelWord >> 8) & 0xF) != 0;
}

bool HasExplicitSizes(const ChartStyle& style) {
    return (style.flagsWord & ChartStyle::kExplicitSizes) != 0;
}

// Pen styles of line kinds 2-8.
int PenStyleOf(u32 lineKind) {
    switch (lineKind) {
    case 5:
        return PS_DASH;
    case 6:
        return PS_DOT;
    case 7:
        return PS_DASHDOT;
    case 8:
        return PS_DASHDOTDOT;
    default:
        return PS_SOLID;
    }
}

std::string StockMarkerName(int colourWord) {
    char name[64] = {};
    LoadString(IDS_CHART_STOCK_MARKER_FIRST + static_cast<u32>(colourWord & 7), name, sizeof name);
    return name;
}

} // namespace

int ChartComponent::ExplicitSecondSize() const {
    return HasExplicitSizes(m_style) ? TruncToInt(m_style.secondSize) : kDefaultBandAndDepth;
}

void ChartComponent::DrawLine(int x1, int y1, int x2, int y2, const ChartStyle* style, int colourWord,
                              int lineKind) {
    if (!m_drawing) return;
    const ChartStyle defaults;
    const ChartStyle& s = style ? *style : defaults;
    SelectColorPen(colourWord, s.penWidth, 16);
    const u32 kind = lineKind ? static_cast<u32>(lineKind) : LineKindOf(s);
    if (MarkerKindOf(s) == markerBand) {
        const int c = ExplicitSecondSize();
        const POINT band[] = {{x1, y1}, {x1 + c, y1 - c}, {x2 + c, y2 - c}, {x2, y2}, {x1, y1}};
        ChartStyle filled = s;
        filled.fillColour = ChartSeriesColour(colourWord);
        FillPolygon(band, filled, 32);
        return;
    }
    if (kind == 0) return;
    HPEN pen = nullptr;
    if (kind == 1)
        pen = m_colourPen;
    else if (kind > 8)
        pen = GetCustomPen();
    else if (m_chart)
        pen = m_chart->GetPen(PenStyleOf(kind), s.penWidth, s.lineColour);
    if (!pen) return;
    MoveToEx(m_dc, x1, y1, nullptr);
    ScopedSelect select(m_dc, pen);
    LineTo(m_dc, x2, y2);
}

void ChartComponent::DrawSegment(int x1, int y1, int x2, int y2, const ChartStyle& style, int placement,
                                 ChartData* item) {
    const int lineKind = LineKindOf(style) == 2 ? 1 : 0;
    switch (MarkerKindOf(style)) {
    case markerNone:
        return;
    case markerStock:
    case markerNamedWithLine:
    case markerStockSegment: {
        DrawLine(x1, y1, x2, y2, &style, m_colourIndex, lineKind);
        if (placement == 0 || placement == 2) DrawMarker(x1, y1, style, item);
        if (placement == 1 || placement == 2) DrawMarker(x2, y2, style, item);
        const double angle =
            (x2 == x1 && y2 == y1) ? 0.0 : -std::atan2(double(y2 - y1), double(x2 - x1)) * kDegreesPerRadian;
        DrawLineEnd(x1, y1, style, 1, angle);
        DrawLineEnd(x2, y2, style, 2, angle);
        return;
    }
    case markerNamed:
        DrawMarker(x2, y2, style, item);
        return;
    case markerLineLabel:
    case markerBand:
        DrawLine(x1, y1, x2, y2, &style, m_colourIndex, lineKind);
        if (item) DrawDataLabel(x2, y2, item);
        return;
    case markerCircle:
    case markerSquare:
    case markerTriangle:
        DrawLine(x1, y1, x2, y2, &style, m_colourIndex, lineKind);
        DrawSimpleMarker(x2, y2, style, item);
        return;
    default:
        DrawCustomSegment(x2, y2, style, item);
        return;
    }
}

void ChartComponent::DrawShape(std::span<const POINT> points, int group, int index, const ChartStyle& style,
                               int outlineKind) {
    if (m_chart) m_chart->AddPolygonFeedback(points, group, index);
    FillPolygon(points, style, 0);
    OutlinePolygon(points, style, outlineKind);
}

void ChartComponent::DrawFace(std::span<const POINT> face, int group, int index, const ChartStyle& style,
                              int outlineKind, unsigned shading, int rop2) {
    if (m_chart) m_chart->AddPolygonFeedback(face, group, index);
    FillPolygon(face, style, 0);
    if (shading && (m_style.flagsWord & kShadedFaces)) {
        GdiHandle<BitmapObject> pattern(LoadBitmap(shading));
        if (pattern) {
            GdiHandle<BrushObject> brush(CreatePatternBrush(pattern.get()));
            const int saved = SaveDC(m_dc);
            SelectObject(m_dc, brush.get());
            SelectObject(m_dc, GetStockObject(NULL_PEN));
            SetROP2(m_dc, rop2);
            Polygon(m_dc, face.data(), static_cast<int>(face.size()));
            RestoreDC(m_dc, saved);
        }
    }
    OutlinePolygon(face, style, outlineKind);
}

void ChartComponent::DrawBar(int left, int top, int right, int bottom, int group, int index,
                             const ChartStyle& style, int barKind, ChartData* item) {
    if (!m_drawing) return;
    ChartStyle s = style;
    if (IsHighlighted(s)) HighlightLineStyle(s);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    const u32 kind = barKind ? static_cast<u32>(barKind) : MarkerKindOf(s) * 256;
    if (kind == 0) return;
    const int outline = LineKindOf(s) == 1 ? 2 : 0;
    switch (kind / 256) {
    case markerRaised: {
        const int f = ExplicitSecondSize();
        const POINT topFace[] = {{left, top}, {right, top}, {right + f, top - f}, {left + f, top - f}};
        const POINT side[] = {{right, top}, {right + f, top - f}, {right + f, bottom - f}, {right, bottom}};
        const POINT front[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
        DrawFace(topFace, group, index, s, outline, IDB_CHART_SHADE_LIGHTER, R2_MERGEPEN);
        DrawFace(side, group, index, s, outline, IDB_CHART_SHADE_DARK, R2_MASKPEN);
        DrawFace(front, group, index, s, outline, 0, 0);
        break;
    }
    case markerPolygon: {
        ChartCompiledPolygon* shape = nullptr;
        for (auto& own : m_shapes)
            if (own->GetName() == s.name) shape = own.get();
        if (!shape && m_chart) shape = m_chart->LoadShape(s.name, "POLYGON");
        if (!shape) return;
        DrawShape(shape->FitToRect({left, top, right, bottom}), group, index, s, outline);
        break;
    }
    case markerCircleBar: {
        ChartCompiledPolygon* shape = nullptr;
        if (!m_chart || !m_chart->GetShape(std::string(Chart::kStockShapePrefix) + "CIRCLE", "", shape, 0))
            return;
        DrawShape(shape->FitToRect({left, top, right, bottom}), group, index, s, outline);
        break;
    }
    default: {
        const POINT box[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
        DrawShape(box, group, index, s, outline);
        break;
    }
    }
    if (!item) return;
    const int midX = (left + right) / 2, midY = (top + bottom) / 2;
    switch ((item->GetStyle().labelWord >> 20) & 0xF) {
    case 1:
        return DrawDataLabel(left, top, item);
    case 2:
        return DrawDataLabel(midX, top, item);
    case 3:
        return DrawDataLabel(right, top, item);
    case 4:
        return DrawDataLabel(right, midY, item);
    case 5:
        return DrawDataLabel(right, bottom, item);
    case 7:
        return DrawDataLabel(midX, bottom, item);
    case 8:
        return DrawDataLabel(midX, midY, item);
    default:
        return DrawDataLabel(left, midY, item);
    }
}

void ChartComponent::DrawMarker(int x, int y, const ChartStyle& style, ChartData* item) {
    ChartStyle s = style;
    if (IsHighlighted(s)) SetExplicitMarkerSize(s);
    const u32 kind = MarkerKindOf(s);
    std::string name;
    switch (kind) {
    case markerNone:
        return;
    case markerStock:
        name = StockMarkerName(m_colourIndex);
        break;
    case markerNamed:
    case markerNamedWithLine:
        if (s.name.empty()) {
            name = StockMarkerName(m_colourIndex);
        } else {
            const std::size_t bar = s.name.find('|', 1);
            name = s.name.substr(0, bar);
        }
        break;
    case markerCircle:
    case markerSquare:
    case markerTriangle:
        DrawSimpleMarker(x, y, s, item);
        return;
    default:
        name = s.name;
        break;
    }
    if (name.empty() || !m_chart) return;
    ChartCompiledPolygon* shape = nullptr;
    if (!m_chart->GetShape(name, "WIGETS", shape, 0)) return;
    // The shape takes its colours from the word's upper bits while it draws.
    struct ShiftedColour {
        int& word;
        int saved;
        ~ShiftedColour() { word = saved; }
    } shifted{m_colourIndex, m_colourIndex};
    m_colourIndex >>= 3;
    std::span<const POINT> points;
    auto fitAround = [&](double width, double height) {
        const int halfW = TruncToInt(width / 2), halfH = TruncToInt(height / 2);
        // Top below bottom: larger shape values are drawn higher.
        return shape->FitToRect({x - halfW, y + halfH, x + halfW, y - halfH});
    };
    if (HasExplicitSizes(s))
        points = fitAround(10 * s.thirdSize, 10 * s.firstSize);
    else if (IsPrinting(m_dc))
        points = fitAround(10 * GetDeviceRatioX(m_dc), 10 * GetDeviceRatioY(m_dc));
    else
        points = shape->Place(static_cast<float>(x), static_cast<float>(y));
    FillPolygon(points, s, 0);
    OutlinePolygon(points, s, 0);
    if (item) DrawDataLabel(x, y, item);
}

void ChartComponent::DrawSimpleMarker(int x, int y, const ChartStyle& style, ChartData* item) {
    if (!m_drawing) return;
    const int saved = SaveDC(m_dc);
    GdiHandle<PenObject> pen;
    GdiHandle<BrushObject> brush;
    if (((style.styleWord >> 4) & 0xF) == 1) {
        SelectColorBrush(m_colourIndex, m_chart ? m_chart->GetColorCount() : 16);
        SelectColorPen(m_colourIndex, 1, m_chart ? m_chart->GetColorCount() : 16);
        SelectObject(m_dc, m_brush);
        if (m_colourPen) SelectObject(m_dc, m_colourPen);
    } else {
        pen.reset(CreatePen(PS_SOLID, 1, style.fillColour));
        brush.reset(CreateSolidBrush(style.fillColour));
        SelectObject(m_dc, pen.get());
        SelectObject(m_dc, brush.get());
    }
    int s = HasExplicitSizes(style) ? TruncToInt(style.thirdSize) : 5;
    if (s <= 1) s = 2;
    if (IsPrinting(m_dc)) {
        HDC screen = GetDC(m_window);
        s = TruncToInt(s * double(GetDeviceCaps(m_dc, LOGPIXELSX)) / GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(m_window, screen);
    }
    switch (MarkerKindOf(style)) {
    case markerSquare:
        Rectangle(m_dc, x - s, y - s, x + s, y + s);
        break;
    case markerTriangle: {
        const POINT triangle[] = {{x, y - s}, {x - s, y + s}, {x + s, y + s}};
        Polygon(m_dc, triangle, 3);
        break;
    }
    default:
        Ellipse(m_dc, x - s, y - s, x + s, y + s);
        break;
    }
    RestoreDC(m_dc, saved);
    if (item) DrawDataLabel(x, y, item);
}

void ChartComponent::DrawDataLabel(int x, int y, ChartData* item) {
    if (!m_drawing || !item || !m_chart) return;
    const ChartStyle& itemStyle = item->GetStyle();
    char text[512];
    switch ((itemStyle.labelWord >> 4) & 0xF) {
    case 2:
        std::snprintf(text, sizeof text, "%f", item->GetValue());
        break;
    case 5:
        std::snprintf(text, sizeof text, "%s", item->GetAnnotationText(1).c_str());
        break;
    case 6:
        std::snprintf(text, sizeof text, "%s (%f)", item->GetAnnotationText(1).c_str(), item->GetValue());
        break;
    default:
        return;
    }
    if (!m_dataLabel) m_dataLabel = std::make_unique<ChartLabel>();
    ChartLabel& label = *m_dataLabel;
    label.SetParent(m_chart);
    label.BeginDraw(m_dc, m_window);
    label.ApplyDataStyle(itemStyle);
    label.SetCurrentText(text);
    int dx = 10, dy = 10;
    if (IsPrinting(m_dc)) {
        dx = TruncToInt(10 * GetDeviceRatioX(m_dc));
        dy = TruncToInt(10 * GetDeviceRatioY(m_dc));
    }
    static constexpr std::array<POINT, 9> kOffsets = {POINT{-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0},
                                                      {1, 1},       {0, 1},   {-1, 1}, {0, 0}};
    const u32 position = (itemStyle.labelWord >> 20) & 0xF;
    if (position < kOffsets.size())
        label.SetPosition(x + kOffsets[position].x * dx, y + kOffsets[position].y * dy);
    if (m_chart->GetStyle().GetLabelHandling() == 2) {
        label.GetStyle().name = Chart::kTemporaryLabelName;
        m_chart->AddComponent(std::move(m_dataLabel));
        return;
    }
    if (m_chart->GetStyle().GetLabelHandling() == 3) {
        CollectInBlock(position);
        return;
    }
    label.SetDrawFlag(1);
    label.Draw(m_dc, m_window);
}

void ChartComponent::CollectInBlock(u32 position) {
    auto* block = static_cast<ChartLabelBlock*>(m_chart->FindComponentByName(Chart::kLabelBlockName));
    if (!block || block->GetTypeCode() != chartLabelBlockType) {
        auto made = std::make_unique<ChartLabelBlock>();
        made->SetParent(m_chart);
        made->GetStyle().name = Chart::kLabelBlockName;
        made->SetAvoidOverlap(1);
        u32& content = made->GetStyle().labelWord;
        content = (content & ~0xF0u) | (10u << 4);
        made->GetStyle().extraWord = (made->GetStyle().extraWord & ~ChartLabelBlock::kLeaderLine) |
                                     (m_style.extraWord & ChartLabelBlock::kLeaderLine);
        block = made.get();
        m_chart->AddComponent(std::move(made));
    }
    // Labels move away from the point they describe; position 6 moves along the row as 4 does.
    static constexpr std::array<std::pair<int, double>, 9> kDirections = {
        std::pair{-1, 0.0}, {-1, -1.0}, {0, -1.0}, {1, -1.0}, {1, 0.0},
        {1, 1.0},           {1, 0.0},   {-1, 1.0}, {1, -1.0}};
    if (position < kDirections.size())
        m_dataLabel->SetDirectionVector(kDirections[position].first, kDirections[position].second);
    block->AttachLabel(std::move(m_dataLabel), 1);
}

void ChartComponent::DrawLineEnd(int x, int y, const ChartStyle& style, int end, double angle) {
    if ((end != 1 && end != 2) || !m_chart) return;
    const std::size_t bar = style.name.find('|');
    if (bar == std::string::npos) return;
    const std::string part = end == 1 ? style.name.substr(0, bar) : style.name.substr(bar + 1);
    if (part.empty()) return;
    ChartCompiledPolygon* shape = nullptr;
    if (!m_chart->GetShape(part, "LINE_ENDS", shape, angle)) return;
    const double scale = (HasExplicitSizes(style) ? style.secondSize : 10) * GetDeviceRatioX(m_dc);
    shape->SetXScale(scale);
    shape->SetYScale(scale);
    const auto points = shape->Place(static_cast<float>(x), static_cast<float>(y));
    FillPolygon(points, style, 0);
    OutlinePolygon(points, style, 0);
}

} // namespace vq
