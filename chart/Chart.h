#pragma once

#include "chart/ChartAnnotation.h"
#include "chart/ChartCompiledPolygon.h"
#include "chart/ChartComponent.h"
#include "chart/ChartData.h"
#include "chart/ChartDataList.h"
#include "chart/ChartFeedback.h"
#include "chart/GdiHandle.h"
#include "platform/gui/Palette.h"

#include <list>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace vq {

// A stack of saved clip regions; an entry without a region stands for a context that had none.
class CObStack {
public:
    void Push(GdiHandle<RegionObject> region) { m_entries.push_back(std::move(region)); }
    // The top entry; none when the stack is empty.
    std::optional<GdiHandle<RegionObject>> Pop();
    bool IsEmpty() const { return m_entries.empty(); }
    void Clear() { m_entries.clear(); }

private:
    std::vector<GdiHandle<RegionObject>> m_entries;
};

// The chart: its groups of data, chart-wide style and texts, the components that draw it in
// list order, the hit-test records a draw leaves, caches of pens and shapes, a 3-3-2 palette and
// an off-screen bitmap. One drawing runs at a time across all charts.
class Chart : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(Chart)

public:
    using Components = std::list<std::unique_ptr<ChartComponent>>;
    using ComponentPosition = Components::iterator;
    using Groups = std::list<std::unique_ptr<ChartDataList>>;
    using GroupPosition = Groups::iterator;

    // Invalidation modes of InvalidateComponentAreas.
    enum : int { invalidateWhole = 1, invalidateShadows = 16, invalidateWholeAlt = 256 };
    // Names of the labels a draw leaves for the next one to remove.
    static constexpr const char* kTemporaryLabelName = "_OC_TEMPORARY_TAG_OBJECT_";
    static constexpr const char* kLabelBlockName = "_OC_TAG_BLOCK_";
    static constexpr const char* kStockShapePrefix = "_OC_STOCK_SHAPE_";
    static constexpr int kBandRows = 128;

    Chart();
    ~Chart() override;
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    virtual int IsFeedbackOn() const { return m_feedbackOn; }
    virtual void ShowTemplateError(std::string_view line);
    // Called with a template line whose keyword is missing or not accepted; the reading stops
    // after it. Nothing by default.
    virtual void OnTemplateKeywordError(std::string_view) {}
    // Adds the components of the template named: a "CHART_TEMPLATE" resource, else a file.
    virtual void LoadTemplate(std::string_view name);
    // Adds the components of template text.
    void ReadTemplateText(std::string_view text);
    // Fills groups, labels and values from tab- or comma-separated rows; a chart holding data is
    // reset first, its components included.
    virtual void ImportText(std::string_view text);
    virtual ComponentPosition AddComponent(std::unique_ptr<ChartComponent> component);
    // Only the classes of the table are made; any other code answers null.
    virtual ChartComponent* CreateComponent(int typeCode, int unit, const RECT& rect, int border, int shadow,
                                            int fill, int chartType, int kind);
    // Chart error 19 for a missing file or text that does not parse.
    virtual ChartCompiledPolygon* LoadShape(std::string_view name, std::string_view resourceType);
    virtual void SetNewDataStyle(ChartStyle style) { m_newDataStyle = std::move(style); }
    virtual ChartStyle GetNewDataStyle() const { return m_newDataStyle; }
    virtual void SetColorCount(int count) { m_colourCount = count; }
    virtual int GetColorCount() const { return m_colourCount; }
    virtual void RemoveComponentsByName(std::string_view name);
    virtual ChartComponent* FindComponentByName(std::string_view name);
    virtual bool GetShape(std::string_view name, std::string_view resourceType, ChartCompiledPolygon*& shape,
                          double rotation);
    virtual void CreatePalette();
    virtual void AddPointFeedback(int x, int y, int group, int index);
    virtual void AddPointFeedbackEx(int x, int y, int group, int index, int tolerance);
    virtual void DeleteAllGroups() { ResetGroups(); }
    // Mode as ExtSelectClipRgn takes it (RGN_AND intersects); points in logical coordinates.
    virtual void ClipToPolyline(std::span<const POINT> points, int mode);
    virtual void ClipToRect(int left, int top, int right, int bottom, int mode);
    virtual void RestoreClip();
    virtual void SaveClip();
    virtual void PrintBanded(HDC printer, HWND window);
    virtual ComponentPosition GetCurrentComponentPosition() const { return m_current; }
    virtual std::unique_ptr<ChartDataList> NewGroup() const { return std::make_unique<ChartDataList>(); }
    virtual ChartData& GetDataOrDummy(int index, int group);
    virtual ChartData& GetData(int index, int group);
    virtual SIZE GetDrawingSize() const;
    virtual void ScrollGroup(int group, double value, bool atStart);
    virtual void AddRectFeedback(const RECT& rect, int group, int index);
    virtual void InvalidateAll();
    virtual void ApplyStyleToRange(int firstGroup, int lastGroup, int firstIndex, int lastIndex,
                                   const ChartStyle& style, bool alsoGroup);
    virtual ChartComponent* SetComponentMinIndex(int ordinal, int value, int typeCode);
    virtual ChartComponent* SetComponentMaxIndex(int ordinal, int value, int typeCode);
    virtual ChartComponent* SetComponentMinGroup(int ordinal, int value, int typeCode);
    virtual ChartComponent* SetComponentMaxGroup(int ordinal, int value, int typeCode);
    virtual double AverageOverIndexes(int firstIndex, int lastIndex, int group);
    virtual double GroupAverage(int group);
    virtual double SumAcrossGroups(int index, int firstGroup, int lastGroup);
    virtual void DeleteAllComponents() { m_components.clear(); }
    virtual void SetAnnotation(std::string_view text, int index) { m_annotations.SetText(index, text); }
    virtual void InvalidateComponentAreas(HWND window, int mode, int extra);
    virtual void Reset();
    virtual double GroupSum(int group);
    virtual double RangeSum(int firstGroup, int firstIndex, int lastGroup, int lastIndex);
    virtual std::string GetGroupAnnotation(int group, int index);
    virtual std::string GetDataAnnotation(int group, int index, int annotationIndex);
    virtual std::string GetAnnotation(int index) const { return m_annotations.GetText(index); }
    virtual int GetGroupCount() const { return static_cast<int>(m_groups.size()); }
    virtual int GetMaxIndexCount();
    virtual CScale GetValueRange(bool perItem);
    virtual void DrawComponentList(HDC dc, HWND window);
    virtual ChartFeedback* HitTestFeedback(int x, int y);
    virtual void AddPolygonFeedback(std::span<const POINT> points, int group, int index);
    virtual double TotalSum();
    virtual int GetBitmapSizing() const { return m_offscreen; }
    virtual int GetFeedbackEnabled() const { return m_feedbackOn; }
    virtual void SetFeedbackEnabled(int on) { m_feedbackOn = on; }
    virtual void SetBitmapSizing(int on) { m_offscreen = on; }
    virtual ChartAnnotationList& GetAnnotationList() { return m_annotations; }
    virtual std::vector<std::unique_ptr<ChartFeedback>>& GetFeedbackList() { return m_feedback; }
    virtual Components& GetComponentList() { return m_components; }
    virtual ChartStyle& GetStyle() { return m_style; }
    virtual double GetValue(int index, int group) { return GetData(index, group).GetValue(); }
    // The ordinal-th component (from 0) of the type; -1 counts every top-level component. Compound
    // components are searched inside with the same running count.
    virtual ChartComponent* FindComponent(int ordinal, int typeCode);
    virtual ChartComponent* GetNextComponent(ComponentPosition& position, int typeCode);
    virtual ComponentPosition FindComponentPosition(int typeCode);
    virtual Groups& GetGroupList() { return m_groups; }
    virtual GroupPosition GetFirstGroupPosition() { return m_groups.begin(); }
    virtual ChartDataList* GetNextGroup(GroupPosition& position);
    virtual void SetAnnotationIndex(int index);
    virtual int GetAnnotationIndex() const { return m_annotationIndex; }
    virtual void SetBandedPrinting(int on) { m_banded = on; }
    virtual int IsBandedPrinting() const { return m_banded; }
    virtual void SetPaletteDevice(int on) { m_paletteDevice = on; }
    virtual int IsPaletteDevice() const { return m_paletteDevice; }
    virtual HPALETTE GetPalette() const { return m_palette.get(); }
    // With an explicit position: moves the rectangle, keeping its size, to the position's corner.
    virtual bool AlignRect(RECT& rect) const;

    // Chart error 2 for a negative index or, without the flag, a missing group; and for a hidden
    // group while drawing, so drawing code skips it.
    ChartDataList& GetGroup(int index, bool create);
    void SetItemValue(int index, int group, double value, bool applyStyle);
    void SetItemLabel(int index, int group, std::string_view text);
    void SetGroupLabel(int group, std::string_view text, bool clear);
    // Pens are cached for the chart's life; callers never free them.
    HPEN GetPen(int style, int width, COLORREF colour);
    void SetPosition(int left, int top, int right, int bottom, bool enable);

    // The ten-letter key a pen is cached under.
    static std::string PenKey(int style, int width, COLORREF colour);
    // Every class a stored chart may hold, for its reader.
    static std::span<const RuntimeClass* const> ArchiveClasses();

    RECT GetDrawingArea() const { return m_drawingArea; }
    bool HasExplicitPosition() const { return m_explicit != 0; }
    RECT GetExplicitPosition() const { return m_explicitPosition; }
    int GetInvalidationMode() const { return m_invalidationMode; }
    int IsPartialRedraw() const { return m_partialRedraw; }
    int IsEmpty() const { return m_empty; }
    int IsAllInvalid() const { return m_allInvalid; }
    HDC GetDrawingDC() const { return m_drawDC; }
    HBITMAP GetOffscreenBitmap() const { return m_bitmap.get(); }
    const std::list<std::unique_ptr<ChartCompiledPolygon>>& GetShapeList() const { return m_shapes; }
    static bool IsAnyChartDrawing();

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    // Reads into new objects and swaps them in only when everything was read: a stream that
    // fails leaves the chart as it was.
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    ChartDynamicData* GetBufferItem(int group);

private:
    class DrawScope;
    friend class DrawScope;

    friend class ChartTextImport;

    void ResetGroups();
    SIZE DrawingSizeOf(HDC dc, HWND window, bool printing) const;
    RECT ChooseDrawingRect(HDC dc, HWND window, bool printing) const;
    void PrepareOffscreen(DrawScope& scope, HDC dc, const RECT& drawRect);
    void WalkComponents(HDC dc, HWND window);
    void ReportOnce(int code);
    ChartComponent* FindIn(Components& list, int ordinal, int typeCode, int& count);

    std::string m_scratch;
    int m_allInvalid = 1;
    int m_annotationIndex = 1;
    int m_invalidationExtra = 0;
    int m_invalidationMode = invalidateWhole;
    int m_partialRedraw = 0;
    int m_offscreen = 1;
    int m_defaultGroup = 0;
    ChartStyle m_style{ChartStyle::levelChart};
    Components m_components;
    int m_empty = 1;
    ChartAnnotationList m_annotations;
    Groups m_groups;
    int m_feedbackOn = 1;
    std::vector<std::unique_ptr<ChartFeedback>> m_feedback;
    RECT m_drawingArea{};
    std::map<std::string, GdiHandle<PenObject>> m_pens;
    std::list<std::unique_ptr<ChartCompiledPolygon>> m_shapes;
    ChartStyle m_newDataStyle{ChartStyle::levelData};
    int m_colourCount = 16;
    int m_paletteDevice = 0;
    GdiHandle<PaletteObject> m_palette;
    CObStack m_clipStack;
    RECT m_bandRect{};
    int m_banded = 0;
    int m_banding = 0;
    ChartDummyData m_dummy;
    ComponentPosition m_current = m_components.end();
    GroupPosition m_groupCursor = m_groups.end();
    int m_groupCursorIndex = 0;
    int m_drawing = 0;
    HWND m_drawWindow = 0;
    HDC m_drawDC = nullptr;
    RECT m_bitmapRect{};
    GdiHandle<BitmapObject> m_bitmap;
    RECT m_explicitPosition{};
    int m_explicit = 0;
    // The code of the chart error last shown; meeting it again stays quiet until a draw succeeds.
    std::optional<int> m_reportedError;
};

// Keeps the chart's clip region for a scope that clips: it is saved on entry and restored however
// the scope is left.
class SavedClip {
public:
    explicit SavedClip(Chart& chart) : m_Chart(chart) { m_Chart.SaveClip(); }
    ~SavedClip() { m_Chart.RestoreClip(); }
    SavedClip(const SavedClip&) = delete;
    SavedClip& operator=(const SavedClip&) = delete;

private:
    Chart& m_Chart;
};

// A chart whose groups each hold one ChartDynamicData buffer item.
class DynamicChart : public Chart {
    VQ_DECLARE_RUNTIME_CLASS(DynamicChart)

public:
    double GroupSum(int group) override;
    std::string GetDataAnnotation(int group, int index, int annotationIndex) override;
    int GetMaxIndexCount() override;
    // Chart error 0: buffers take no text.
    void ImportText(std::string_view text) override;
    // Chart error 1 unless every group is dynamic with its buffer item.
    CScale GetValueRange(bool perElement) override;

    // The index is not used: each addresses the group's one buffer item (chart error 6 without it).
    void SetBufferLabel(int index, int group, std::string_view text);
    void PushByteToGroup(int index, int group, int value);
    void PushInt32ToGroup(int index, int group, i32 value);
    void PushValueToGroup(int index, int group, double value);

    u32 GetSchema() const override { return 0x80000000; }
};

} // namespace vq
