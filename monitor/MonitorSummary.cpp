#include "monitor/MonitorSummary.h"

#include "monitor/DataSet.h"
#include "monitor/IntervalData.h"
#include "monitor/IntervalSummary.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorGlobals.h"
#include "netmodel/Conversation.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Tuple.h"

#include <algorithm>
#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorSummaryReply, MonitorDataReply)
VQ_IMPLEMENT_RUNTIME_CLASS(MonitorSummary, MonitorAction)

namespace {

std::string FormatReplyTime(const Object& object, uint32_t, int) {
    return FormatMember(static_cast<const MonitorSummaryReply&>(object).GetTimeStamp(), TimeDumpFormat);
}

std::string FormatReplyElements(const Object& object, uint32_t flags, int depth) {
    return FormatMember(static_cast<const MonitorSummaryReply&>(object).GetArray(), flags, depth);
}

std::string FormatElements(const Object& object, uint32_t flags, int depth) {
    return FormatMember(static_cast<const MonitorSummary&>(object).GetData(), flags, depth);
}

DataSet* MonitorsLiveSet() {
    Monitor* monitor = TheMonitorGlobals().m_Monitor.load();
    return monitor ? monitor->GetDataSet() : nullptr;
}

const SummaryElement* FirstElementOrTemplate(const MonitorAction& sub) {
    const MonitorActionArray* elements = sub.GetData();
    if (elements && elements->GetSize() > 0) return &static_cast<const SummaryElement&>(elements->Get(0));
    return static_cast<const SummaryElement*>(sub.GetTemplateElement());
}

} // namespace

MonitorSummaryReply::MonitorSummaryReply(const void* identifier, const MonitorActionArray* elements,
                                         int32_t mode, const TimeRange& range)
    : MonitorDataReply(identifier, mode, range),
      m_Array(elements ? std::make_unique<SummaryArray>(*elements, DeepCopy)
                       : std::make_unique<SummaryArray>()) {}

MonitorSummaryReply::MonitorSummaryReply(const void* identifier, const MonitorAction::ActionSet& subActions,
                                         bool merge, int32_t mode, const TimeRange& range)
    : MonitorDataReply(identifier, mode, range) {
    if (subActions.empty()) return;
    m_Array = std::make_unique<SummaryArray>();
    SummaryElement* merged = nullptr;
    for (const auto& sub : subActions) {
        const SummaryElement* element = FirstElementOrTemplate(*sub);
        if (!element) continue;
        if (!merge)
            m_Array->AddCopy(*element, DeepCopy);
        else if (!merged)
            merged = &m_Array->AddCopy(*element, DeepCopy);
        else
            merged->AddItems(*element);
    }
}

MemberTable MonitorSummaryReply::Members() {
    static constexpr MemberRow rows[] = {
        {"m_TimeStamp", "Time", 10, &FormatReplyTime},
        {"SummaryArray*", "Array", 50, &FormatReplyElements},
    };
    return {Class(), rows, &MonitorDataReply::Members};
}

MonitorSummary::MonitorSummary(const void* identifier, int32_t source, int32_t scope, const TimeSpan& period,
                               uint32_t repetitions)
    : MonitorSummary(identifier, source, scope, period, repetitions,
                     TheMonitorGlobals().m_RingGeometry.Get()) {}

MonitorSummary::MonitorSummary(const void* identifier, int32_t source, int32_t scope, const TimeSpan& period,
                               uint32_t repetitions, const RingGeometry& geometry)
    : MonitorAction(identifier, source, scope, TARGET_LATEST, DATA_PERIODIC, period, repetitions),
      m_PeriodList(std::make_unique<SummaryList>()), m_IntervalLength(geometry.m_Interval),
      m_SlotCount(geometry.m_SlotCount) {
    m_Data = std::make_unique<SummaryArray>();
}

MonitorSummary::MonitorSummary(const MonitorSummary& parent, std::size_t selection)
    : MonitorAction(parent, selection), m_Depth(parent.m_Depth), m_IntervalLength(parent.m_IntervalLength),
      m_SlotCount(parent.m_SlotCount) {
    m_Data = std::make_unique<SummaryArray>();
}

MonitorSummary::~MonitorSummary() = default;

MemberTable MonitorSummary::Members() {
    static constexpr MemberRow rows[] = {{"SummaryArray*", "Array", 50, &FormatElements}};
    return {Class(), rows, &MonitorAction::Members};
}

void MonitorSummary::AddPeriod(const TimeSpan& span) {
    m_PeriodList->Add(SummaryItem(span, m_IntervalLength, m_SlotCount));
    m_Depth = std::max(m_Depth, int32_t(m_PeriodList->GetAt(m_PeriodList->GetCount() - 1).GetPeriod()));
}

std::unique_ptr<SummaryElement> MonitorSummary::NewElement() const {
    return std::make_unique<SummaryElement>(m_PeriodList ? *m_PeriodList : SummaryList());
}

bool MonitorSummary::AddDefaultElement() {
    m_MergeReply = m_Criteria.GetSelections().GetSize() > 1;
    if (m_MergeReply) return AddDiscreteElements();
    return BindElement(NewElement());
}

bool MonitorSummary::AddDiscreteElements() {
    return BuildElements(NewElement());
}

void MonitorSummary::NewInterval(const IntervalSummarySet& cache) {
    if (m_SelectionType == SELECTION_DISCRETE) {
        for (std::size_t i = 0; i < GetSubActionCount(); ++i)
            Sub(i).NewInterval(cache);
        return;
    }
    // Without its entry in the new interval (lost to a failed take-over) the action counts into no
    // cache rather than into an interval the ring will clear.
    if (m_CurrentSummary) m_CurrentSummary = cache.FindOwn(m_CurrentSummary->GetAction());
}

void MonitorSummary::Uninstall() {
    RemoveEntries();
    MonitorAction::Uninstall();
}

void MonitorSummary::RemoveEntries() {
    if (m_Ring) {
        const HistoryBuffer* ring = m_Ring->GetRing();
        for (int32_t i = 0; ring && i < ring->GetCount(); ++i)
            ring->GetSlot(i)->RemoveSummary(*this);
    }
    m_CurrentSummary = nullptr;
    for (std::size_t i = 0; i < GetSubActionCount(); ++i)
        Sub(i).m_CurrentSummary = nullptr;
}

void MonitorSummary::OnData(const FrameView& frame, const Conversation& item) {
    if (m_CurrentSummary) m_CurrentSummary->GetStatistic().TrafficData::AddPacket(frame, &item);
    MonitorAction::OnData(frame, item);
}

bool MonitorSummary::AttachDataSet(DataSet& dataSet) {
    if (m_Source == SOURCE_LIVE_RING || m_Source == SOURCE_HISTORY) AttachRing(dataSet);
    const bool sent = SendInitialize();
    if (m_Scope == SCOPE_TUPLES) {
        DataSet* live = m_Ring ? m_Ring : MonitorsLiveSet();
        if (const HistoryBuffer* ring = live ? live->GetRing() : nullptr) {
            m_UpdateTime = ring->GetEndTime();
            for (std::size_t i = 0; i < GetSubActionCount(); ++i)
                Sub(i).m_UpdateTime = ring->GetEndTime();
        }
    }
    return sent;
}

void MonitorSummary::AttachRing(DataSet& dataSet) {
    // Whatever data set the action was started with, its periods are built from the intervals of
    // the live ring.
    DataSet* live = dataSet.GetKind() == DataSet::KIND_LIVE ? &dataSet : MonitorsLiveSet();
    if (!live || !live->GetCurrent()) return;
    m_Ring = live;
    if (m_SelectionType == SELECTION_DISCRETE) {
        for (std::size_t i = 0; i < GetSubActionCount(); ++i)
            Sub(i).AttachRing(*live);
        return;
    }
    CollectHistory(*live);
}

void MonitorSummary::CollectHistory(DataSet& live) {
    const HistoryBuffer& ring = *live.GetRing();
    const int32_t lowest = -m_Depth;
    m_Depth = 0;

    SummaryElement* collector = nullptr;
    if (m_WildcardKey != 0) {
        const std::unique_ptr<Tuple> wildcard = Tuple::MakeWildcard(m_WildcardKey);
        collector = static_cast<SummaryElement*>(CreateElementFor(*wildcard));
    } else if (m_Data && m_Data->GetSize() > 0) {
        collector = &static_cast<SummaryElement&>(m_Data->Get(0));
    }

    const SummaryStatistic parameters = EntryParameters();
    m_CurrentSummary = &live.GetCurrent()->AddSummary(*this, parameters);
    if (collector) collector->GetList().CopyAll(m_CurrentSummary->GetStatistic(), true);

    // A full ring wraps back onto the current slot: the walk ends at the oldest one.
    const int32_t earlier = (ring.GetCurrent() - ring.GetOldest() + ring.GetCount()) % ring.GetCount();
    int32_t offset = -1;
    if (ring.GetOldest() != ring.GetCurrent() && lowest <= -1) {
        do {
            if (-offset > earlier) break;
            IntervalData* slot = live.GetFromCurrent(offset);
            if (!slot || slot->GetTime() == NULL_TIME) break;
            const IntervalSummary& entry = slot->AddSummary(*this, parameters);
            if (collector)
                for (SummaryItem& item : collector->GetList())
                    if (item.GetCounter() < item.GetPeriod() - 1) {
                        item.Add(entry.GetStatistic());
                        item.CountInterval();
                    }
            --offset;
        } while (offset >= lowest);
    }
    m_Depth = offset + 1;
}

void MonitorSummary::RollWindow() {
    DataSet* live = m_Ring ? m_Ring : MonitorsLiveSet();
    if (!live || !live->GetRing()) return;
    if (m_Data) {
        for (std::size_t e = 0; e < m_Data->GetSize(); ++e) {
            for (SummaryItem& item : static_cast<SummaryElement&>(m_Data->Get(e)).GetList()) {
                const int32_t k = 1 - int32_t(item.GetPeriod());
                if (k < m_Depth) continue;
                const IntervalData* slot = live->GetFromCurrent(k);
                if (const IntervalSummary* entry = slot ? slot->GetSummaries().Find(*this) : nullptr)
                    item.Subtract(entry->GetStatistic());
            }
        }
    }
    if (live->GetFromCurrent(m_Depth) != live->GetOldest()) --m_Depth;
}

void MonitorSummary::AfterUpdate() {
    if (m_SelectionType != SELECTION_DISCRETE) {
        RollWindow();
        return;
    }
    for (std::size_t i = 0; i < GetSubActionCount(); ++i)
        Sub(i).RollWindow();
}

SummaryStatistic MonitorSummary::EntryParameters() const {
    SummaryStatistic parameters(m_Period, m_StatisticMode, m_Evaluation, m_RateBase);
    parameters.SetCapacity(m_Capacity);
    return parameters;
}

std::unique_ptr<MonitorSummaryReply> MonitorSummary::MakeReply(int32_t mode, const TimeRange& range) const {
    std::unique_ptr<MonitorSummaryReply> reply =
        m_SelectionType == SELECTION_DISCRETE && m_SubAction
            ? std::make_unique<MonitorSummaryReply>(m_Identifier, *m_SubAction, m_MergeReply, mode, range)
            : std::make_unique<MonitorSummaryReply>(m_Identifier, m_Data.get(), mode, range);
    if (SummaryArray* array = reply->GetArray()) array->SetCapacity(m_Capacity);
    return reply;
}

template <typename Message> bool MonitorSummary::Send(std::unique_ptr<MonitorSummaryReply> reply) const {
    auto message = std::make_unique<Message>(reply.get(), false, true);
    reply.release();
    if (!message->Send(m_ReplyThread)) return false;
    // The receiving thread owns the message now.
    message.release();
    return true;
}

bool MonitorSummary::SendUpdate() {
    try {
        return Send<MonitorSummaryUpdateMessage>(MakeReply(MODE_UPDATE, TimeRange()));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool MonitorSummary::SendInitialize() {
    return Send<MonitorSummaryInitializeMessage>(MakeReply(MODE_INITIALIZE, m_ReplyRange));
}

std::unique_ptr<MonitorAction> MonitorSummary::Clone(std::size_t selection) const {
    return std::make_unique<MonitorSummary>(*this, selection);
}

std::unique_ptr<MonitorActionElement>
MonitorSummary::CreateElement(const MonitorActionElement& templateElement) const {
    return std::make_unique<SummaryElement>(static_cast<const SummaryElement&>(templateElement), ShallowCopy);
}

MonitorActionElement* MonitorSummary::CreateElementFor(const Tuple& tuple) {
    auto* element = static_cast<SummaryElement*>(MonitorAction::CreateElementFor(tuple));
    if (element) element->SetKey(m_WildcardKey);
    return element;
}

bool MonitorSummary::Reset(bool) {
    const int32_t depth = m_PeriodList ? int32_t(m_PeriodList->GetLargestPeriod()) : 0;
    m_Depth = depth;
    if (m_PeriodList) m_PeriodList->Reset();
    // The entries go first, so that attaching again leaves one entry per interval.
    RemoveEntries();
    if (m_SelectionType == SELECTION_DISCRETE) {
        for (std::size_t i = 0; i < GetSubActionCount(); ++i) {
            MonitorSummary& sub = Sub(i);
            if (sub.m_Data) sub.m_Data->Reset();
            sub.m_Depth = depth;
        }
    } else if (m_Data) {
        m_Data->Reset();
    }
    Start(nullptr);
    return true;
}

void StartSummaryInterval(MonitorActionPool& summaries, const IntervalData& current) {
    MonitorActionPool::Position position = summaries.Begin();
    while (MonitorAction* action = summaries.GetNext(position))
        static_cast<MonitorSummary*>(action)->NewInterval(current.GetSummaries());
}

} // namespace vq
