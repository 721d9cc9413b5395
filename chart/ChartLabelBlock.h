#pragma once

#include "chart/ChartLabel.h"

#include <memory>
#include <vector>

namespace vq {

// A label that owns a row of labels: it lays them out along a line, draws them in one shared
// font and style, keeps them from overlapping by pushing them aside or dropping them, and can
// record their anchor points for others (the scales and the legend build on it).
class ChartLabelBlock : public ChartLabel {
    VQ_DECLARE_RUNTIME_CLASS(ChartLabelBlock)

public:
    // Label-word content bits that make overlapping labels drop rather than move.
    static constexpr u32 kDropMode = 9;
    // Extra-word bit: a moved label is joined to where it was by a leader line.
    static constexpr u32 kLeaderLine = 1u << 26;

    ChartLabelBlock();
    ~ChartLabelBlock() override;

    void SetParent(Chart* chart) override;
    std::string WriteTemplateKeyword() const override { return "labelblock "; }
    // The block draws only its labels.
    void DrawBackground() override {}
    void DrawBorder() override {}
    void DrawShadow() override {}
    void DrawForeground() override;

    // With record-anchors on: each label's anchor moved by (dx, dy), in label order.
    virtual void RecordAnchors(int dx, int dy);
    virtual void UpdateAnchors() { RecordAnchors(0, 0); }
    // The scales make their labels here.
    virtual void BuildLabels() {}
    virtual int GetLabelCount() const { return static_cast<int>(m_labels.size()); }
    virtual void RemoveLastLabel();
    virtual void RemoveAllLabels() { m_labels.clear(); }
    // An existing label takes the text under the index; past the end, empty labels fill the gap
    // and a new one takes the text under the chart's current index.
    virtual void SetLabelText(std::string_view text, int position, int index);
    // -1 the first, -2 the last; other negative positions and positions past the end: none.
    virtual ChartLabel* GetLabel(int position);
    // A new member in the block's style holding the text.
    virtual ChartLabel& AddLabel(std::string_view text);
    virtual void AttachLabel(std::unique_ptr<ChartLabel> label, int ownStyle);
    virtual void SetAnchorAll(int code);
    virtual void SetRotationAll(double degrees);
    // Spreads the labels evenly from the first point to the second; a single label sits at the
    // second.
    virtual void DistributeLabels(int x1, int y1, int x2, int y2);
    virtual void SetDirectionAll(double dx, double dy);
    // The bounding box of the labels drawn last.
    virtual RECT GetBounds() const { return m_bounds; }
    // A list the caller keeps alive; null makes the block use its own.
    virtual void SetAnchorList(std::vector<POINT>* list) { m_anchors = list; }
    virtual void SetRecordAnchors(int on) { m_recordAnchors = on; }
    virtual const std::vector<POINT>& GetAnchorList() const { return m_anchors ? *m_anchors : m_ownAnchors; }
    virtual void SetAvoidOverlap(int on) { m_avoidOverlap = on; }
    virtual int GetAvoidOverlap() const { return m_avoidOverlap; }

    const std::vector<std::unique_ptr<ChartLabel>>& GetLabels() const { return m_labels; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

protected:
    explicit ChartLabelBlock(int typeCode);

private:
    // Pushes the label along its direction until it no longer meets the occupied region; answers
    // whether it moved. Chart error 17 when the direction cannot move it.
    bool PushClear(ChartLabel& label, HRGN occupied);
    void DrawLeader(POINT from, POINT to);

    int m_avoidOverlap = 1;
    std::vector<std::unique_ptr<ChartLabel>> m_labels;
    int m_recordAnchors = 0;
    std::vector<POINT> m_ownAnchors;
    std::vector<POINT>* m_anchors = nullptr;
    int m_reserved = 0;
    RECT m_bounds{};
};

} // namespace vq
