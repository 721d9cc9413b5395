#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/thread/ThreadId.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace vq {

class ThreadMessagePool;
class ThreadObject;

// Base of every message that threads exchange. A sender allocates one and sends it to a thread;
// the receiving handler accepts it (Receive), acts, answers when asked (Complete) and deletes it
// when Complete says so. Every live message is registered in the engine's ThreadMessagePool,
// except the fixed reports, which are shared by all threads and never deleted.
class ThreadMessage : public Object {
    VQ_DECLARE_RUNTIME_CLASS(ThreadMessage)

public:
    enum State : std::uint32_t {
        STATE_UNKNOWN = 0,
        STATE_CREATED = 1,
        STATE_SENT = 2,
        STATE_RECEIVED = 3,
        STATE_REPLIED = 4,
        STATE_READY = 5,
        STATE_DESTROYING = 6,
        STATE_DESTROYED = 7,
        STATE_POOL_DTOR = 8,
        // The next thread that receives the object deletes it unread.
        STATE_DELETE_ON_RECEIPT = 9,
    };

    // Throws std::bad_alloc when the object cannot be registered.
    ThreadMessage(std::uint32_t messageId, bool wantsReply, bool receiverDeletes);
    ~ThreadMessage() override;
    ThreadMessage& operator=(const ThreadMessage&) = delete;

    virtual bool Send(ThreadObject* thread);
    virtual bool PostVia(ThreadObject* via, ThreadObject* destination);
    virtual bool Receive(std::uint32_t newState = 0);
    virtual bool Reply(ThreadMessage* answer);
    virtual std::string Describe() const;
    // Builds the answer (a copy made by the answer constructor) and sends it with Reply; a class
    // without answers sends none.
    virtual bool SendReply();
    virtual const char* GetClassName() const;
    virtual bool IsTraceEnabled() const;
    using TraceSink = void (*)(const std::string& line);
    virtual TraceSink GetTraceSink() const;

    bool SendToThread(ThreadId thread);
    // The end of every handler: answers when an answer is wanted and none was sent; tells the
    // handler whether to delete the object.
    bool Complete();

    void SetState(std::uint32_t state) { m_State.store(state, std::memory_order_relaxed); }
    std::uint32_t GetState() const { return m_State.load(std::memory_order_relaxed); }
    std::uint32_t GetSerialId() const { return m_SerialId; }
    bool GetWantsReply() const { return m_WantsReply; }
    bool GetReceiverDeletes() const { return m_ReceiverDeletes; }
    ThreadId GetOriginator() const { return m_Originator.load(std::memory_order_relaxed); }
    ThreadId GetDestination() const { return m_Destination.load(std::memory_order_relaxed); }
    ThreadId GetSender() const { return m_Sender.load(std::memory_order_relaxed); }
    std::uint32_t GetMessageId() const { return m_MessageId; }
    bool GetReplied() const { return m_Replied; }
    bool IsFixed() const { return m_Fixed; }

    static const char* GetStateName(std::uint32_t state);

    // The switch of ThreadMessage itself; every class's trace also needs its own switch.
    static std::atomic<bool> s_TraceEnabled;

protected:
    // The answer constructor: same serial and id, addressed back to the request's sender.
    ThreadMessage(const ThreadMessage& request);

    struct FixedTag {};
    // A message that stays outside the pool and is never deleted. Sending and receiving it write
    // none of its fields, so any number of threads may send it at once.
    ThreadMessage(FixedTag, std::uint32_t messageId);

    bool TraceEnabledWith(bool classSwitch) const;

private:
    friend class ThreadMessagePool;

    bool Post(ThreadId thread);

    std::uint32_t m_SerialId;
    bool m_WantsReply;
    bool m_ReceiverDeletes;
    std::atomic<ThreadId> m_Originator;
    std::atomic<ThreadId> m_Destination;
    std::uint32_t m_MessageId;
    // Written by the pool (SetAllStates, exit) while another thread may hold the object.
    std::atomic<std::uint32_t> m_State;
    std::atomic<ThreadId> m_Sender;
    bool m_Replied = false;
    const bool m_Fixed = false;

    // The pool's list, guarded by its lock.
    ThreadMessagePool* m_Pool = nullptr;
    ThreadMessage* m_PoolPrev = nullptr;
    ThreadMessage* m_PoolNext = nullptr;
};

} // namespace vq
