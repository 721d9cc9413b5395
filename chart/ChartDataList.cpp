#include "chart/ChartDataList.h"

#include "chart/ChartDynamicData.h"
#include "chart/ChartException.h"

namespace vq {
namespace {
enum ChartErrorCode { errorNoSuchItem = 3, errorNoBufferItem = 6 };
enum : int { appendIndex = -1, headIndex = -2 };
} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartDataList, Serializable)

ChartDataList::ChartDataList() = default;

ChartDataList::ChartDataList(std::string_view text, int annotationIndex) {
    m_annotations.SetText(annotationIndex, text);
}

ChartDynamicData* ChartDataList::GetBufferItem() {
    if (m_items.empty()) return nullptr;
    return m_items.front()->IsDynamic() ? static_cast<ChartDynamicData*>(m_items.front().get()) : nullptr;
}

int ChartDataList::GetCount() {
    if (!m_dynamic) return GetItemCount();
    ChartDynamicData* buffer = GetBufferItem();
    if (!buffer) RaiseChartError(errorNoBufferItem);
    return buffer->GetCapacity();
}

ChartDataList::Position ChartDataList::SetData(std::unique_ptr<ChartData> item, int index) {
    if (index == headIndex) {
        m_items.push_front(std::move(item));
        // The cursor's item moved one index up.
        if (m_cursor != m_items.end()) ++m_cursorIndex;
        return m_items.begin();
    }
    if (index >= 0 && index < GetItemCount()) {
        Position at = WalkTo(index);
        *at = std::move(item);
        return at;
    }
    while (index > GetItemCount())
        m_items.push_back(NewData());
    m_items.push_back(std::move(item));
    return std::prev(m_items.end());
}

void ChartDataList::Scroll(double value, bool atStart) {
    if (m_dynamic) {
        if (ChartDynamicData* buffer = GetBufferItem()) buffer->Shift(value, atStart);
        return;
    }
    if (m_items.empty()) return;
    // Splicing keeps every node, so the cursor's node stays valid and moves with the list.
    if (atStart) {
        m_items.splice(m_items.begin(), m_items, std::prev(m_items.end()));
        m_items.front()->SetValue(value);
    } else {
        m_items.splice(m_items.end(), m_items, m_items.begin());
        m_items.back()->SetValue(value);
    }
    if (m_cursor == m_items.end()) return;
    if (atStart) {
        if (m_cursor == m_items.begin())
            m_cursor = m_items.end();
        else
            --m_cursor;
    } else {
        ++m_cursor;
    }
    if (m_cursor == m_items.end()) {
        m_cursor = m_items.begin();
        m_cursorIndex = 0;
    }
}

ChartData& ChartDataList::GetDynamicItem(int index) {
    ChartDynamicData* buffer = GetBufferItem();
    if (!buffer) RaiseChartError(errorNoBufferItem);
    if (index < 0 || index >= buffer->GetCapacity()) return ChartDummyData::Shared();
    buffer->SetReadPosition(static_cast<u32>(index));
    buffer->SetWritePosition(static_cast<u32>(index));
    return *buffer;
}

ChartDataList::Position ChartDataList::WalkTo(int index) {
    if (index == 0 || m_cursor == m_items.end()) {
        m_cursor = m_items.begin();
        m_cursorIndex = 0;
    }
    while (m_cursorIndex < index) {
        ++m_cursor;
        ++m_cursorIndex;
    }
    while (m_cursorIndex > index) {
        --m_cursor;
        --m_cursorIndex;
    }
    return m_cursor;
}

ChartData& ChartDataList::GetDataInGroup(int index, bool create) {
    if (m_dynamic) return GetDynamicItem(index);
    if (index < 0 || index >= GetItemCount()) {
        if (!create || index < 0) RaiseChartError(errorNoSuchItem);
        while (GetItemCount() < index + 1)
            m_items.push_back(NewData());
        m_cursor = std::prev(m_items.end());
        m_cursorIndex = index;
        return **m_cursor;
    }
    return **WalkTo(index);
}

void ChartDataList::SetGroupAnnotationText(std::string_view text, bool clear, int index) {
    if (clear) m_annotations.RemoveAll();
    m_annotations.SetText(index, text);
}

void ChartDataList::Store(ObjectWriter& archive) const {
    archive.WriteObjectList(m_items);
    m_annotations.Store(archive);
    m_style.Store(archive);
    archive.WriteInt32(m_dynamic);
}

void ChartDataList::Load(ObjectReader& archive, u32) {
    auto items = archive.ReadObjectList<ChartData>();
    m_items.clear();
    for (auto& item : items)
        m_items.push_back(std::move(item));
    m_cursor = m_items.end();
    m_cursorIndex = 0;
    m_annotations.Load(archive);
    m_style.Load(archive);
    m_dynamic = archive.ReadInt32();
}

} // namespace vq
