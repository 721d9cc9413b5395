#include "runtime/ThreadMessage.h"

#include "platform/core/Format.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MessageIds.h"
#include "runtime/SystemText.h"
#include "runtime/ThreadObject.h"

#include <new>

namespace vq {
namespace {

void DiscardTrace(const std::string&) {}

// While the program shuts down or the application closes, no message moves any more; the first
// refusal makes the shutdown switch stick for every thread.
bool Refused() {
    EngineGlobals& engine = Engine();
    if (!engine.m_State.m_ShuttingDown) {
        ThreadObject* main = engine.m_ThreadPool.GetMainThread();
        if (!main || !main->IsClosing()) return false;
    }
    engine.m_State.m_ShuttingDown = 1;
    return true;
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(ThreadMessage, Object)

std::atomic<bool> ThreadMessage::s_TraceEnabled{true};

ThreadMessage::ThreadMessage(std::uint32_t messageId, bool wantsReply, bool receiverDeletes)
    : m_SerialId(Engine().m_MessagePool.NextSerialId()), m_WantsReply(wantsReply),
      m_ReceiverDeletes(receiverDeletes), m_Originator(CurrentThreadId()), m_Destination(0),
      m_MessageId(messageId), m_State(STATE_CREATED), m_Sender(CurrentThreadId()) {
    Engine().m_MessagePool.Add(this);
}

ThreadMessage::ThreadMessage(const ThreadMessage& request)
    : Object(), m_SerialId(request.m_SerialId), m_WantsReply(false), m_ReceiverDeletes(true),
      m_Originator(CurrentThreadId()), m_Destination(request.GetSender()), m_MessageId(request.m_MessageId),
      m_State(STATE_CREATED), m_Sender(request.GetDestination()) {
    Engine().m_MessagePool.Add(this);
}

ThreadMessage::ThreadMessage(FixedTag, std::uint32_t messageId)
    : m_SerialId(0), m_WantsReply(false), m_ReceiverDeletes(false), m_Originator(CurrentThreadId()),
      m_Destination(0), m_MessageId(messageId), m_State(STATE_CREATED), m_Sender(CurrentThreadId()),
      m_Fixed(true) {}

ThreadMessage::~ThreadMessage() {
    if (m_Pool && GetState() != STATE_POOL_DTOR) m_Pool->Remove(this);
    SetState(STATE_DESTROYED);
}

bool ThreadMessage::Send(ThreadObject* thread) {
    if (Refused()) return false;
    if (!thread) return false;
    const ThreadId target = thread->GetThreadId();
    if (m_Fixed) return Post(target);

    if (GetDestination() == 0) m_Destination.store(target, std::memory_order_relaxed);
    if (IsTraceEnabled())
        GetTraceSink()(Format("-- %s -- being sent to thread %lu (0x%0X)\n", GetClassName(),
                              static_cast<unsigned long>(GetDestination()), GetDestination()));

    const ThreadId self = CurrentThreadId();
    const std::uint32_t state = GetState();
    if (GetOriginator() == GetDestination()) {
        if (state == STATE_CREATED || state == STATE_READY)
            SetState(STATE_SENT);
        else if (state == STATE_RECEIVED)
            SetState(STATE_REPLIED);
        else
            SetState(STATE_UNKNOWN);
    } else {
        SetState(self == GetOriginator() ? STATE_SENT : STATE_REPLIED);
    }
    m_Sender.store(self, std::memory_order_relaxed);
    return Post(target);
}

bool ThreadMessage::PostVia(ThreadObject* via, ThreadObject* destination) {
    if (!via || !destination) return false;
    m_Destination.store(destination->GetThreadId(), std::memory_order_relaxed);
    return Post(via->GetThreadId());
}

bool ThreadMessage::Receive(std::uint32_t newState) {
    if (Refused()) {
        if (!m_Fixed) SetState(STATE_POOL_DTOR);
        return false;
    }
    if (m_Fixed) return true;

    const std::uint32_t state = GetState();
    if (state == STATE_DELETE_ON_RECEIPT) {
        delete this;
        return false;
    }
    const ThreadId self = CurrentThreadId();
    if (state == STATE_CREATED) {
        m_Originator.store(self, std::memory_order_relaxed);
        SendToThread(GetDestination());
        return false;
    }
    if (newState == 0) {
        if (GetOriginator() == GetDestination())
            newState = state == STATE_SENT ? STATE_RECEIVED : STATE_READY;
        else if (self == GetOriginator())
            newState = STATE_READY;
        else
            newState = m_ReceiverDeletes ? STATE_DESTROYING : STATE_RECEIVED;
    }
    SetState(newState);
    return true;
}

bool ThreadMessage::Reply(ThreadMessage* answer) {
    m_Replied = answer && answer->SendToThread(GetSender());
    if (!m_Replied) delete answer;
    return m_Replied;
}

std::string ThreadMessage::Describe() const {
    return Format("%s [id=%d] orig=%d sender=%d dest=%d state=%s recvdel=%s", GetMessageIdName(m_MessageId),
                  int(m_SerialId), int(GetOriginator()), int(GetSender()), int(GetDestination()),
                  GetStateName(GetState()), BoolText(m_ReceiverDeletes));
}

bool ThreadMessage::SendReply() {
    return false;
}

const char* ThreadMessage::GetClassName() const {
    return "ThreadMessage";
}

bool ThreadMessage::IsTraceEnabled() const {
    return TraceEnabledWith(s_TraceEnabled.load());
}

ThreadMessage::TraceSink ThreadMessage::GetTraceSink() const {
    return &DiscardTrace;
}

bool ThreadMessage::TraceEnabledWith(bool classSwitch) const {
    return classSwitch && s_TraceEnabled.load() && !Engine().m_State.m_TraceSuppressed;
}

bool ThreadMessage::SendToThread(ThreadId thread) {
    return Send(Engine().m_ThreadPool.FindThread(thread));
}

bool ThreadMessage::Complete() {
    if (m_WantsReply && !m_Replied) SendReply();
    return m_ReceiverDeletes;
}

const char* ThreadMessage::GetStateName(std::uint32_t state) {
    static const char* const names[] = {"STATE_UNKNOWN",    "STATE_CREATED",   "STATE_SENT",
                                        "STATE_RECEIVED",   "STATE_REPLIED",   "STATE_READY",
                                        "STATE_DESTROYING", "STATE_DESTROYED", "STATE_POOL_DTOR"};
    return state < std::size(names) ? names[state] : "invalid";
}

bool ThreadMessage::Post(ThreadId thread) {
    return PostThreadMessage(thread, m_MessageId, 0, reinterpret_cast<std::intptr_t>(this));
}

} // namespace vq
