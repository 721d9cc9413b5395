#pragma once

#include "monitor/DataSet.h"
#include "monitor/HistoryMessages.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace vq {

// A data set rebuilt from the history database for one request. It is made on the history thread
// and then belongs to whoever took it out of the reply.
class HistoryDataSet : public DataSet {
public:
    // Sets the times of the ring's slots from the stored time line, oldest first; answers how many.
    using RingFiller = std::function<int32_t(HistoryBuffer& ring)>;

    // No ring, null times: the data of a reply that found nothing.
    HistoryDataSet();
    // A full ring over the range (less one 5-minute interval) laid out from `from`, its slot times
    // set by the filler; with none set, the first slot's time is null. Fails with std::bad_alloc
    // when the range holds fewer than two intervals.
    HistoryDataSet(const DatabaseRequest& request, const TimeSpan& interval, const Timestamp& firstTime,
                   const Timestamp& lastTime, const Timestamp& from, const Timestamp& to,
                   const RingFiller& fill, const TrafficStoreFactory& factory = {});

    HistoryBuffer* GetRing() const override { return m_Ring.get(); }

    const DatabaseRequest& GetRequest() const { return m_Request; }
    // The first and last times the database held when the set was read.
    const Timestamp& GetFirstTime() const { return m_FirstTime; }
    const Timestamp& GetLastTime() const { return m_LastTime; }

private:
    DatabaseRequest m_Request;
    std::unique_ptr<HistoryBuffer> m_Ring;
    Timestamp m_FirstTime;
    Timestamp m_LastTime;
};

} // namespace vq
