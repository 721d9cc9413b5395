#include "monitor/MonitorAction.h"

#include "monitor/CaptureAdapters.h"
#include "monitor/LiveTraffic.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorActionSet.h"
#include "monitor/MonitorGlobals.h"
#include "netmodel/Conversation.h"
#include "netmodel/Environment.h"
#include "netmodel/HostAddress.h"
#include "netmodel/SafeObject.h"
#include "netmodel/Traffic.h"
#include "netmodel/Tuple.h"

#include <new>
#include <optional>
#include <set>
#include <vector>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(MonitorAction, MonitorData)

namespace {

Environment& LiveModel() {
    return *TheMonitorGlobals().m_Environment;
}

// A side the tuple keys on is open when it has no valid host or only an IP network address.
bool IsHostOpen(const HostAddress* host) {
    return host == nullptr || host->GetValidVector() == 0 || host->IsIpNetworkAddress();
}

} // namespace

MonitorAction::MonitorAction(const void* identifier, int32_t source, int32_t scope, int32_t target,
                             int32_t dataType, const TimeSpan& period, uint32_t repetitions)
    : MonitorData(identifier, source, scope, target, dataType, period, repetitions, std::string()) {}

MonitorAction::MonitorAction(const MonitorAction& parent, std::size_t selection)
    : MonitorData(parent), m_ReplyThread(parent.m_ReplyThread), m_SelectionType(SELECTION_MERGED),
      m_Parent(&parent), m_Capacity(parent.m_Capacity), m_StatisticMode(parent.m_StatisticMode),
      m_Evaluation(parent.m_Evaluation), m_RateBase(parent.m_RateBase), m_ItemDisplay(parent.m_ItemDisplay) {
    const TupleSet& exceptions = parent.m_Criteria.GetExceptions();
    for (std::size_t i = 0; i < exceptions.GetSize(); ++i) {
        const Tuple& exception = exceptions.Get(i);
        m_Criteria.AddException(std::make_unique<Tuple>(exception, DeepCopy, exception.GetLive()));
    }
    const Tuple& chosen = parent.m_Criteria.GetSelections().Get(selection);
    AddSelection(std::make_unique<Tuple>(chosen, DeepCopy, chosen.GetLive()));
}

MonitorAction::~MonitorAction() = default;

MonitorActionArray& MonitorAction::Data() {
    if (!m_Data) m_Data = std::make_unique<MonitorActionArray>();
    return *m_Data;
}

ActionEvaluation MonitorAction::EvaluationSettings() const {
    return {m_Period, m_StatisticMode, m_Evaluation, m_RateBase};
}

bool MonitorAction::Start(DataSet* dataSet) {
    if (dataSet) {
        AttachDataSet(*dataSet);
        return true;
    }
    if (m_Source == SOURCE_LIVE || m_Source == SOURCE_LIVE_RING) {
        Monitor* monitor = TheMonitorGlobals().m_Monitor.load();
        if (monitor && monitor->GetDataSet()) AttachDataSet(*monitor->GetDataSet());
        return true;
    }
    if (m_Source != SOURCE_HISTORY) return true;
    // The action waits for its history; the answer starts it again with the data.
    if (Monitor* monitor = TheMonitorGlobals().m_Monitor.load()) monitor->GetHistoryMap().Request(*this);
    return false;
}

void MonitorAction::Uninstall() {
    if (m_Pool) m_Pool->Remove(*this);
    delete this;
}

bool MonitorAction::AttachDataSet(DataSet& dataSet) {
    const TrafficStore* traffic = nullptr;
    switch (m_Target) {
    case TARGET_NONE:
        return false;
    case TARGET_TOTAL:
    case TARGET_CURRENT:
        traffic = dataSet.GetTotal().GetTraffic();
        break;
    case TARGET_LATEST:
        if (const IntervalData* current = dataSet.GetCurrent()) traffic = current->GetTraffic();
        break;
    default:
        break;
    }
    const Traffic* conversations = traffic ? traffic->GetConversations() : nullptr;
    const bool withRing = m_Source == SOURCE_LIVE_RING || m_Source == SOURCE_HISTORY;
    {
        // History data refers to another model: everything it attaches is imported in one go.
        std::optional<LiveImport> import;
        if (m_Source == SOURCE_HISTORY) import.emplace(LiveModel());
        if (conversations) AttachTraffic(dataSet, *conversations);
        if (withRing) AttachRing(dataSet);
    }
    return SendInitialize();
}

void MonitorAction::AttachTraffic(DataSet& dataSet, const Traffic& traffic) {
    if (m_DataType != DATA_CUMULATIVE) return;
    if (m_SubAction)
        for (auto& sub : *m_SubAction)
            sub->AttachTraffic(dataSet, traffic);
    std::size_t position = 0;
    if (dataSet.GetKind() == DataSet::KIND_LIVE) {
        while (const Conversation* conversation = traffic.GetNextConversation(position))
            if (const Tuple* tuple = conversation->GetTuple();
                tuple && MonitorActionSets::IsWatchedBy(*tuple, *this))
                OnConversation(*conversation);
        return;
    }
    Environment& live = LiveModel();
    const LiveImport import(live);
    while (const Conversation* conversation = traffic.GetNextConversation(position)) {
        if (!conversation->GetTuple()) continue;
        Tuple* imported = live.ImportTuple(*conversation->GetTuple(), 0);
        if (!imported || !Matches(*imported)) continue;
        Conversation copy(imported);
        copy.SetTraffic(conversation->GetTraffic());
        OnConversation(copy);
    }
}

bool MonitorAction::OnTick(const Timestamp& now) {
    BeforeTick();
    if (now.GetTicks() < m_UpdateTime.GetTicks()) return true;
    Evaluate();
    SendUpdate();
    AfterUpdate();
    if (m_Repetitions > 0 && --m_Repetitions == 0) {
        Uninstall();
        return true;
    }
    NextPeriod();
    return true;
}

void MonitorAction::OnData(const FrameView& frame, const Conversation& item) {
    try {
        if (!m_Data && !m_DynamicDataArray) return;
        const Tuple* tuple = item.GetTuple();
        if (m_DynamicDataArray && tuple) {
            MonitorActionElement* element = Data().FindBySelector(*tuple);
            if (!element) element = CreateElementFor(*tuple);
            if (element) element->OnData(frame, item);
        } else {
            m_Data->OnData(frame, item);
        }
    } catch (const std::bad_alloc&) {
    }
}

void MonitorAction::OnConversation(const Conversation& conversation) {
    const Tuple* tuple = conversation.GetTuple();
    if (m_DynamicDataArray && tuple) {
        MonitorActionElement* element = Data().FindBySelector(*tuple);
        if (!element) element = CreateElementFor(*tuple);
        if (element) element->OnConversation(conversation);
    } else if (m_Data) {
        m_Data->OnConversation(conversation);
    }
}

void MonitorAction::SetAdapters(const CaptureAdapters& adapters) {
    if (m_SubAction)
        for (auto& sub : *m_SubAction)
            sub->SetAdapters(adapters);
    const ActionEvaluation settings = EvaluationSettings();
    if (m_TemplateDataElement) m_TemplateDataElement->SetEvaluation(settings);
    if (m_Data) m_Data->SetEvaluation(settings);
    ComputeCapacity(adapters);
}

void MonitorAction::AddSelection(std::unique_ptr<Tuple> tuple) {
    m_WildcardKey = GetWildcardKey(*tuple);
    m_DynamicDataArray = m_WildcardKey != 0;
    m_Criteria.AddSelection(std::move(tuple));
}

void MonitorAction::AddException(std::unique_ptr<Tuple> tuple) {
    m_Criteria.AddException(std::move(tuple));
}

int32_t MonitorAction::GetWildcardKey(const Tuple& tuple) const {
    const int32_t key = tuple.GetKey();
    if ((key & KEY_Source) && IsHostOpen(tuple.GetSource())) return KEY_Source;
    if ((key & KEY_Destination) && IsHostOpen(tuple.GetDestination())) return KEY_Destination;
    if ((key & KEY_Interface) && tuple.GetInterface() == NoInterface) return KEY_Interface;
    for (int32_t bit = KEY_DataLinkProtocol; bit <= KEY_ReferenceSession; bit <<= 1)
        if ((key & bit) && tuple.GetKeyValue(bit) == 0) return bit;
    return 0;
}

void MonitorAction::ComputeCapacity(const CaptureAdapters& adapters) {
    std::set<int> interfaces;
    const TupleSet& selections = m_Criteria.GetSelections();
    for (std::size_t i = 0; i < selections.GetSize(); ++i)
        if (const uint16_t number = selections.Get(i).GetInterface(); number != NoInterface)
            interfaces.insert(number);
    // Link speeds are 64-bit and so is their sum: capacities above 4.3 Gbit/s stay whole.
    uint64_t speed = 0;
    for (int index = 0; index < adapters.GetAdapterCount(); ++index)
        if (interfaces.empty() || interfaces.contains(index)) speed += adapters.GetLinkSpeed(index);
    const int64_t seconds = m_Period.GetTicks() / TicksPerUnit(Unit::Seconds);
    m_Capacity = seconds > 0 ? double(speed) * double(seconds) / 8.0 : 0.0;
    if (m_TemplateDataElement) m_TemplateDataElement->SetCapacity(m_Capacity);
    if (m_Data) m_Data->SetCapacity(m_Capacity);
}

bool MonitorAction::BindElement(std::unique_ptr<MonitorActionElement> element) {
    const TupleSet& selections = m_Criteria.GetSelections();
    if (selections.IsEmpty()) return false;
    if (m_DynamicDataArray) {
        m_TemplateDataElement = std::move(element);
    } else {
        Tuple& selection =
            selections.Get(std::min<std::size_t>(std::size_t(m_ElementsBound), selections.GetSize() - 1));
        Data().Add(std::move(element), &selection, PointerAssignment);
        m_Data->SetMode(MonitorActionArray::MODE_FIXED);
    }
    m_SelectionType = SELECTION_MERGED;
    ++m_ElementsBound;
    return true;
}

bool MonitorAction::BuildElements(std::unique_ptr<MonitorActionElement> templateElement) {
    const std::size_t count = m_Criteria.GetSelections().GetSize();
    if (count == 0) return false;
    if (count == 1) return BindElement(std::move(templateElement));
    auto subActions = std::make_unique<ActionSet>();
    bool bound = true;
    for (std::size_t i = 0; i < count && bound; ++i) {
        std::unique_ptr<MonitorAction> sub = Clone(i);
        bound = sub->BindElement(CreateElement(*templateElement));
        subActions->push_back(std::move(sub));
    }
    m_SubAction = std::move(subActions);
    m_SelectionType = SELECTION_DISCRETE;
    return bound;
}

MonitorActionElement* MonitorAction::CreateElementFor(const Tuple& tuple) {
    if (!m_TemplateDataElement) return nullptr;
    std::unique_ptr<MonitorActionElement> element = CreateElement(*m_TemplateDataElement);
    Tuple key(tuple, ShallowCopy, tuple.GetLive());
    key.SetKey(m_WildcardKey);
    MonitorActionElement& added = Data().Add(std::move(element), &key, ShallowCopy);
    m_Data->SetMode(MonitorActionArray::MODE_VARIABLE);
    return &added;
}

void MonitorAction::Evaluate() {
    const Timestamp now = Timestamp::Now();
    if (m_SelectionType == SELECTION_DISCRETE) {
        TrimSubActions(now);
        if (m_SubAction)
            for (auto& sub : *m_SubAction)
                if (sub->m_Data) sub->m_Data->Evaluate();
        return;
    }
    if (!m_Data) return;
    m_Data->ApplyDisplay(m_ItemDisplay, m_DynamicDataArray, now);
    m_Data->Evaluate();
}

// Sub-actions whose elements are all trimmed away go; the parent stays installed.
void MonitorAction::TrimSubActions(const Timestamp& now) {
    if (!m_SubAction) return;
    const bool ageLimit = m_ItemDisplay.GetMaxAge().GetTicks() > 0;
    const bool countLimit = m_ItemDisplay.GetMaxCount() != -1;
    const int32_t bound = int32_t(m_SubAction->size()) - m_ItemDisplay.GetMinCount();
    if ((!ageLimit && !countLimit) || bound <= 0) return;

    int32_t removed = 0;
    auto pass = [&](const MonitorDataItemDisplay& display) {
        int32_t minimum = m_ItemDisplay.GetMinCount();
        for (auto it = m_SubAction->begin(); it != m_SubAction->end() && removed < bound;) {
            MonitorActionArray* array = (*it)->m_Data.get();
            MonitorDataItemDisplay limits(display.GetMaxAge(), std::max(minimum, 0), display.GetMaxCount());
            if (array) {
                removed += array->ApplyDisplay(limits, true, now);
                minimum -= array->CountItems();
            }
            if (!array || array->GetSize() == 0) {
                // The tuples' sets must not keep pointing at the sub-action about to go.
                MonitorActionSets::DetachFromEnvironment(**it, LiveModel());
                it = m_SubAction->erase(it);
            } else {
                ++it;
            }
        }
    };
    if (ageLimit) pass(MonitorDataItemDisplay(m_ItemDisplay.GetMaxAge(), 0, -1));
    if (countLimit && removed < bound && m_ItemDisplay.GetMaxCount() < CountItems())
        pass(MonitorDataItemDisplay(TimeSpan(), 0, m_ItemDisplay.GetMaxCount()));
}

bool MonitorAction::Reset(bool force) {
    if (m_DataType == DATA_CUMULATIVE && !force) return false;
    const MonitorDataItemDisplay dropAll(TimeSpan(1), 0, -1);
    const Timestamp now = Timestamp::Now();
    auto reset = [&](MonitorAction& action) {
        if (!action.m_Data) return;
        if (action.m_DynamicDataArray) action.m_Data->ApplyDisplay(dropAll, true, now);
        action.m_Data->Reset();
    };
    if (m_SubAction)
        for (auto& sub : *m_SubAction)
            reset(*sub);
    else
        reset(*this);
    return true;
}

bool MonitorAction::IsReady() const {
    if (m_SelectionType == SELECTION_UNSET || m_Criteria.GetSelections().IsEmpty()) return false;
    return m_SelectionType == SELECTION_MERGED || m_SubAction != nullptr;
}

void MonitorAction::TakeElementKey() {
    if (m_Key != 0 || m_SelectionType != SELECTION_MERGED || !m_Data || m_Data->GetSize() != 1) return;
    if (const Tuple* selector = m_Data->Get(0).GetSelector()) m_Key = selector->GetKey();
}

SelectionValue MonitorAction::SelectionValueAt(int32_t index) const {
    if (!m_Data || index < 0 || std::size_t(index) >= m_Data->GetSize()) return {};
    const Tuple* selector = m_Data->Get(std::size_t(index)).GetSelector();
    if (!selector) return {};
    if (m_Key == KEY_Source || m_Key == KEY_Destination) return {selector->GetKeyHost(m_Key), 0};
    return {nullptr, selector->GetKeyValue(m_Key)};
}

void MonitorAction::SetEvaluation(int32_t mode, int32_t evaluation, double rateBase) {
    m_StatisticMode = mode;
    m_Evaluation = evaluation;
    m_RateBase = rateBase;
    const ActionEvaluation settings = EvaluationSettings();
    if (m_TemplateDataElement) m_TemplateDataElement->SetEvaluation(settings);
    if (m_Data) m_Data->SetEvaluation(settings);
}

std::size_t MonitorAction::CountElements() const {
    if (!m_SubAction) return m_Data ? m_Data->GetSize() : 0;
    std::size_t count = 0;
    for (const auto& sub : *m_SubAction)
        count += sub->CountElements();
    return count;
}

int32_t MonitorAction::CountItems() const {
    if (!m_SubAction) return m_Data ? m_Data->CountItems() : 0;
    int32_t count = 0;
    for (const auto& sub : *m_SubAction)
        count += sub->CountItems();
    return count;
}

const char* MonitorAction::SelectionTypeName(int32_t type) {
    switch (type) {
    case SELECTION_UNSET:
        return "SELECTION_UNSET";
    case SELECTION_MERGED:
        return "SELECTION_MERGED";
    case SELECTION_DISCRETE:
        return "SELECTION_DISCRETE";
    default:
        return "selection?";
    }
}

MemberTable MonitorAction::Members() {
    static constexpr auto action = [](const Object& object) -> const MonitorAction& {
        return static_cast<const MonitorAction&>(object);
    };
    static constexpr MemberRow own[] = {
        {"m_SelectionType", "SelType", 19,
         [](const Object& object, uint32_t, int) -> std::string {
             return SelectionTypeName(action(object).m_SelectionType);
         }},
        {"m_ReplyThread", "ReplyThr", 10,
         [](const Object& object, uint32_t, int) {
             return FormatMember(static_cast<const void*>(action(object).m_ReplyThread), "$%p");
         }},
        {"m_SubAction", "SubAction", 10,
         [](const Object& object, uint32_t, int) {
             return FormatMember(static_cast<const void*>(action(object).m_SubAction.get()), "$%p");
         }},
        {"m_WildcardKey", "WildKey", 8,
         [](const Object& object, uint32_t, int) {
             return FormatMember(int(action(object).m_WildcardKey), "%d");
         }},
        {"m_Key", "Key", 8,
         [](const Object& object, uint32_t, int) { return FormatMember(int(action(object).m_Key), "%d"); }},
        {"m_Capacity", "Capacty", 8,
         [](const Object& object, uint32_t, int) { return FormatMember(action(object).m_Capacity, "%g"); }},
        {"m_Criteria", "Criteria", 35,
         [](const Object& object, uint32_t flags, int depth) {
             return FormatMember(&action(object).m_Criteria, flags, depth);
         }},
        {"m_DynamicDataArray", "dynamic?", 8,
         [](const Object& object, uint32_t, int) {
             return FormatMember(action(object).m_DynamicDataArray, nullptr);
         }},
        {"m_TemplateDataElement", "TemplDataEl", 12,
         [](const Object& object, uint32_t, int) {
             return FormatMember(static_cast<const void*>(action(object).m_TemplateDataElement.get()), "$%p");
         }},
        {"m_Data", "DataPtr", 10,
         [](const Object& object, uint32_t, int) {
             return FormatMember(static_cast<const void*>(action(object).m_Data.get()), "$%p");
         }},
    };
    // The request's rows come first, as every action is a request too.
    return {Class(), own, &MonitorData::Members};
}

} // namespace vq
