#pragma once

#include "monitor/MonitorActionArray.h"
#include "monitor/MonitorActionElement.h"
#include "monitor/MonitorData.h"
#include "monitor/MonitorDataCriteria.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace vq {

class CaptureAdapters;
class HostAddress;
class MonitorActionPool;
class Conversation;
class Traffic;
class FrameView;
class ThreadObject;
class Tuple;

// What a selection holds for one key part: the host for the two host parts, the number for the
// others. Nothing (no host, 0) where the part or the selection is missing.
struct SelectionValue {
    const HostAddress* host = nullptr;
    uint32_t number = 0;

    bool operator==(const SelectionValue&) const = default;
};

// A standing request installed on the monitor thread: it watches the traffic of the tuples its
// criteria cover, evaluates it every period and sends the result to the thread that asked. The
// kinds supply the elements, the evaluation details and the replies.
class MonitorAction : public MonitorData {
    VQ_DECLARE_RUNTIME_CLASS(MonitorAction)

public:
    enum SelectionType : int32_t { SELECTION_UNSET = 0, SELECTION_MERGED = 1, SELECTION_DISCRETE = 2 };
    using ActionSet = std::vector<std::unique_ptr<MonitorAction>>;

    MonitorAction(const void* identifier, int32_t source, int32_t scope, int32_t target, int32_t dataType,
                  const TimeSpan& period, uint32_t repetitions);
    // The sub-action for one selection of a discrete parent: its request data, its exceptions, a
    // copy of that selection and its evaluation settings.
    MonitorAction(const MonitorAction& parent, std::size_t selection);
    ~MonitorAction() override;

    bool Start(DataSet* dataSet) override;
    // Leaves the pool it was installed in, and with it every tuple, then deletes the action.
    void Uninstall() override;
    virtual bool Matches(const Tuple& tuple) const { return m_Criteria.Matches(tuple); }
    // Evaluates when due; the last repetition uninstalls the action, after which nothing of it may
    // be touched.
    virtual bool OnTick(const Timestamp& now);
    // One frame counted on a watched tuple, with the conversation it was counted in: to the element
    // of its tuple, made on demand for dynamic actions, or to every element.
    virtual void OnData(const FrameView& frame, const Conversation& item);
    virtual void OnConversation(const Conversation& conversation);
    virtual void SetAdapters(const CaptureAdapters& adapters);
    virtual void AddSelection(std::unique_ptr<Tuple> tuple);
    virtual void AddException(std::unique_ptr<Tuple> tuple);
    // What the selector of element `index` holds for the action's key part; the kinds whose
    // elements filter by it answer, the others give nothing.
    virtual SelectionValue GetSelectionValue(int32_t) const { return {}; }
    virtual void NextPeriod() { m_UpdateTime.Add(m_Period); }
    // Takes the data the target names (and the ring, for sources with one) and sends the first
    // reply. History data is taken inside one import of the live model.
    virtual bool AttachDataSet(DataSet& dataSet);
    // A cumulative action starts from what was counted before it: on the live data set the
    // conversations of the tuples it watches, on history data those whose tuple, imported into the
    // live model, it matches.
    virtual void AttachTraffic(DataSet& dataSet, const Traffic& traffic);
    virtual void AttachRing(DataSet&) {}
    // Bytes the watched links carry in one period of whole seconds.
    virtual void ComputeCapacity(const CaptureAdapters& adapters);
    virtual bool BindElement(std::unique_ptr<MonitorActionElement> element);
    virtual bool BuildElements(std::unique_ptr<MonitorActionElement> templateElement);
    virtual void BeforeTick() {}
    virtual void Evaluate();
    virtual bool SendUpdate() = 0;
    virtual void AfterUpdate() {}
    virtual bool SendInitialize() = 0;
    // The first part the tuple keys on but leaves open; 0 when it gives every part.
    virtual int32_t GetWildcardKey(const Tuple& tuple) const;
    virtual std::unique_ptr<MonitorAction> Clone(std::size_t selection) const = 0;
    virtual std::unique_ptr<MonitorActionElement>
    CreateElement(const MonitorActionElement& templateElement) const = 0;
    // One element per value of the wildcard part.
    virtual MonitorActionElement* CreateElementFor(const Tuple& tuple);
    virtual bool Reset(bool force);
    virtual bool IsReady() const;

    void SetEvaluation(int32_t mode, int32_t evaluation, double rateBase);
    // A merged action with one element keys on what that element's tuple keys on, unless it has a
    // key already.
    void TakeElementKey();
    void SetReplyThread(ThreadObject* thread) { m_ReplyThread = thread; }
    // Set by the pool that installs the action, cleared when it lets go of it.
    void SetPool(MonitorActionPool* pool) { m_Pool = pool; }
    MonitorDataItemDisplay& GetItemDisplay() { return m_ItemDisplay; }

    ThreadObject* GetReplyThread() const { return m_ReplyThread; }
    int32_t GetSelectionType() const { return m_SelectionType; }
    const MonitorDataCriteria& GetCriteria() const { return m_Criteria; }
    const MonitorAction* GetParent() const { return m_Parent; }
    MonitorActionArray* GetData() const { return m_Data.get(); }
    MonitorActionElement* GetTemplateElement() const { return m_TemplateDataElement.get(); }
    bool IsDynamic() const { return m_DynamicDataArray; }
    int32_t GetWildcardKey() const { return m_WildcardKey; }
    double GetCapacity() const { return m_Capacity; }
    std::size_t GetSubActionCount() const { return m_SubAction ? m_SubAction->size() : 0; }
    MonitorAction* GetSubAction(std::size_t index) const { return (*m_SubAction)[index].get(); }
    std::size_t CountElements() const;
    int32_t CountItems() const;

    static const char* SelectionTypeName(int32_t type);
    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }
    // The selector of element `index` read for the action's key part.
    SelectionValue SelectionValueAt(int32_t index) const;

    ThreadObject* m_ReplyThread = nullptr;
    MonitorActionPool* m_Pool = nullptr;
    int32_t m_SelectionType = SELECTION_UNSET;
    MonitorDataCriteria m_Criteria;
    std::unique_ptr<ActionSet> m_SubAction;
    const MonitorAction* m_Parent = nullptr;
    std::unique_ptr<MonitorActionArray> m_Data;
    int32_t m_ElementsBound = 0;
    bool m_DynamicDataArray = false;
    std::unique_ptr<MonitorActionElement> m_TemplateDataElement;
    int32_t m_WildcardKey = 0;
    int32_t m_Key = 0;
    double m_Capacity = 0.0;
    int32_t m_StatisticMode = 0;
    int32_t m_Evaluation = 0;
    double m_RateBase = 1000.0;
    MonitorDataItemDisplay m_ItemDisplay;

private:
    MonitorActionArray& Data();
    ActionEvaluation EvaluationSettings() const;
    void TrimSubActions(const Timestamp& now);
};

} // namespace vq
