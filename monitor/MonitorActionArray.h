#pragma once

#include "monitor/MonitorActionElement.h"
#include "monitor/MonitorData.h"
#include "runtime/MemberDescription.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vq {

class Conversation;
class FrameView;
class Tuple;

// The elements of one action, which it owns.
class MonitorActionArray : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorActionArray)

public:
    // Whether the elements were bound to the selections (fixed) or are made per value seen.
    enum Mode : int32_t { MODE_UNSET = 0, MODE_FIXED = 1, MODE_VARIABLE = 2 };

    // Drops elements by the display: a dynamic array drops whole elements (never below the
    // minimum; elements without a time always), a fixed one lets each element trim its items.
    // Answers how many went.
    int32_t ApplyDisplay(const MonitorDataItemDisplay& display, bool dynamic, const Timestamp& now);
    int32_t CountItems() const;

    void OnConversation(const Conversation& conversation);
    void OnData(const FrameView& frame, const Conversation& item);
    void Evaluate();
    void Reset();
    void SetCapacity(double capacity);
    void SetEvaluation(const ActionEvaluation& evaluation);

    // Gives the element the next index and its selector, and appends it.
    MonitorActionElement& Add(std::unique_ptr<MonitorActionElement> element, Tuple* tuple, int copyMode);
    // The first element whose selector agrees with the tuple on the selector's own key bits.
    MonitorActionElement* FindBySelector(const Tuple& tuple) const;
    void DeleteAll() { m_Elements.clear(); }

    std::size_t GetSize() const { return m_Elements.size(); }
    MonitorActionElement& Get(std::size_t index) const { return *m_Elements[index]; }
    int32_t GetMode() const { return m_Mode; }
    void SetMode(int32_t mode) { m_Mode = mode; }
    static const char* ModeName(int32_t mode);

    // The mode and the size, then each element after its index; nothing follows the last element.
    std::string DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const override;

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    void Reindex();

    int32_t m_Mode = MODE_UNSET;
    std::vector<std::unique_ptr<MonitorActionElement>> m_Elements;
};

} // namespace vq
