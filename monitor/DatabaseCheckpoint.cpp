#include "monitor/DatabaseCheckpoint.h"

#include "monitor/ActiveDataSet.h"
#include "monitor/HistoryMessages.h"
#include "netmodel/InterfaceInfo.h"
#include "runtime/VQ_Thread.h"

#include <memory>
#include <new>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(DatabaseCheckpoint, Describable)

namespace {

std::string FormatIdentifier(const Object& object, uint32_t, int) {
    const std::uintptr_t owner = static_cast<const DatabaseCheckpoint&>(object).GetIdentifier();
    return FormatMember(reinterpret_cast<const void*>(owner), "$%p");
}

} // namespace

DatabaseCheckpoint::DatabaseCheckpoint(std::uintptr_t owner, const Traffic* closed, const Timestamp& endTime,
                                       const TimeSpan& length, const Environment& source)
    : m_Identifier(owner), m_Environment(uint8_t(0)), m_EndTime(endTime), m_Length(length), m_Traffic(1) {
    Import(closed, source.GetInterfaceTable());
}

DatabaseCheckpoint::DatabaseCheckpoint(const DatabaseCheckpoint& other)
    : Describable(), m_Identifier(other.m_Identifier), m_Name(other.m_Name), m_Environment(uint8_t(0)),
      m_EndTime(other.m_EndTime), m_Length(other.m_Length), m_Traffic(1) {
    Import(&other.m_Traffic, other.m_Environment.GetInterfaceTable());
}

DatabaseCheckpoint& DatabaseCheckpoint::operator=(const DatabaseCheckpoint& other) {
    if (this == &other) return *this;
    m_Identifier = other.m_Identifier;
    Import(&other.m_Traffic, other.m_Environment.GetInterfaceTable());
    return *this;
}

MemberTable DatabaseCheckpoint::Members() {
    static constexpr MemberRow rows[] = {{"m_Identifier", "ID", 10, &FormatIdentifier}};
    return {Class(), rows};
}

void DatabaseCheckpoint::Import(const Traffic* traffic, const InterfaceTable& interfaces) {
    m_Environment.BeginImport();
    try {
        // Imported rather than copied: a copy would share the source's interface hosts.
        for (int i = 0; i < interfaces.GetCount(); ++i) {
            const InterfaceInfo* interface = interfaces.GetAt(i);
            if (interface == nullptr) continue;
            if (m_Environment.GetInterfaceTable().FindExact(interface->GetNumber(), interface->GetName()))
                continue;
            m_Environment.ImportInterface(*interface);
        }
        if (traffic) m_Environment.ImportTraffic(*traffic, m_Traffic, 0);
    } catch (...) {
        m_Environment.EndImport();
        throw;
    }
    m_Environment.EndImport();
}

bool SendCheckpoint(std::uintptr_t owner, const ActiveDataSet& dataSet, const Environment& live,
                    ThreadObject* history, VQ_Thread& handler) {
    try {
        const HistoryBuffer& ring = *dataSet.GetRing();
        const IntervalData* closed = dataSet.GetCurrent();
        const TrafficStore* store = closed ? closed->GetTraffic() : nullptr;
        auto message = std::make_unique<HistoryCheckpointUpdateMessage>(
            std::make_unique<DatabaseCheckpoint>(owner, store ? store->GetConversations() : nullptr,
                                                 ring.GetEndTime(), ring.GetInterval(), live),
            false, true);
        // A refused send leaves the message, and with it the checkpoint, to be freed here.
        if (!history || !message->Send(history)) return false;
        message.release();
        return true;
    } catch (const std::bad_alloc&) {
        handler.ExceptionHandler(std::current_exception());
        return false;
    }
}

} // namespace vq
