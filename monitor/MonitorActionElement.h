#pragma once

#include "monitor/MonitorData.h"
#include "runtime/MemberDescription.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>

namespace vq {

class Conversation;
class FrameView;
class Tuple;

// How the elements of an action turn counters into numbers.
struct ActionEvaluation {
    TimeSpan period;
    int32_t mode = 0;
    int32_t evaluation = 0;
    double rateBase = 1000.0;
};

// One result item of an action, standing for a tuple: shared with someone else, or a private copy
// that the element owns. The kinds add their data.
class MonitorActionElement : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(MonitorActionElement)

public:
    // Copy mode PointerAssignment (or no tuple) shares the tuple; any other makes a private copy.
    MonitorActionElement(Tuple* tuple, int copyMode);
    MonitorActionElement(const MonitorActionElement& other, int copyMode);
    MonitorActionElement& operator=(const MonitorActionElement&) = delete;
    virtual ~MonitorActionElement();

    void SetSelector(Tuple* tuple, int copyMode);
    Tuple* GetSelector() const { return m_Selector; }
    const Timestamp& GetTime() const { return m_Time; }
    void SetTime(const Timestamp& time) { m_Time = time; }

    virtual void SetIndex(int32_t) {}
    virtual void OnConversation(const Conversation& conversation) = 0;
    virtual void Evaluate() = 0;
    virtual void Reset() = 0;
    virtual void SetCapacity(double capacity) = 0;
    virtual void SetEvaluation(const ActionEvaluation& evaluation) = 0;
    // One frame counted on the element's tuple, with the conversation it was counted in.
    virtual void OnData(const FrameView&, const Conversation&) {}
    // Removes at most `limit` of its own items by the display; answers how many went.
    virtual int32_t Trim(const MonitorDataItemDisplay&, const Timestamp&, int32_t) { return 0; }
    virtual int32_t GetItemCount() const { return 1; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    void ReleaseSelector();

    Tuple* m_Selector = nullptr;
    bool m_OwnsSelector = false;
    Timestamp m_Time;
};

} // namespace vq
