#pragma once

#include "monitor/MonitorAction.h"
#include "monitor/StatisticArray.h"
#include "monitor/StatisticElement.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vq {

// An action whose elements are statistics: the base of trends and alarms. Its element array is a
// StatisticArray from the start.
class MonitorStatistic : public MonitorAction {
    VQ_DECLARE_RUNTIME_CLASS(MonitorStatistic)

public:
    MonitorStatistic(const void* identifier, int32_t source, int32_t scope, int32_t target, int32_t dataType,
                     const TimeSpan& period, uint32_t repetitions);
    // The sub-action for one selection of a discrete parent.
    MonitorStatistic(const MonitorStatistic& parent, std::size_t selection);

    // A statistic over the action's period with the action's mode, evaluation and rate base; its
    // capacity comes when the action computes it.
    std::unique_ptr<StatisticElement> NewElement() const;
    // One statistic for all selections, or the template of one per key value seen when a
    // selection leaves a part open.
    virtual bool AddDefaultElement();
    // One sub-action with its own statistic per selection; with one selection the same as
    // AddDefaultElement.
    virtual bool AddDiscreteElements();

    SelectionValue GetSelectionValue(int32_t index) const override { return SelectionValueAt(index); }
    std::unique_ptr<MonitorActionElement>
    CreateElement(const MonitorActionElement& templateElement) const override;
    // A statistic takes no past data: its counts start when it is attached.
    void AttachTraffic(DataSet&, const Traffic&) override {}
    // Periodic counts start from zero again; cumulative ones go on.
    void AfterUpdate() override { Reset(false); }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

    // A reply over the action's statistics: the elements of a merged action, one per sub-action of
    // a discrete one. `args` follow the identifier and the elements in the reply's constructor.
    template <typename Reply, typename... Args> std::unique_ptr<Reply> MakeReply(Args&&... args) const {
        if (m_SelectionType == SELECTION_DISCRETE && m_SubAction)
            return std::make_unique<Reply>(m_Identifier, *m_SubAction, std::forward<Args>(args)...);
        return std::make_unique<Reply>(m_Identifier, m_Data.get(), std::forward<Args>(args)...);
    }
    // The message takes the reply to the reply thread; a refused send frees both.
    template <typename Message> bool SendReply(std::unique_ptr<MonitorDataReply> reply) const {
        auto message = std::make_unique<Message>(reply.get(), false, true);
        reply.release();
        if (!message->Send(m_ReplyThread)) return false;
        // The receiving thread owns the message now.
        message.release();
        return true;
    }
};

} // namespace vq
