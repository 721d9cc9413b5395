#pragma once

#include "chart/ChartData.h"

#include <list>
#include <memory>

namespace vq {

class ChartDynamicData;

// One group of a chart: its items in index order with its own style and texts. A dynamic group
// holds one ChartDynamicData item that carries all its values. A cursor remembers the last item
// reached, so walking the items in order costs one step each.
class ChartDataList : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(ChartDataList)

public:
    using Items = std::list<std::unique_ptr<ChartData>>;
    using Position = Items::iterator;

    ChartDataList();
    ChartDataList(std::string_view text, int annotationIndex);
    // The cursor refers into the list, so a group stays where it was made.
    ChartDataList(const ChartDataList&) = delete;
    ChartDataList& operator=(const ChartDataList&) = delete;

    // Plain group: the item count; dynamic group: the buffer's capacity.
    virtual int GetCount();
    virtual std::unique_ptr<ChartData> NewData() const { return std::make_unique<ChartData>(); }
    // -2 inserts at the head, -1 appends, an existing index replaces (deleting the old item), a
    // larger index first creates the items before it. Other negative indexes append.
    virtual Position SetData(std::unique_ptr<ChartData> item, int index);
    // Plain group: the item at one end goes to the other with the value; empty groups stay empty.
    virtual void Scroll(double value, bool atStart);
    virtual ChartAnnotationList& GetAnnotationList() { return m_annotations; }
    virtual ChartStyle& GetStyle() { return m_style; }
    virtual void SetDynamic(int dynamic) { m_dynamic = dynamic; }
    virtual std::string GetAnnotationText(int index) const { return m_annotations.GetText(index); }
    virtual int IsDynamic() const { return m_dynamic; }

    // The item at the index, created when missing with the flag (else chart error 3). In a
    // dynamic group the buffer item with both positions set to the index, or the shared dummy
    // item for an index that names no element.
    ChartData& GetDataInGroup(int index, bool create);
    void SetGroupAnnotationText(std::string_view text, bool clear, int index);
    void Append(std::unique_ptr<ChartData> item) { m_items.push_back(std::move(item)); }
    // The buffer item of a dynamic group, or null when the group holds none.
    ChartDynamicData* GetBufferItem();

    Items& GetItems() { return m_items; }
    const Items& GetItems() const { return m_items; }
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    const ChartStyle& GetStyle() const { return m_style; }
    const ChartAnnotationList& GetAnnotationList() const { return m_annotations; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

private:
    ChartData& GetDynamicItem(int index);
    Position WalkTo(int index);

    Items m_items;
    ChartStyle m_style{ChartStyle::levelData};
    ChartAnnotationList m_annotations;
    int m_cursorIndex = 0;
    Position m_cursor = m_items.end();
    int m_dynamic = 0;
};

} // namespace vq
