#pragma once

#include "netmodel/Environment.h"
#include "netmodel/Traffic.h"
#include "runtime/MemberDescription.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <string>

namespace vq {

class ActiveDataSet;
class ThreadObject;
class VQ_Thread;

// One closed interval for the history recorder: its conversations on private copies of every tuple,
// host, address and interface they refer to, plus every interface of the model it came from. It
// shares no object with that model, so it may travel to another thread and outlive the model's
// contents.
class DatabaseCheckpoint : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(DatabaseCheckpoint)

public:
    // The owner is the thread object that asked for checkpoints (0 before it asked).
    DatabaseCheckpoint(std::uintptr_t owner, const Traffic* closed, const Timestamp& endTime,
                       const TimeSpan& length, const Environment& source);
    // Imports the other's contents again: nothing is shared with it either.
    DatabaseCheckpoint(const DatabaseCheckpoint& other);
    // Takes the other's owner and adds its interfaces and conversations to these.
    DatabaseCheckpoint& operator=(const DatabaseCheckpoint& other);

    std::uintptr_t GetIdentifier() const { return m_Identifier; }
    // Empty: the default history database.
    const std::string& GetName() const { return m_Name; }
    Environment& GetEnvironment() { return m_Environment; }
    const Environment& GetEnvironment() const { return m_Environment; }
    const Timestamp& GetEndTime() const { return m_EndTime; }
    const TimeSpan& GetLength() const { return m_Length; }
    const Traffic& GetTraffic() const { return m_Traffic; }

    static MemberTable Members();

protected:
    MemberTable DescribedMembers() const override { return Members(); }

private:
    // One import of the source's interfaces and of the conversations with what they refer to.
    void Import(const Traffic* traffic, const InterfaceTable& interfaces);

    std::uintptr_t m_Identifier;
    std::string m_Name;
    // Before the traffic: the conversations refer to its tuples, so they must go first.
    Environment m_Environment;
    Timestamp m_EndTime;
    TimeSpan m_Length;
    Traffic m_Traffic;
};

// The end of a live interval: builds the checkpoint of the data set's current interval (ending at
// the ring's end time) from the live model and sends it to the history thread. Without a history
// thread, or when the send is refused, the checkpoint is freed. Answers whether it was sent; out of
// memory goes to the handler's thread exception handler, with nothing left behind.
bool SendCheckpoint(std::uintptr_t owner, const ActiveDataSet& dataSet, const Environment& live,
                    ThreadObject* history, VQ_Thread& handler);

} // namespace vq
