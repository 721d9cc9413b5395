#pragma once

#include "monitor/MonitorAction.h"
#include "monitor/MonitorDataCriteria.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vq {

class ConversationElement;

// Breaks the traffic of one subject down by partner: each element keeps a list of items, each
// item the traffic with one partner host (or, keyed on anything but a host, one item per element).
class MonitorConversation : public MonitorAction {
    VQ_DECLARE_RUNTIME_CLASS(MonitorConversation)

public:
    enum Options : uint32_t { OPTION_BIDIRECTIONAL = 1 };

    MonitorConversation(const void* identifier, int32_t source, int32_t scope, int32_t target,
                        int32_t dataType, uint32_t options, const TimeSpan& period, uint32_t repetitions);
    // The sub-action for one selection of a discrete parent.
    MonitorConversation(const MonitorConversation& parent, std::size_t selection);
    ~MonitorConversation() override;

    // A bidirectional action also covers the tuples that run to its subject.
    bool Matches(const Tuple& tuple) const override;
    void AddSelection(std::unique_ptr<Tuple> tuple) override;
    // A cumulative action starts from what its tuples counted before, expired by its item display
    // before the first reply.
    void AttachTraffic(DataSet& dataSet, const Traffic& traffic) override;
    bool BindElement(std::unique_ptr<MonitorActionElement> element) override;
    bool SendUpdate() override;
    void AfterUpdate() override { Reset(false); }
    bool SendInitialize() override;
    std::unique_ptr<MonitorAction> Clone(std::size_t selection) const override;
    std::unique_ptr<MonitorActionElement>
    CreateElement(const MonitorActionElement& templateElement) const override;
    // Without force only a periodic action resets: it drops every partner not seen at this very
    // instant and zeroes the rest, so each update carries one period's partners.
    bool Reset(bool force) override;

    // One element fed by every selection.
    bool AddDefaultElement();
    // One element per selection; what the requesters call once their selections are added.
    bool AddDiscreteElements();

    bool IsBidirectional() const { return m_Bidirectional; }
    int32_t GetKeyKind() const { return m_Key; }
    const MonitorDataCriteria* GetReverseCriteria() const { return m_ReverseCriteria.get(); }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    template <typename Message> bool SendReply(int32_t mode, const TimeRange& range);
    const MonitorDataCriteria& ReverseCriteria() const;
    void DropSilentItems();

    bool m_Bidirectional;
    // Built on first use, from a const test.
    mutable std::unique_ptr<MonitorDataCriteria> m_ReverseCriteria;
};

} // namespace vq
