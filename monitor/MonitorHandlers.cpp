#include "monitor/HistoryMessages.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorActionPool.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorGlobals.h"
#include "runtime/EngineGlobals.h"
#include "runtime/GeneralThreadMessage.h"
#include "runtime/MessageIds.h"

#include <exception>
#include <memory>

namespace vq {
namespace {

// The live model's integrity check that a dump kind runs; 0 for none.
int ModelCheckOf(std::uintptr_t dumpKind) {
    switch (dumpKind) {
    case 3:
        return 1;
    case 4:
        return 3;
    case 6:
        return 5;
    default:
        return 0;
    }
}

// An option field: 0 clears the switch, 1 sets it, anything else leaves it alone.
void ApplyOption(std::atomic<uint8_t>& option, int32_t value) {
    if (value == 0 || value == 1) option = uint8_t(value);
}

MonitorActionPools& Pools() {
    return TheMonitorGlobals().m_Pools;
}

Environment& LiveEnvironment() {
    return *TheMonitorGlobals().m_Environment;
}

} // namespace

// The handler pattern for every message: accept, act, complete, delete when told. A message of
// another class under the id is accepted and completed without effect.
template <typename Message, typename Act>
void HandleMessage(VQ_Thread& thread, ThreadMessage& message, Act act) {
    if (!message.Receive()) return;
    if (auto* typed = dynamic_cast<Message*>(&message)) {
        try {
            act(*typed);
        } catch (...) {
            thread.ExceptionHandler(std::current_exception());
        }
    }
    if (message.Complete()) delete &message;
}

void Monitor::OnThreadMessage(const QueueEntry& entry) {
    auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
    if (!message) return;
    MonitorActionPools& pools = Pools();
    const auto install = [this, message](MonitorActionPool& pool) {
        MonitorAction* unowned = nullptr;
        HandleMessage<MonitorActionRequestMessage>(
            *this, *message, [&](MonitorActionRequestMessage& m) { unowned = OnActionInstall(m, pool); });
        if (unowned) unowned->Uninstall();
    };
    const auto cancel = [this, message](MonitorActionPool& pool) {
        HandleMessage<MonitorActionCancelMessage>(
            *this, *message, [&](MonitorActionCancelMessage& m) { OnActionCancel(m, pool); });
    };
    switch (entry.message) {
    case WM_General_Command:
    case WM_General_Reply:
    case WM_Trend_Update:
    case WM_Alarm_Triggered:
    case WM_Conversation_Update:
    case WM_Summary_Update:
        HandleMessage<ThreadMessage>(*this, *message, [](ThreadMessage&) {});
        break;
    case WM_General_Dump:
        HandleMessage<GeneralThreadMessage>(*this, *message, [this](auto& m) { OnGeneralDump(m); });
        break;
    case WM_Monitor_Start:
        HandleMessage<MonitorControlStartMessage>(*this, *message, [this](auto& m) { OnMonitorStart(m); });
        break;
    case WM_Monitor_Stop:
        HandleMessage<MonitorControlMessage>(*this, *message, [this](auto& m) { OnMonitorStop(m); });
        break;
    case WM_Monitor_Pause:
        HandleMessage<MonitorControlMessage>(*this, *message, [this](auto& m) { OnMonitorPause(m); });
        break;
    case WM_Monitor_Unpause:
        HandleMessage<MonitorControlMessage>(*this, *message, [this](auto& m) { OnMonitorUnpause(m); });
        break;
    case WM_Monitor_Reset:
        HandleMessage<MonitorControlResetMessage>(*this, *message, [this](auto& m) { OnMonitorReset(m); });
        break;
    case WM_Monitor_Restart:
        HandleMessage<MonitorControlMessage>(*this, *message, [this](auto& m) { OnMonitorRestart(m); });
        break;
    case WM_Monitor_Lookup:
        HandleMessage<MonitorControlLookupMessage>(*this, *message, [this](auto& m) { OnMonitorLookup(m); });
        break;
    case WM_Monitor_CaptureOn:
        HandleMessage<MonitorControlMessage>(*this, *message, [this](auto& m) { OnMonitorCaptureOn(m); });
        break;
    case WM_Monitor_CaptureOff:
        HandleMessage<MonitorControlMessage>(*this, *message, [this](auto& m) { OnMonitorCaptureOff(m); });
        break;
    case WM_State_Announce:
        HandleMessage<MonitorStateAnnounceMessage>(*this, *message, [this](auto& m) { OnStateAnnounce(m); });
        break;
    case WM_State_IntegrityCheck:
        HandleMessage<MonitorStateIntegrityCheckMessage>(*this, *message,
                                                         [this](auto& m) { OnStateIntegrityCheck(m); });
        break;
    case WM_Trend_Install:
        install(pools.Trends());
        break;
    case WM_Trend_Uninstall:
        cancel(pools.Trends());
        break;
    case WM_Alarm_Install:
        install(pools.Alarms());
        break;
    case WM_Alarm_Uninstall:
        cancel(pools.Alarms());
        break;
    case WM_Conversation_Install:
        install(pools.Conversations());
        break;
    case WM_Conversation_Uninstall:
        cancel(pools.Conversations());
        break;
    case WM_Summary_Install:
        install(pools.Summaries());
        break;
    case WM_Summary_Uninstall:
        cancel(pools.Summaries());
        break;
    case WM_Checkpoint_Install:
        HandleMessage<HistoryCheckpointRequestMessage>(*this, *message,
                                                       [this](auto& m) { OnCheckpointInstall(m); });
        break;
    case WM_Database_Reply:
        HandleMessage<HistoryDatabaseReplyMessage>(*this, *message, [this](auto& m) { OnDatabaseReply(m); });
        break;
    case WM_Database_Log:
        OnDatabaseLog(*message);
        break;
    default:
        break;
    }
}

// Kind 0 runs every check, then both dumps; 1 and 2 dump the message pool and the thread registry.
void Monitor::OnGeneralDump(GeneralThreadMessage& message) {
    EngineGlobals& engine = Engine();
    const std::uintptr_t kind = message.GetPayload();
    if (kind == 0) {
        for (const int check : {3, 5, 1})
            LiveEnvironment().CheckIntegrity(check, false);
        engine.m_MessagePool.TraceDump();
        engine.m_ThreadPool.TraceDump();
    } else if (kind == 1) {
        engine.m_MessagePool.TraceDump();
    } else if (kind == 2) {
        engine.m_ThreadPool.TraceDump();
    } else if (const int check = ModelCheckOf(kind)) {
        LiveEnvironment().CheckIntegrity(check, false);
    }
}

void Monitor::OnMonitorStart(MonitorControlStartMessage& message) {
    m_AdapterSet->Start(message.GetAdapters());
    if (message.GetWantsReply()) {
        auto answer = std::make_unique<MonitorControlStartMessage>(false, true);
        for (int index = 0; index < m_AdapterSet->GetAdapterCount(); ++index)
            if (m_AdapterSet->IsCapturing(index)) answer->AddAdapter(uint16_t(index));
        const HistoryBuffer& ring = *m_DataSet->GetRing();
        answer->SetGeometry(RingGeometry{ring.GetInterval(), ring.GetCount()});
        message.Reply(answer.release());
    }
    StartTick();
}

void Monitor::OnMonitorStop(MonitorControlMessage& message) {
    m_AdapterSet->Stop(message.GetAdapters());
    m_AdapterSet->AfterStop(message.GetAdapters());
}

void Monitor::OnMonitorPause(MonitorControlMessage& message) {
    m_AdapterSet->Pause(message.GetAdapters());
}

void Monitor::OnMonitorUnpause(MonitorControlMessage& message) {
    m_AdapterSet->Resume(message.GetAdapters());
}

// Alarms keep their data: only what displays show starts over.
void Monitor::OnMonitorReset(MonitorControlResetMessage& message) {
    const CaptureAdapters::List& adapters = message.GetAdapters();
    try {
        m_AdapterSet->Pause(adapters);
        m_AdapterSet->AfterStop(adapters);
        m_DataSet->Reset(uint32_t(message.GetFlags()));
        if (message.GetWantsReply()) message.SendReply();
        MonitorActionPools& pools = Pools();
        pools.Trends().ResetAll();
        pools.Conversations().ResetAll();
        pools.Summaries().ResetAll();
    } catch (...) {
        ExceptionHandler(std::current_exception());
    }
    m_AdapterSet->Resume(adapters);
}

// Every message still in flight is dropped unread, so no answer of a deleted action arrives after
// the restart's own answer.
void Monitor::OnMonitorRestart(MonitorControlMessage& message) {
    try {
        m_AdapterSet->Pause({});
        m_AdapterSet->AfterStop({});
        Engine().m_MessagePool.SetAllStates(ThreadMessage::STATE_DELETE_ON_RECEIPT);
        m_DataSet->Restart(MonitorControlResetMessage::kResetEverything);
        auto restart = std::make_unique<HistoryControlRestartMessage>(false, true);
        if (restart->Send(m_History.get())) restart.release();
        if (message.GetWantsReply()) message.SendReply();
        ForgetHistoryRequests();
        Pools().DeleteAll();
        // The deleted actions are still in the tuples' sets: the model's reset drops both.
        LiveEnvironment().Reset();
        CompactHeap();
    } catch (...) {
        ExceptionHandler(std::current_exception());
    }
    m_AdapterSet->Resume({});
}

void Monitor::OnMonitorLookup(MonitorControlLookupMessage& message) {
    LiveEnvironment().SetLookup(int(message.GetTableMask()), message.GetEnable());
}

void Monitor::OnMonitorCaptureOn(MonitorControlMessage& message) {
    m_AdapterSet->StartCapture(message.GetAdapters());
}

void Monitor::OnMonitorCaptureOff(MonitorControlMessage& message) {
    m_AdapterSet->StopCapture(message.GetAdapters());
}

// The first field and the third to seventh are the announce switches, the second the one kept
// apart.
void Monitor::OnStateAnnounce(MonitorStateAnnounceMessage& message) {
    GlobalState& state = Engine().m_State;
    ApplyOption(state.m_AnnounceOptions[0], message.GetOption(0));
    ApplyOption(state.m_AnnounceFlag, message.GetOption(1));
    for (std::size_t field = 2; field < MonitorStateAnnounceMessage::kOptionCount; ++field)
        ApplyOption(state.m_AnnounceOptions[field - 1], message.GetOption(field));
}

void Monitor::OnStateIntegrityCheck(MonitorStateIntegrityCheckMessage& message) {
    GlobalState& state = Engine().m_State;
    for (std::size_t field = 0; field < MonitorStateIntegrityCheckMessage::kOptionCount; ++field)
        ApplyOption(state.m_IntegrityOptions[field], message.GetOption(field));
}

// The action is the monitor's from here on: whatever fails, it ends in its pool or is answered for
// uninstalling, never left to nobody.
MonitorAction* Monitor::OnActionInstall(MonitorActionRequestMessage& message, MonitorActionPool& pool) {
    std::unique_ptr<MonitorAction> action = message.TakeAction();
    if (!action) return nullptr;
    MonitorAction& taken = *action;
    try {
        taken.SetAdapters(*m_AdapterSet);
    } catch (...) {
        ExceptionHandler(std::current_exception());
        return action.release();
    }
    try {
        pool.Add(std::move(action));
    } catch (...) {
        // The pool deleted the action it could not install.
        ExceptionHandler(std::current_exception());
        return nullptr;
    }
    try {
        taken.Start(nullptr);
    } catch (...) {
        ExceptionHandler(std::current_exception());
    }
    return taken.IsInstalled() ? nullptr : &taken;
}

void Monitor::OnActionCancel(MonitorActionCancelMessage& message, MonitorActionPool& pool) {
    if (MonitorAction* action = pool.Find(message.GetIdentifier())) action->Uninstall();
}

void Monitor::OnCheckpointInstall(HistoryCheckpointRequestMessage& message) {
    m_CheckpointOwner = reinterpret_cast<std::uintptr_t>(message.GetHistory());
}

void Monitor::OnDatabaseLog(ThreadMessage& message) {
    if (!message.Send(m_History.get()) && message.GetReceiverDeletes()) delete &message;
}

} // namespace vq
