#include "chart/ChartLegend.h"

#include "chart/Chart.h"
#include "chart/ChartCompoundComponent.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartTemplateScanner.h"
#include "platform/gui/Gdi.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vq {
namespace {

constexpr int kLegendNumbersError = 11;
constexpr unsigned kGridEntryFormat = 21608;

int LegendMode(const ChartStyle& style) {
    const u32 mode = style.extraWord & 0xFF;
    return mode == 2 || mode == 6 ? 2 : mode == 4 ? 4 : 0;
}

bool IsLineLike(int chartType) {
    switch (chartType) {
    case 1:
    case 7:
    case 8:
    case 18:
    case 19:
    case 20:
    case 21:
    case 23:
    case 25:
    case 26:
    case 27:
    case 29:
    case 31:
    case 32:
    case 33:
    case 34:
    case 35:
    case 36:
    case 43:
    case 44:
    case 45:
        return true;
    default:
        return false;
    }
}

// The string-table format with its two numbers in place, series first.
std::string GridEntryText(int series, int category) {
    char format[128];
    if (LoadString(kGridEntryFormat, format, sizeof format) <= 0) return {};
    std::string text = format;
    for (int value : {series, category}) {
        const std::size_t at = text.find("%d");
        if (at == std::string::npos) break;
        text.replace(at, 2, std::to_string(value));
    }
    return text;
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartLegend, ChartTitle)

ChartLegend::ChartLegend() : ChartTitle(chartLegendType) {
    SetText("", alignLeft);
    SetAnnotationIndex(1);
}

void ChartLegend::SetParent(Chart* chart) {
    ChartTitle::SetParent(chart);
    m_entries.SetParent(chart);
}

void ChartLegend::SetMeasureDefaults() {
    ChartTitle::SetMeasureDefaults();
    switch (GetRect().GetUnit()) {
    case ChartRect::unitMillimetres:
        m_keySize = 10.0;
        break;
    case ChartRect::unitInches:
        m_keySize = 0.4;
        break;
    case ChartRect::unitPercent:
        m_keySize = 5.0;
        break;
    default:
        m_keySize = 20.0;
        break;
    }
}

void ChartLegend::SetOptions(int options) {
    m_fitWidth = options & 1;
    m_fitHeight = (options >> 1) & 1;
    m_keepLeft = (options >> 2) & 1;
    m_keepTop = (options >> 3) & 1;
}

int ChartLegend::GetOptions() const {
    return m_fitWidth | m_fitHeight << 1 | m_keepLeft << 2 | m_keepTop << 3;
}

int ChartLegend::GetAutoFontSize() {
    return (m_legendRect.bottom - m_legendRect.top) / -10;
}

int ChartLegend::GetKeySize() const {
    if (!IsDrawing()) return 30;
    HDC dc = GetDrawingDC();
    switch (GetRect().GetUnit()) {
    case ChartRect::unitMillimetres:
        return TruncToInt(m_keySize * GetDeviceCaps(dc, LOGPIXELSX) / 25.4 + 0.5);
    case ChartRect::unitInches:
        return TruncToInt(m_keySize * GetDeviceCaps(dc, LOGPIXELSX) + 0.5);
    case ChartRect::unitPercent:
        return TruncToInt(m_keySize * (m_legendRect.right - m_legendRect.left) * 0.01 + 0.5);
    default:
        return TruncToInt(m_keySize);
    }
}

ChartComponent* ChartLegend::FindDisplay() {
    Chart* chart = GetChart();
    if (!chart) return nullptr;
    ChartComponent* before = nullptr;
    for (auto& c : chart->GetComponentList()) {
        if (c.get() == this) break;
        before = c.get();
    }
    if (!before) return nullptr;
    if (before->GetTypeCode() == chartDisplayType) return before;
    if (before->IsCompound())
        for (auto& child : static_cast<ChartCompoundComponent*>(before)->GetChildList())
            if (child->GetTypeCode() == chartDisplayType) return child.get();
    return nullptr;
}

void ChartLegend::SetSteps(int chartType) {
    m_indexStep = m_groupStep = 1;
    switch (chartType) {
    case 21:
    case 26:
    case 27:
    case 30:
    case 34:
        m_groupStep = 2;
        break;
    case 41:
    case 42:
        m_groupStep = 3;
        break;
    case 28:
    case 29:
    case 43:
    case 44:
    case 45:
        m_groupStep = 4;
        break;
    case 20:
    case 33:
        m_indexStep = 2;
        break;
    case 5:
    case 8:
    case 22:
        ApplyOtherChartType(chartType);
        break;
    default:
        if (chartType > 45) ApplyOtherChartType(chartType);
        break;
    }
}

void ChartLegend::RefreshText() {
    Chart* chart = GetChart();
    if (!chart) return;
    m_entryItems.clear();
    const int f = m_firstCategory, g = m_firstSeries;
    auto add = [&](const std::string& text, int category, int series) {
        m_entries.SetLabelText(text, static_cast<int>(m_entryItems.size()), 1);
        m_entryItems.emplace_back(category, series);
    };
    switch (LegendMode(GetStyle())) {
    case 2:
        for (int i = 0; i < m_categoryCount; i += m_indexStep)
            add(chart->GetDataAnnotation(g, f + i, GetAnnotationIndex()), f + i, g);
        break;
    case 4:
        for (int s = g; s - g < m_seriesCount; s += m_groupStep) {
            int items = 0;
            try {
                items = chart->GetGroup(s, false).GetItemCount();
            } catch (const ChartException&) {
                continue;
            }
            const int limit = std::min(items - f, m_categoryCount);
            for (int i = 0; i < limit; i += m_indexStep) {
                std::string text = chart->GetDataAnnotation(s, f + i, GetAnnotationIndex());
                if (text.empty()) text = GridEntryText(s, f + i);
                add(text, f + i, s);
            }
        }
        break;
    default:
        for (int s = g; s - g < m_seriesCount; s += m_groupStep) {
            std::string name;
            try {
                name = chart->GetGroupAnnotation(s, 1);
            } catch (const ChartException&) {
            }
            add(name, f, s);
        }
        break;
    }
    while (m_entries.GetLabelCount() > static_cast<int>(m_entryItems.size()))
        m_entries.RemoveLastLabel();
}

void ChartLegend::Draw(HDC dc, HWND window) {
    Chart* chart = GetChart();
    SetDrawing(dc, window, 1);
    chart->SaveClip();
    const ChartRect saved = GetRect();
    struct Restore {
        ChartLegend& legend;
        ChartRect saved;
        ~Restore() {
            legend.EndDraw();
            legend.SetInvalid(0);
            legend.SetRect(saved);
            legend.GetChart()->RestoreClip();
        }
    } restore{*this, saved};
    SelectClipRgn(dc, nullptr);
    m_layoutPass = 1;
    DrawForeground();
    m_layoutPass = 0;
    DrawBackground();
    DrawShadow();
    DrawBorder();
    DrawForeground();
}

void ChartLegend::DrawForeground() {
    Chart* chart = GetChart();
    // The legend's keys are not part of the data a click can hit.
    const int feedback = chart->GetFeedbackEnabled();
    chart->SetFeedbackEnabled(0);
    struct Restore {
        Chart* chart;
        int feedback;
        ~Restore() { chart->SetFeedbackEnabled(feedback); }
    } restore{chart, feedback};
    if (m_layoutPass)
        Layout();
    else
        DrawEntries();
}

void ChartLegend::Layout() {
    Chart* chart = GetChart();
    HDC dc = GetDrawingDC();
    m_entries.BeginDraw(dc, GetDrawingWindow());
    m_entries.SetFont(GetFontSize(), GetFontFlags(), GetFaceName());
    m_entries.SetColor(GetColor());
    m_entries.SetDrawFlag(0);
    m_entries.BuildFont();

    m_display = FindDisplay();
    if (m_display) {
        int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
        m_display->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
        SetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
        SetInvalid(1);
    }
    int lowIndex = -1, highIndex = -1, lowGroup = -1, highGroup = -1;
    GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    m_firstSeries = lowGroup == -1 ? 0 : lowGroup;
    const int lastSeries = highGroup == -1 ? chart->GetGroupCount() - 1 : highGroup;
    m_firstCategory = lowIndex == -1 ? 0 : lowIndex;
    const int lastCategory = highIndex == -1 ? chart->GetMaxIndexCount() - 1 : highIndex;
    m_seriesCount = lastSeries - m_firstSeries + 1;
    m_categoryCount = lastCategory - m_firstCategory + 1;

    m_legendRect = GetDeviceRect();
    const int k = GetKeySize();
    m_indexStep = m_groupStep = 1;
    if (m_display) SetSteps(static_cast<int>((m_display->GetStyle().styleWord >> 16) & 0xFF));
    RefreshText();
    m_entryCount = m_entries.GetLabelCount();
    if (m_entryCount == 0) return;

    double wmax = 0, hmax = 0;
    for (auto& label : m_entries.GetLabels()) {
        label->SetPosition(0, 0);
        label->SetRotationPreset(0);
        label->SetAnchorCode(ChartLabel::anchorTopLeft);
        label->BeginDraw(dc, GetDrawingWindow());
        label->ComputeOutline();
        label->EndDraw();
        const SIZE size = label->GetOutlineSize();
        wmax = std::max<double>(wmax, size.cx);
        hmax = std::max<double>(hmax, size.cy);
    }
    if (wmax == 0) wmax = k;
    if (hmax == 0) hmax = k;

    const ChartStyle& style = GetStyle();
    const bool fixed = (style.flagsWord & kFixedGrid) != 0;
    const double width = m_legendRect.right - m_legendRect.left;
    int columns = fixed ? TruncToInt(style.thirdSize) : TruncToInt(std::floor(width / (2.0 * k + wmax)));
    columns = std::max(columns, 1);
    // A fixed grid may ask for less than one row; the rows divide the height below.
    int rows = fixed ? TruncToInt(style.firstSize) : TruncToInt(std::ceil(double(m_entryCount) / columns));
    rows = std::max(rows, 1);
    if (rows == 1 && m_entryCount < columns) columns = m_entryCount;

    RECT& r = m_legendRect;
    if (m_fitWidth) {
        const double across = (1.2 * k + wmax) * columns;
        if (m_keepLeft)
            r.right = TruncToInt(r.left + std::trunc(across));
        else
            r.left = TruncToInt(r.right - std::trunc(across));
    }
    if (m_fitHeight) {
        const double down = hmax * 1.2 * rows;
        if (m_keepTop)
            r.bottom = TruncToInt(r.top + std::trunc(down));
        else
            r.top = TruncToInt(r.bottom - std::trunc(down));
    }
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    // Fill, border and shadow take the fitted size for this draw.
    if (m_fitWidth || m_fitHeight) {
        ChartRect fitted = GetRect();
        fitted.SetChart(chart);
        fitted.SetFromDeviceRect(r, dc, GetDrawingWindow());
        SetRect(fitted);
    }
    r = GetInteriorRect(r);
    m_columns = columns;
    m_rows = rows;

    const double cell = double(r.right - r.left) / columns;
    const double rowHeight = std::max(hmax, double(r.bottom - r.top) / rows);
    const bool keyFirst = (style.flagsWord & kKeyBeforeText) != 0;
    int j = 0;
    for (auto& label : m_entries.GetLabels()) {
        const int row = j / columns, column = j - columns * row;
        const int y = TruncToInt(r.top + std::trunc(row * rowHeight));
        int x = 0;
        if (keyFirst) {
            label->SetAnchorCode(ChartLabel::anchorTopLeft);
            x = TruncToInt(r.left + std::trunc(column * cell + 1.1 * k));
        } else {
            label->SetAnchorCode(ChartLabel::anchorTopRight);
            x = TruncToInt(r.left + std::trunc(column * cell + wmax));
        }
        label->SetPosition(x, y);
        ++j;
    }
    m_rowTextHeight = TruncToInt(hmax);
}

void ChartLegend::DrawEntries() {
    if (m_entryCount == 0 || !GetDrawFlag()) return;
    Chart* chart = GetChart();
    HDC dc = GetDrawingDC();
    chart->SaveClip();
    struct Restore {
        Chart* chart;
        ~Restore() { chart->RestoreClip(); }
    } restore{chart};
    const RECT& r = m_legendRect;
    chart->ClipToRect(r.left, r.top, r.right + 1, r.bottom + 1, RGN_COPY);
    m_entries.SetDrawFlag(1);
    m_entries.Draw(dc, GetDrawingWindow());
    const int k = GetKeySize();
    const bool keyFirst = (GetStyle().flagsWord & kKeyBeforeText) != 0;
    const auto& labels = m_entries.GetLabels();
    for (std::size_t j = 0; j < labels.size() && j < m_entryItems.size(); ++j) {
        const POINT a = labels[j]->GetAnchor();
        const int left = keyFirst ? TruncToInt(a.x - 1.1 * k) : TruncToInt(a.x + 0.1 * k);
        const int right = keyFirst ? TruncToInt(a.x - 0.1 * k) : TruncToInt(a.x + 1.1 * k);
        DrawKey(left, a.y, right, a.y + m_rowTextHeight, m_entryItems[j].first, m_entryItems[j].second,
                static_cast<int>(j));
    }
}

int ChartLegend::KeyKindOf(const ChartStyle& itemStyle) const {
    const int kind = static_cast<int>((GetStyle().labelWord >> 12) & 0xF);
    return kind == keyFromItem ? static_cast<int>((itemStyle.labelWord >> 12) & 0xF) : kind;
}

void ChartLegend::DrawKey(int left, int top, int right, int bottom, int category, int series, int) {
    Chart* chart = GetChart();
    ChartData& item = chart->GetDataOrDummy(category, series);
    ChartStyle style = item.GetStyle();
    const int m = top + (bottom - top) / 2;
    const bool noLines = (GetStyle().flagsWord & kNoLinesInKeys) != 0;
    const bool thick = (style.styleWord & 0xF) == 2;
    auto line = [&] {
        ChartStyle drawn = style;
        if (thick) drawn.penWidth = std::max(drawn.penWidth, 3);
        DrawLine(left, m, right, m, &drawn, series, 0);
    };
    auto box = [&] { DrawBar(left, top, right, bottom, series, category, style, 256, nullptr); };
    auto symbol = [&] { DrawMarker(left + (right - left) / 2, m, style, nullptr); };
    SetColourIndex(series);
    switch (KeyKindOf(style)) {
    case keyNone:
        return;
    case keyByChartType: {
        if (!m_display) {
            noLines ? box() : line();
            return;
        }
        const int type = static_cast<int>((m_display->GetStyle().styleWord >> 16) & 0xFF);
        if (!IsLineLike(type)) {
            box();
            return;
        }
        if (!noLines) line();
        if (((style.styleWord >> 8) & 0xFF) != 4 && type != 31) symbol();
        return;
    }
    case keyLine:
        line();
        return;
    case keyBox:
        box();
        return;
    case keySymbol:
        symbol();
        return;
    default:
        DrawOtherKey(left, top, right, bottom, item);
        return;
    }
}

int ChartLegend::ReadTemplate(std::string_view text) {
    const int used = ChartTitle::ReadTemplate(text);
    ChartTemplateScanner scan(text.substr(static_cast<std::size_t>(used)));
    int options = 0, mode = 0, lines = 0, kind = keyByChartType;
    double keySize = 0;
    if (!(scan.ReadInt(options) && scan.ReadFloat(keySize) && scan.ReadInt(mode) && scan.ReadInt(lines)))
        RaiseChartError(kLegendNumbersError);
    scan.ReadInt(kind);
    SetOptions(options);
    m_keySize = keySize;
    ChartStyle& style = GetStyle();
    style.extraWord = (style.extraWord & ~0xFFu) | (static_cast<u32>(mode) & 0xFF);
    style.flagsWord = lines ? style.flagsWord & ~kNoLinesInKeys : style.flagsWord | kNoLinesInKeys;
    style.labelWord = (style.labelWord & ~0xF000u) | ((static_cast<u32>(kind) & 0xF) << 12);
    return used + static_cast<int>(scan.Used());
}

std::string ChartLegend::WriteTemplateExtra() const {
    const ChartStyle& style = GetStyle();
    char text[128];
    std::snprintf(text, sizeof text, " %d %f %d %d %d ", GetOptions(), m_keySize,
                  static_cast<int>(style.extraWord & 0xFF), (style.flagsWord & kNoLinesInKeys) ? 0 : 1,
                  static_cast<int>((style.labelWord >> 12) & 0xF));
    return text;
}

void ChartLegend::Store(ObjectWriter& archive) const {
    ChartTitle::Store(archive);
    archive.WriteInt32(m_fitWidth);
    archive.WriteInt32(m_fitHeight);
    archive.WriteInt32(m_keepLeft);
    archive.WriteInt32(m_keepTop);
    archive.WriteDouble(m_keySize);
}

void ChartLegend::Load(ObjectReader& archive, u32 schema) {
    ChartTitle::Load(archive, schema);
    m_fitWidth = archive.ReadInt32();
    m_fitHeight = archive.ReadInt32();
    m_keepLeft = archive.ReadInt32();
    m_keepTop = archive.ReadInt32();
    m_keySize = archive.ReadDouble();
}

} // namespace vq
