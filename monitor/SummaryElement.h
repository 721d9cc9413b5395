#pragma once

#include "monitor/MonitorActionArray.h"
#include "monitor/MonitorActionElement.h"
#include "monitor/SummaryItem.h"

#include <cstddef>
#include <cstdint>

namespace vq {

// The result of a summary for one selection: one item per period.
class SummaryElement : public MonitorActionElement {
    VQ_DECLARE_RUNTIME_CLASS(SummaryElement)

public:
    // The shared invalid tuple selects until the element is placed in an array.
    explicit SummaryElement(const SummaryList& list);
    SummaryElement(const SummaryElement& other, int copyMode);

    void SetIndex(int32_t index) override { m_List.SetIndex(index); }
    void OnConversation(const Conversation& conversation) override { m_List.OnConversation(conversation); }
    // Every item not ready yet counts one more complete interval.
    void Evaluate() override { m_List.Evaluate(); }
    void Reset() override { m_List.Reset(); }
    void SetCapacity(double capacity) override { m_List.SetCapacity(capacity); }
    void SetEvaluation(const ActionEvaluation& evaluation) override;
    void OnData(const FrameView& frame, const Conversation& conversation) override;
    int32_t GetItemCount() const override { return int32_t(m_List.GetCount()); }

    // The key part of the action that tells the elements of a dynamic action apart; 0 counts every
    // frame routed to the element.
    void SetKey(int32_t key) { m_Key = key; }
    SummaryList& GetList() { return m_List; }
    const SummaryList& GetList() const { return m_List; }
    // Adds the other's items into the items at the same positions, as far as both lists go.
    void AddItems(const SummaryElement& other);

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    SummaryList m_List;
    int32_t m_Key = 0;
};

// The elements of a summary reply.
class SummaryArray : public MonitorActionArray {
    VQ_DECLARE_RUNTIME_CLASS(SummaryArray)

public:
    SummaryArray() = default;
    // Every element copied with the copy mode; all of them must be summary elements.
    SummaryArray(const MonitorActionArray& array, int copyMode);

    // Appends a copy of the element with the copy mode.
    SummaryElement& AddCopy(const SummaryElement& element, int copyMode);
    SummaryElement& GetAt(std::size_t index) const { return static_cast<SummaryElement&>(Get(index)); }
};

} // namespace vq
