#pragma once

#include "chart/ChartLabelBlock.h"
#include "chart/ChartTitle.h"

#include <utility>
#include <vector>

namespace vq {

// The legend of a chart display: one entry per series, per category or per data point, each a
// key in the item's style beside its text, in a grid of columns and rows that fits the legend's
// rectangle.
class ChartLegend : public ChartTitle {
    VQ_DECLARE_RUNTIME_CLASS(ChartLegend)

public:
    // Style flags-word bits.
    static constexpr u32 kFixedGrid = 1u << 1;
    static constexpr u32 kKeyBeforeText = 1u << 3;
    static constexpr u32 kNoLinesInKeys = 1u << 17;
    // Key kinds, in bits 12-15 of the label word.
    enum KeyKind : int { keyNone, keyByChartType, keyLine, keyBox, keySymbol, keyFromItem };

    ChartLegend();

    void SetParent(Chart* chart) override;
    // Builds the entry texts from the display's data window.
    void RefreshText() override;
    void Draw(HDC dc, HWND window) override;
    // After the title group: options, key size, legend mode, lines flag and key kind; chart error
    // 11 with fewer than four numbers, key kind 1 with four.
    int ReadTemplate(std::string_view text) override;
    std::string WriteTemplateKeyword() const override { return "legend "; }
    std::string WriteTemplateExtra() const override;
    void SetMeasureDefaults() override;
    void DrawForeground() override;
    // A tenth of the legend rectangle's height, as a pixel height.
    int GetAutoFontSize() override;

    virtual void DrawKey(int left, int top, int right, int bottom, int category, int series, int entry);
    // In pixels; 30 while not drawing.
    virtual int GetKeySize() const;
    virtual void DrawOtherKey(int, int, int, int, ChartData&) {}
    virtual void ApplyOtherChartType(int) {}
    // Bit 0 fit width, 1 fit height, 2 keep left, 3 keep top.
    virtual void SetOptions(int options);
    void SetKeySize(double size) { m_keySize = size; }

    double GetKeySizeValue() const { return m_keySize; }
    int GetOptions() const;
    int GetEntryCount() const { return m_entryCount; }
    int GetColumns() const { return m_columns; }
    int GetRows() const { return m_rows; }
    RECT GetLegendRect() const { return m_legendRect; }
    ChartLabelBlock& GetEntries() { return m_entries; }
    int GetIndexStep() const { return m_indexStep; }
    int GetGroupStep() const { return m_groupStep; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

private:
    ChartComponent* FindDisplay();
    void SetSteps(int chartType);
    void Layout();
    void DrawEntries();
    int KeyKindOf(const ChartStyle& itemStyle) const;

    int m_indexStep = 1;
    int m_groupStep = 1;
    int m_rowTextHeight = 0;
    ChartLabelBlock m_entries;
    ChartComponent* m_display = nullptr;
    RECT m_legendRect{};
    int m_keepTop = 0;
    int m_keepLeft = 0;
    int m_fitWidth = 0;
    int m_fitHeight = 0;
    int m_layoutPass = 0;
    double m_keySize = 20.0;
    int m_entryCount = 0;
    int m_columns = 0;
    int m_rows = 0;
    int m_firstCategory = 0;
    int m_firstSeries = 0;
    int m_categoryCount = 0;
    int m_seriesCount = 0;
    // The (category, series) each entry's key shows.
    std::vector<std::pair<int, int>> m_entryItems;
};

} // namespace vq
