#include "chart/Chart.h"

#include "chart/ChartBackground.h"
#include "chart/ChartAxisManager.h"
#include "chart/ChartCompoundComponent.h"
#include "chart/ChartCompoundDisplay.h"
#include "chart/ChartDateScale.h"
#include "chart/ChartDisplay.h"
#include "chart/ChartDynamicData.h"
#include "chart/ChartException.h"
#include "chart/ChartGeometry.h"
#include "chart/ChartGridLines.h"
#include "chart/ChartIndexScale.h"
#include "chart/ChartLabel.h"
#include "chart/ChartLabelBlock.h"
#include "chart/ChartLegend.h"
#include "chart/ChartLogScale.h"
#include "chart/ChartResources.h"
#include "chart/ChartTemplateReader.h"
#include "chart/ChartTextImport.h"
#include "chart/ChartTextPanel.h"
#include "chart/ChartTickMarks.h"
#include "chart/ChartTitle.h"
#include "platform/gui/MessageBox.h"
#include "platform/res/Resources.h"

#include <array>
#include <cmath>
#include <fstream>
#include <iterator>

namespace vq {
namespace {

enum ChartErrorCode {
    errorValueRange = 1,
    errorNoSuchGroup = 2,
    errorNoSuchItem = 3,
    errorNoBuffer = 6,
    errorNotDrawing = 18,
    errorShape = 19,
    errorImportIntoBuffers = 0
};

// One drawing at a time across all charts; a nested call returns without drawing.
int g_drawingGuard = 0;

constexpr std::array<std::string_view, 7> kStockShapeNames = {"BOX",     "CIRCLE",   "TRIANGLE", "FLASH",
                                                              "HEXAGON", "PENTAGON", "DIAMOND"};
constexpr int kUnknownStockShape = 7;
constexpr SIZE kDefaultDrawingSize{200, 150};
constexpr std::size_t kLargestShapeFile = 1 << 20;
// Template lines are short; a file far beyond any template is not one.
constexpr std::size_t kLargestTemplateFile = 1 << 20;

bool IsChartError(const ChartException& error, std::initializer_list<int> codes) {
    for (int code : codes)
        if (error.GetCode() == code) return true;
    return false;
}

// A file's whole text; none when it cannot be read or holds more than the limit.
std::optional<std::string> ReadTextFile(const std::string& path, std::size_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > limit) return std::nullopt;
    }
    if (in.bad()) return std::nullopt;
    return text;
}

} // namespace

// Everything a draw sets up and must undo on every way out: the saved DC state, the guard, the
// memory context and the chart's drawing state. Exceptions other than chart errors pass through it.
class Chart::DrawScope {
public:
    DrawScope(Chart& chart, HDC dc) : m_chart(chart), m_dc(dc), m_offscreen(chart.m_offscreen) {
        g_drawingGuard = 1;
        m_saved = SaveDC(dc);
    }
    ~DrawScope() {
        if (m_memory) {
            SelectObject(m_memory, m_oldBitmap);
            DeleteDC(m_memory);
        }
        m_chart.m_drawDC = nullptr;
        m_chart.m_drawWindow = 0;
        m_chart.m_drawing = 0;
        m_chart.m_partialRedraw = 0;
        m_chart.m_current = m_chart.m_components.end();
        m_chart.m_clipStack.Clear();
        m_chart.m_offscreen = m_offscreen;
        RestoreDC(m_dc, m_saved);
        g_drawingGuard = 0;
    }
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

    void SetMemory(HDC memory, HGDIOBJ oldBitmap) {
        m_memory = memory;
        m_oldBitmap = oldBitmap;
    }
    HDC Memory() const { return m_memory; }

private:
    Chart& m_chart;
    HDC m_dc;
    int m_offscreen;
    int m_saved = 0;
    HDC m_memory = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
};

VQ_IMPLEMENT_DYNCREATE(Chart, Serializable)
VQ_IMPLEMENT_DYNCREATE(DynamicChart, Chart)

std::optional<GdiHandle<RegionObject>> CObStack::Pop() {
    if (m_entries.empty()) return std::nullopt;
    GdiHandle<RegionObject> top = std::move(m_entries.back());
    m_entries.pop_back();
    return top;
}

Chart::Chart() = default;

Chart::~Chart() {
    m_shapes.clear();
    m_groups.clear();
    m_components.clear();
    m_feedback.clear();
}

bool Chart::IsAnyChartDrawing() {
    return g_drawingGuard != 0;
}

std::span<const RuntimeClass* const> Chart::ArchiveClasses() {
    static const RuntimeClass* const classes[] = {
        &ChartAnnotation::Class(),
        &ChartData::Class(),
        &ChartDynamicData::Class(),
        &ChartDataList::Class(),
        &ChartComponent::Class(),
        &ChartBackground::Class(),
        &ChartCompoundComponent::Class(),
        &Chart::Class(),
        &DynamicChart::Class(),
        &ChartTitle::Class(),
        &ChartLabel::Class(),
        &ChartLabelBlock::Class(),
        &ChartTextPanel::Class(),
        &ChartLegend::Class(),
        &ChartDecimalScale::Class(),
        &ChartLogScale::Class(),
        &ChartDateScale::Class(),
        &ChartIndexScale::Class(),
        &ChartGroupScale::Class(),
        &ChartGridLines::Class(),
        &ChartTickMarks::Class(),
        &ChartDisplay::Class(),
        &ChartCompoundDisplay::Class(),
        &ChartAxisManager::Class(),
    };
    return classes;
}

void Chart::ShowTemplateError(std::string_view line) {
    char text[256];
    LoadString(IDS_CHART_TEMPLATE_ERROR, text, sizeof text);
    MessageBox(0, (std::string(text) + std::string(line)).c_str(), kChartMessageCaption,
               MB_OK | MB_ICONWARNING);
}

void Chart::LoadTemplate(std::string_view name) {
    const auto resource = FindResource("CHART_TEMPLATE", name);
    if (!resource.empty()) {
        ReadTemplateText(std::string_view(reinterpret_cast<const char*>(resource.data()), resource.size()));
        return;
    }
    const auto file = ReadTextFile(std::string(name), kLargestTemplateFile);
    if (!file) {
        char text[256];
        LoadString(IDS_CHART_TEMPLATE_UNREADABLE, text, sizeof text);
        MessageBox(0, text, kChartMessageCaption, MB_OK | MB_ICONHAND);
        return;
    }
    ReadTemplateText(*file);
}

void Chart::ReadTemplateText(std::string_view text) {
    ChartTemplateReader(*this).Read(text);
}

void Chart::ImportText(std::string_view text) {
    ChartTextImport(*this).Import(text);
}

Chart::ComponentPosition Chart::AddComponent(std::unique_ptr<ChartComponent> component) {
    component->SetParent(this);
    m_components.push_back(std::move(component));
    return std::prev(m_components.end());
}

ChartComponent* Chart::CreateComponent(int typeCode, int unit, const RECT& rect, int border, int shadow,
                                       int fill, int chartTypeWord, int kindWord) {
    // Each class of component joins this table as it is built.
    struct Row {
        int typeCode;
        std::unique_ptr<ChartComponent> (*make)();
    };
    static constexpr Row kRows[] = {
        {chartBackgroundType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartBackground>(); }},
        {chartTitleType, []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartTitle>(); }},
        {chartLabelType, []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartLabel>(); }},
        {chartLabelBlockType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartLabelBlock>(); }},
        {chartLegendType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartLegend>(); }},
        {chartTextPanelType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartTextPanel>(); }},
        {chartDisplayType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartDisplay>(); }},
        {chartGridLinesType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartGridLines>(); }},
        {chartTickMarksType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartTickMarks>(); }},
        {chartDataWatcherType,
         []() -> std::unique_ptr<ChartComponent> {
             return std::make_unique<ChartTextPanel>(chartDataWatcherType);
         }},
        {chartCompoundDisplayType,
         []() -> std::unique_ptr<ChartComponent> { return std::make_unique<ChartCompoundDisplay>(); }},
    };
    for (const Row& row : kRows) {
        if (row.typeCode != typeCode) continue;
        std::unique_ptr<ChartComponent> component = row.make();
        component->SetUnit(unit);
        component->SetRectFromRECT(rect);
        u32& frame = component->GetStyle().frameWord;
        frame = (frame & ~0xFFFu) | (static_cast<u32>(border) & 0xF) | (static_cast<u32>(shadow) & 0xF0) |
                (static_cast<u32>(fill) & 0xF00);
        if (typeCode == chartCompoundDisplayType)
            static_cast<ChartCompoundDisplay&>(*component)
                .AddStandardAxes(static_cast<u32>(chartTypeWord), static_cast<u32>(kindWord));
        return AddComponent(std::move(component))->get();
    }
    return nullptr;
}

void Chart::RemoveComponentsByName(std::string_view name) {
    m_components.remove_if([&](const auto& c) { return c->GetName() == name; });
}

ChartComponent* Chart::FindComponentByName(std::string_view name) {
    for (auto& c : m_components)
        if (c->GetName() == name) return c.get();
    return nullptr;
}

ChartCompiledPolygon* Chart::LoadShape(std::string_view name, std::string_view resourceType) {
    std::string text;
    const auto resource = FindResource(resourceType, name);
    if (!resource.empty()) {
        text.assign(reinterpret_cast<const char*>(resource.data()), resource.size());
    } else {
        auto file = ReadTextFile(std::string(name), kLargestShapeFile);
        if (!file) RaiseChartError(errorShape);
        text = std::move(*file);
    }
    m_shapes.push_back(ParseChartShape(text, name));
    return m_shapes.back().get();
}

bool Chart::GetShape(std::string_view name, std::string_view resourceType, ChartCompiledPolygon*& shape,
                     double rotation) {
    shape = nullptr;
    for (auto& s : m_shapes)
        if (s->GetName() == name) {
            shape = s.get();
            break;
        }
    if (!shape && name.starts_with(kStockShapePrefix)) {
        const std::string_view suffix = name.substr(std::string_view(kStockShapePrefix).size());
        int number = kUnknownStockShape;
        for (std::size_t i = 0; i < kStockShapeNames.size(); ++i)
            if (kStockShapeNames[i] == suffix) number = static_cast<int>(i);
        m_shapes.push_back(std::make_unique<ChartCompiledPolygon>(number));
        m_shapes.back()->SetName(name);
        shape = m_shapes.back().get();
    }
    if (!shape) shape = LoadShape(name, resourceType);
    shape->SetRotation(rotation);
    return shape != nullptr;
}

void Chart::CreatePalette() {
    if (m_palette) return;
    std::vector<unsigned char> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) {
        PALETTEENTRY& e = palette->palPalEntry[i];
        e.peRed = static_cast<std::uint8_t>((i & 7) * 255 / 7);
        e.peGreen = static_cast<std::uint8_t>(((i >> 3) & 7) * 255 / 7);
        e.peBlue = static_cast<std::uint8_t>(((i >> 6) & 3) * 255 / 3);
        e.peFlags = 0;
    }
    m_palette.reset(vq::CreatePalette(palette));
}

void Chart::AddPointFeedback(int x, int y, int group, int index) {
    AddPointFeedbackEx(x, y, group, index, ChartFeedback::kDefaultTolerance);
}

void Chart::AddPointFeedbackEx(int x, int y, int group, int index, int tolerance) {
    if (m_feedbackOn)
        m_feedback.push_back(std::make_unique<ChartFeedback>(x, y, tolerance, group, index, this));
}

void Chart::AddRectFeedback(const RECT& rect, int group, int index) {
    if (!m_feedbackOn) return;
    const RECT r{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                 std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    m_feedback.push_back(
        std::make_unique<ChartFeedback>(r.left, r.top, r.right, r.bottom, group, index, this));
}

void Chart::AddPolygonFeedback(std::span<const POINT> points, int group, int index) {
    if (m_feedbackOn) m_feedback.push_back(std::make_unique<ChartFeedback>(points, group, index, this));
}

ChartFeedback* Chart::HitTestFeedback(int x, int y) {
    for (auto it = m_feedback.rbegin(); it != m_feedback.rend(); ++it)
        if ((*it)->Contains(x, y)) return it->get();
    return nullptr;
}

void Chart::ResetGroups() {
    m_groups.clear();
    m_groupCursor = m_groups.end();
    m_groupCursorIndex = 0;
}

void Chart::ClipToPolyline(std::span<const POINT> points, int mode) {
    if (!m_drawDC || points.empty()) return;
    // The outline is closed, as a path figure of the polyline would be.
    BeginPath(m_drawDC);
    Polygon(m_drawDC, points.data(), static_cast<int>(points.size()));
    EndPath(m_drawDC);
    SelectClipPath(m_drawDC, mode);
}

void Chart::ClipToRect(int left, int top, int right, int bottom, int mode) {
    const POINT outline[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    ClipToPolyline(outline, mode);
}

void Chart::SaveClip() {
    if (!m_drawDC) return;
    GdiHandle<RegionObject> region(CreateRectRgn(0, 0, 0, 0));
    if (GetClipRgn(m_drawDC, region.get()) != 1) region.reset();
    m_clipStack.Push(std::move(region));
}

void Chart::RestoreClip() {
    if (!m_drawDC) return;
    auto entry = m_clipStack.Pop();
    if (!entry) {
        SelectClipRgn(m_drawDC, nullptr);
        return;
    }
    if (*entry) SelectClipRgn(m_drawDC, entry->get());
}

ChartDataList& Chart::GetGroup(int index, bool create) {
    if (index < 0) RaiseChartError(errorNoSuchGroup);
    if (GetGroupCount() < index + 1) {
        if (!create) RaiseChartError(errorNoSuchGroup);
        while (GetGroupCount() < index + 1)
            m_groups.push_back(NewGroup());
        m_groupCursor = std::prev(m_groups.end());
        m_groupCursorIndex = index;
    } else {
        if (index == 0 || m_groupCursor == m_groups.end()) {
            m_groupCursor = m_groups.begin();
            m_groupCursorIndex = 0;
        }
        for (; m_groupCursorIndex < index; ++m_groupCursorIndex)
            ++m_groupCursor;
        for (; m_groupCursorIndex > index; --m_groupCursorIndex)
            --m_groupCursor;
    }
    ChartDataList& group = **m_groupCursor;
    if (m_drawing && (group.GetStyle().flagsWord & ChartStyle::kHiddenGroup))
        RaiseChartError(errorNoSuchGroup);
    return group;
}

ChartData& Chart::GetDataOrDummy(int index, int group) {
    try {
        return GetGroup(group, false).GetDataInGroup(index, false);
    } catch (const ChartException& error) {
        if (!IsChartError(error, {errorNoSuchGroup, errorNoSuchItem})) throw;
        return m_dummy;
    }
}

ChartData& Chart::GetData(int index, int group) {
    return GetGroup(group, true).GetDataInGroup(index, true);
}

void Chart::ScrollGroup(int group, double value, bool atStart) {
    GetGroup(group, true).Scroll(value, atStart);
}

void Chart::SetItemValue(int index, int group, double value, bool applyStyle) {
    ChartData& item = GetData(index, group);
    item.SetValue(value);
    if (applyStyle) item.GetStyle() = m_newDataStyle;
    m_empty = 0;
}

void Chart::SetItemLabel(int index, int group, std::string_view text) {
    GetData(index, group).SetAnnotation(1, text);
    InvalidateAll();
}

void Chart::SetGroupLabel(int group, std::string_view text, bool clear) {
    GetGroup(group, true).SetGroupAnnotationText(text, clear, 1);
    InvalidateAll();
}

std::string Chart::PenKey(int style, int width, COLORREF colour) {
    std::string key;
    key += static_cast<char>('A' + style);
    key += static_cast<char>('A' + width);
    for (int digit = 0; digit < 8; ++digit)
        key += static_cast<char>('A' + ((colour >> (4 * digit)) & 0xF));
    return key;
}

HPEN Chart::GetPen(int style, int width, COLORREF colour) {
    auto& pen = m_pens[PenKey(style, width, colour)];
    if (!pen) pen.reset(CreatePen(style, width, colour));
    return pen.get();
}

void Chart::SetPosition(int left, int top, int right, int bottom, bool enable) {
    m_explicitPosition = {left, top, right, bottom};
    m_explicit = enable ? 1 : 0;
}

bool Chart::AlignRect(RECT& rect) const {
    if (!m_explicit) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    rect = {m_explicitPosition.left, m_explicitPosition.top, m_explicitPosition.left + width,
            m_explicitPosition.top + height};
    return true;
}

void Chart::InvalidateAll() {
    if (m_allInvalid) return;
    m_allInvalid = 1;
    for (auto& c : m_components)
        c->SetInvalid(1);
}

void Chart::ApplyStyleToRange(int firstGroup, int lastGroup, int firstIndex, int lastIndex,
                              const ChartStyle& style, bool alsoGroup) {
    if (lastGroup == -1) lastGroup = GetGroupCount() - 1;
    if (lastIndex == -1) lastIndex = GetMaxIndexCount() - 1;
    if (firstGroup == -1) firstGroup = 0;
    if (firstIndex == -1) firstIndex = 0;
    for (int g = firstGroup; g <= lastGroup; ++g) {
        bool groupDone = false;
        for (int i = firstIndex; i <= lastIndex; ++i) {
            try {
                ChartDataList& group = GetGroup(g, false);
                if (alsoGroup && !groupDone) {
                    group.GetStyle() = style;
                    groupDone = true;
                }
                group.GetDataInGroup(i, false).GetStyle() = style;
            } catch (const ChartException& error) {
                if (!IsChartError(error, {errorNoSuchGroup, errorNoSuchItem})) ReportChartError(error);
            }
        }
    }
    InvalidateAll();
}

ChartComponent* Chart::SetComponentMinIndex(int ordinal, int value, int typeCode) {
    ChartComponent* c = FindComponent(ordinal, typeCode);
    if (!c) return nullptr;
    int lowIndex, highIndex, lowGroup, highGroup;
    c->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    c->SetDataWindow(value, highIndex, lowGroup, highGroup);
    return c;
}

ChartComponent* Chart::SetComponentMaxIndex(int ordinal, int value, int typeCode) {
    ChartComponent* c = FindComponent(ordinal, typeCode);
    if (!c) return nullptr;
    int lowIndex, highIndex, lowGroup, highGroup;
    c->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    c->SetDataWindow(lowIndex, value, lowGroup, highGroup);
    return c;
}

ChartComponent* Chart::SetComponentMinGroup(int ordinal, int value, int typeCode) {
    ChartComponent* c = FindComponent(ordinal, typeCode);
    if (!c) return nullptr;
    int lowIndex, highIndex, lowGroup, highGroup;
    c->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    c->SetDataWindow(lowIndex, highIndex, value, highGroup);
    return c;
}

ChartComponent* Chart::SetComponentMaxGroup(int ordinal, int value, int typeCode) {
    ChartComponent* c = FindComponent(ordinal, typeCode);
    if (!c) return nullptr;
    int lowIndex, highIndex, lowGroup, highGroup;
    c->GetDataWindow(lowIndex, highIndex, lowGroup, highGroup);
    c->SetDataWindow(lowIndex, highIndex, lowGroup, value);
    return c;
}

double Chart::AverageOverIndexes(int firstIndex, int lastIndex, int group) {
    const int count = lastIndex - firstIndex + 1;
    // An empty or reversed span has no average; it would divide by zero or less.
    if (count <= 0) return 0;
    double sum = 0;
    for (int i = firstIndex; i <= lastIndex; ++i) {
        ChartData& item = GetData(i, group);
        if (!item.IsNull()) sum += item.GetValue();
    }
    return sum / count;
}

double Chart::GroupAverage(int group) {
    if (group > GetGroupCount()) return 0;
    ChartDataList& list = GetGroup(group, true);
    if (list.GetItems().empty()) return 0;
    double sum = 0;
    for (auto& item : list.GetItems())
        sum += item->GetValue();
    return sum / static_cast<double>(list.GetItems().size());
}

double Chart::SumAcrossGroups(int index, int firstGroup, int lastGroup) {
    if (index >= GetMaxIndexCount()) RaiseChartError(errorNoSuchItem);
    if (firstGroup == 0 && lastGroup == 0) lastGroup = GetGroupCount() - 1;
    double sum = 0;
    for (int g = firstGroup; g <= lastGroup; ++g)
        sum += GetDataOrDummy(index, g).GetValue();
    return sum;
}

void Chart::InvalidateComponentAreas(HWND window, int mode, int extra) {
    m_invalidationMode = mode;
    m_invalidationExtra = extra;
    m_partialRedraw = 1;
    for (auto& c : m_components)
        c->InvalidateArea(window);
}

void Chart::Reset() {
    m_annotations.RemoveAll();
    ResetGroups();
    m_components.clear();
    m_feedback.clear();
    m_empty = 1;
}

double Chart::GroupSum(int group) {
    if (m_groups.empty()) return 0;
    double sum = 0;
    for (auto& item : GetGroup(group == -1 ? m_defaultGroup : group, true).GetItems())
        sum += item->GetValue();
    return sum;
}

double Chart::RangeSum(int firstGroup, int firstIndex, int lastGroup, int lastIndex) {
    double sum = 0;
    for (int g = firstGroup; g <= lastGroup; ++g)
        for (int i = firstIndex; i <= lastIndex; ++i) {
            ChartData& item = GetData(i, g);
            if (!item.IsNull()) sum += item.GetValue();
        }
    return sum;
}

double Chart::TotalSum() {
    double sum = 0;
    for (auto& group : m_groups)
        for (auto& item : group->GetItems())
            if (!item->IsNull()) sum += item->GetValue();
    return sum;
}

std::string Chart::GetGroupAnnotation(int group, int index) {
    return GetGroup(group, false).GetAnnotationText(index);
}

std::string Chart::GetDataAnnotation(int group, int index, int annotationIndex) {
    if (m_groups.empty()) {
        m_scratch.clear();
        return m_scratch;
    }
    return GetDataOrDummy(index, group).GetAnnotationText(annotationIndex);
}

int Chart::GetMaxIndexCount() {
    int largest = 0;
    for (auto& group : m_groups) {
        const ChartDynamicData* buffer = group->IsDynamic() ? group->GetBufferItem() : nullptr;
        largest = std::max(largest, buffer ? buffer->GetCapacity() : group->GetItemCount());
    }
    return largest;
}

CScale Chart::GetValueRange(bool perItem) {
    CScale range;
    for (auto& group : m_groups)
        for (auto& item : group->GetItems()) {
            if (!perItem) {
                range.Update(item->GetValue());
                continue;
            }
            const CScale own = item->GetRange();
            if (own.IsEmpty()) continue;
            range.Update(own.GetMinimum());
            range.Update(own.GetMaximum());
        }
    return range;
}

ChartComponent* Chart::FindIn(Components& list, int ordinal, int typeCode, int& count) {
    for (auto& child : list) {
        if (child->GetTypeCode() == typeCode) {
            if (count == ordinal) return child.get();
            if (++count > ordinal) return nullptr;
        }
        if (child->IsCompound()) {
            auto& compound = static_cast<ChartCompoundComponent&>(*child);
            if (ChartComponent* found = compound.FindComponent(ordinal, typeCode, count)) return found;
        }
    }
    return nullptr;
}

ChartComponent* Chart::FindComponent(int ordinal, int typeCode) {
    if (typeCode == -1) {
        if (ordinal < 0 || ordinal >= static_cast<int>(m_components.size())) return nullptr;
        return std::next(m_components.begin(), ordinal)->get();
    }
    int count = 0;
    return FindIn(m_components, ordinal, typeCode, count);
}

ChartComponent* Chart::GetNextComponent(ComponentPosition& position, int typeCode) {
    for (; position != m_components.end(); ++position)
        if (typeCode == -1 || (*position)->GetTypeCode() == typeCode) return (position++)->get();
    return nullptr;
}

Chart::ComponentPosition Chart::FindComponentPosition(int typeCode) {
    if (typeCode == -1) return m_components.begin();
    for (auto it = m_components.begin(); it != m_components.end(); ++it)
        if ((*it)->GetTypeCode() == typeCode) return it;
    return m_components.end();
}

ChartDataList* Chart::GetNextGroup(GroupPosition& position) {
    if (position == m_groups.end()) return nullptr;
    return (position++)->get();
}

void Chart::SetAnnotationIndex(int index) {
    m_annotationIndex = index;
    InvalidateAll();
}

SIZE Chart::DrawingSizeOf(HDC dc, HWND window, bool printing) const {
    if (printing || m_banding) return {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    if (m_offscreen) {
        BITMAP bitmap{};
        if (HGDIOBJ selected = GetCurrentObject(dc, OBJ_BITMAP);
            selected && GetObject(selected, sizeof bitmap, &bitmap) && bitmap.bmWidth > 0)
            return {bitmap.bmWidth, bitmap.bmHeight};
    }
    if (window) {
        RECT client{};
        GetClientRect(window, &client);
        return {client.right - client.left, client.bottom - client.top};
    }
    return kDefaultDrawingSize;
}

SIZE Chart::GetDrawingSize() const {
    if (m_explicit)
        return {m_explicitPosition.right - m_explicitPosition.left,
                m_explicitPosition.bottom - m_explicitPosition.top};
    if (!m_drawing) RaiseChartError(errorNotDrawing);
    return DrawingSizeOf(m_drawDC, m_drawWindow, IsPrinting(m_drawDC) != 0);
}

RECT Chart::ChooseDrawingRect(HDC dc, HWND window, bool printing) const {
    if (printing) return {0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    if (m_banding) return m_bandRect;
    if (m_explicit) return m_explicitPosition;
    if (window) {
        RECT client{};
        GetClientRect(window, &client);
        return client;
    }
    // No drawing state exists yet, so the size comes from the context itself.
    const SIZE size = DrawingSizeOf(dc, window, printing);
    return {0, 0, size.cx, size.cy};
}

void Chart::PrepareOffscreen(DrawScope& scope, HDC dc, const RECT& drawRect) {
    if (!m_bitmap || !(drawRect == m_bitmapRect)) {
        // With an explicit position the bitmap spans from the origin, so the memory context can
        // use the target's coordinates unchanged.
        const int width = m_explicit ? drawRect.right : drawRect.right - drawRect.left;
        const int height = m_explicit ? drawRect.bottom : drawRect.bottom - drawRect.top;
        m_bitmap.reset(CreateCompatibleBitmap(dc, std::max(width, 1), std::max(height, 1)));
        m_bitmapRect = drawRect;
    }
    HDC memory = CreateCompatibleDC(dc);
    scope.SetMemory(memory, SelectObject(memory, m_bitmap.get()));
    SetMapMode(memory, MM_TEXT);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(memory, origin.x, origin.y, nullptr);
    GetWindowOrgEx(dc, &origin);
    SetWindowOrgEx(memory, origin.x, origin.y, nullptr);
    if (m_paletteDevice && m_palette) {
        HPALETTE previous = SelectPalette(memory, m_palette.get(), FALSE);
        RealizePalette(memory);
        SelectPalette(memory, previous, FALSE);
    }
}

void Chart::WalkComponents(HDC dc, HWND window) {
    // A list node stays valid while components are appended, so labels added during the walk are
    // drawn in this same pass.
    for (auto it = m_components.begin(); it != m_components.end(); ++it) {
        m_current = it;
        (*it)->SetDrawFlag(1);
        (*it)->Draw(dc, window);
    }
}

void Chart::ReportOnce(int code) {
    if (m_reportedError == code) return;
    m_reportedError = code;
    ReportChartError(ChartException(code));
}

void Chart::DrawComponentList(HDC dc, HWND window) {
    if (m_components.empty() || g_drawingGuard) return;
    if (m_style.GetLabelHandling() != 1) {
        RemoveComponentsByName(kTemporaryLabelName);
        RemoveComponentsByName(kLabelBlockName);
    }
    const bool printing = IsPrinting(dc) != 0;
    std::optional<int> error;
    {
        DrawScope scope(*this, dc);
        if (printing && m_banded) {
            g_drawingGuard = 0;
            PrintBanded(dc, window);
            return;
        }
        if (printing) m_offscreen = 0;
        m_feedback.clear();
        m_paletteDevice = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
        if (m_paletteDevice) CreatePalette();

        const RECT drawRect = ChooseDrawingRect(dc, window, printing);
        const bool offscreen = !printing && !m_banding && m_offscreen;
        if (offscreen) PrepareOffscreen(scope, dc, drawRect);
        HDC target = offscreen ? scope.Memory() : dc;

        POINT savedOrigin{};
        GetViewportOrgEx(target, &savedOrigin);
        RECT area = drawRect;
        AlignRect(area);
        m_drawingArea = area;
        m_drawing = 1;
        m_drawWindow = window;
        m_drawDC = target;
        try {
            WalkComponents(target, window);
        } catch (const ChartException& e) {
            error = e.GetCode();
        }
        m_drawDC = nullptr;
        m_drawing = 0;
        SetViewportOrgEx(target, savedOrigin.x, savedOrigin.y, nullptr);
        if (printing) {
            InvalidateAll();
        } else if (offscreen) {
            BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, target, area.left,
                   area.top, SRCCOPY);
            m_allInvalid = 0;
        }
    }
    // Reported once everything is undone: the box's repaint may draw again.
    if (error)
        ReportOnce(*error);
    else
        m_reportedError.reset();
}

void Chart::PrintBanded(HDC printer, HWND window) {
    m_banded = 1;
    const int pageWidth = GetDeviceCaps(printer, HORZRES);
    const int pageHeight = GetDeviceCaps(printer, VERTRES);
    m_bandRect = {0, 0, pageWidth, pageHeight};
    const int bandHeight = std::min(kBandRows, pageHeight);

    HDC memory = CreateCompatibleDC(printer);
    GdiHandle<BitmapObject> band(
        CreateCompatibleBitmap(printer, std::max(pageWidth, 1), std::max(bandHeight, 1)));
    HGDIOBJ oldBitmap = SelectObject(memory, band.get());
    const int offscreen = m_offscreen;
    const int feedback = m_feedbackOn;
    const int hadExplicit = m_explicit;
    const RECT oldPosition = m_explicitPosition;
    struct Restore {
        Chart& chart;
        HDC memory;
        HGDIOBJ oldBitmap;
        int offscreen, feedback, hadExplicit;
        RECT oldPosition;
        ~Restore() {
            chart.m_offscreen = offscreen;
            chart.m_feedbackOn = feedback;
            chart.m_explicit = hadExplicit;
            chart.m_explicitPosition = oldPosition;
            chart.m_banding = 0;
            SelectObject(memory, oldBitmap);
            DeleteDC(memory);
            chart.InvalidateAll();
            chart.m_banded = 0;
        }
    } restore{*this, memory, oldBitmap, offscreen, feedback, hadExplicit, oldPosition};

    m_offscreen = 0;
    m_feedbackOn = 0;
    InvalidateAll();
    if (!m_explicit) SetPosition(0, 0, pageWidth, pageHeight, true);
    m_banding = 1;
    const RECT area = m_explicitPosition;
    for (int offset = 0, remaining = pageHeight; remaining > 0; offset += kBandRows, remaining -= kBandRows) {
        const int rows = std::min(kBandRows, remaining);
        if (offset >= area.bottom || offset + rows <= area.top) continue;
        SetViewportOrgEx(memory, 0, -offset, nullptr);
        {
            ScopedSelect brush(memory, GetStockObject(WHITE_BRUSH));
            ScopedSelect pen(memory, GetStockObject(NULL_PEN));
            Rectangle(memory, 0, 0, pageWidth + 1, pageHeight + 1);
        }
        g_drawingGuard = 0;
        DrawComponentList(memory, window);
        SetViewportOrgEx(memory, 0, 0, nullptr);
        BitBlt(printer, 0, offset, pageWidth, rows, memory, 0, 0, SRCCOPY);
    }
}

ChartDynamicData* Chart::GetBufferItem(int group) {
    ChartDynamicData* buffer = GetGroup(group, true).GetBufferItem();
    if (!buffer) RaiseChartError(errorNoBuffer);
    return buffer;
}

void Chart::Store(ObjectWriter& archive) const {
    archive.WriteObjectList(m_components);
    m_style.Store(archive);
    m_annotations.Store(archive);
    archive.WriteInt32(m_offscreen);
    archive.WriteInt32(m_empty);
    archive.WriteInt32(m_defaultGroup);
    archive.WriteUInt32(static_cast<u32>(m_groups.size()));
    for (const auto& group : m_groups)
        group->Store(archive);
    archive.WriteInt32(m_annotationIndex);
}

void Chart::Load(ObjectReader& archive, u32 schema) {
    auto components = archive.ReadObjectList<ChartComponent>();
    ChartStyle style;
    style.Load(archive);
    ChartAnnotationList annotations;
    annotations.Load(archive);
    const int offscreen = archive.ReadInt32();
    const int empty = archive.ReadInt32();
    const int defaultGroup = archive.ReadInt32();
    const u32 count = archive.ReadCount(ObjectReader::kSmallestObject);
    Groups groups;
    for (u32 i = 0; i < count; ++i) {
        groups.push_back(NewGroup());
        groups.back()->Load(archive, schema);
    }
    const int annotationIndex = archive.ReadInt32();

    m_components.clear();
    for (auto& c : components)
        AddComponent(std::move(c));
    m_style = std::move(style);
    m_annotations = std::move(annotations);
    m_offscreen = offscreen;
    m_empty = empty;
    m_defaultGroup = defaultGroup;
    ResetGroups();
    m_groups = std::move(groups);
    m_groupCursor = m_groups.end();
    m_annotationIndex = annotationIndex;
    m_allInvalid = 1;
}

void DynamicChart::ImportText(std::string_view) {
    RaiseChartError(errorImportIntoBuffers);
}

double DynamicChart::GroupSum(int group) {
    if (GetGroupList().empty()) return 0;
    ChartDynamicData* buffer = GetGroup(group == -1 ? 0 : group, true).GetBufferItem();
    // A group without its buffer item has nothing to sum.
    if (!buffer) return 0;
    buffer->ResetReadPosition();
    double sum = 0;
    for (int i = 0; i < buffer->GetCapacity(); ++i)
        sum += buffer->GetValue();
    return sum;
}

std::string DynamicChart::GetDataAnnotation(int group, int, int annotationIndex) {
    if (GetGroupList().empty()) return {};
    ChartDynamicData* buffer = GetGroup(group, false).GetBufferItem();
    return buffer ? buffer->GetAnnotationText(annotationIndex) : std::string();
}

int DynamicChart::GetMaxIndexCount() {
    int largest = 0;
    for (auto& group : GetGroupList())
        if (const ChartDynamicData* buffer = group->GetBufferItem())
            largest = std::max(largest, buffer->GetCapacity());
    return largest;
}

CScale DynamicChart::GetValueRange(bool perElement) {
    CScale range;
    for (auto& group : GetGroupList()) {
        ChartDynamicData* buffer = group->IsDynamic() ? group->GetBufferItem() : nullptr;
        if (!buffer) RaiseChartError(errorValueRange);
        buffer->ResetReadPosition();
        for (int i = 0; i < buffer->GetCapacity(); ++i) {
            if (!perElement) {
                range.Update(buffer->GetValue());
                continue;
            }
            const CScale own = buffer->GetRange();
            if (own.IsEmpty()) continue;
            range.Update(own.GetMinimum());
            range.Update(own.GetMaximum());
        }
    }
    return range;
}

void DynamicChart::SetBufferLabel(int, int group, std::string_view text) {
    GetBufferItem(group)->SetAnnotation(1, text);
}

void DynamicChart::PushByteToGroup(int, int group, int value) {
    GetBufferItem(group)->PushByte(value);
}

void DynamicChart::PushInt32ToGroup(int, int group, i32 value) {
    GetBufferItem(group)->PushInt32(value);
}

void DynamicChart::PushValueToGroup(int, int group, double value) {
    GetBufferItem(group)->SetValue(value);
}

} // namespace vq
