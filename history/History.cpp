#include "history/History.h"

#include "history/HistoryThreadMessages.h"
#include "history/HistoryTrafficStore.h"
#include "monitor/DatabaseCheckpoint.h"
#include "monitor/HistoryDataSet.h"
#include "monitor/HistoryMessages.h"
#include "runtime/MessageIds.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/TimeUnits.h"

#include <new>

namespace vq::history {
namespace {

void Report(const char* method, const std::string& text) {
    PostNotification(2, 0, text.c_str(), "History", method, nullptr, nullptr, -1);
}

TrafficStoreFactory ConversationStores() {
    return [](int32_t kind) { return std::make_unique<HistoryTrafficStore>(kind); };
}

} // namespace

History::History(std::string databasePath, int32_t flags)
    : HistoryService(std::move(databasePath), flags), m_Creator(CurrentThreadId()) {
    m_Databases.SetDefaultName(GetDatabasePath());
}

History::~History() = default;

int History::OpenFlagsFor(int32_t flags) {
    int open = (flags & HISTORY_CREATE) != 0 ? OPEN_READ | OPEN_CREATE : OPEN_READ;
    if ((flags & HISTORY_READONLY) == 0) open |= OPEN_WRITE;
    if ((flags & HISTORY_LOAD_MASK) != 0) open |= OPEN_LOAD;
    return open;
}

bool History::OpenDefaultDatabase() {
    return m_Databases.Open(std::string(), OpenFlagsFor(GetFlags())) != nullptr;
}

bool History::CloseAllDatabases() {
    return m_Databases.CloseAll();
}

bool History::ReopenDatabases() {
    return CloseAllDatabases() && OpenDefaultDatabase();
}

bool History::InitInstance() {
    try {
        CreateWindowAndTimers();
        m_TickTimer->Enable();
        m_TickTimer->SetDefaultPeriod(TimeSpan(10, Unit::Seconds));
        m_TickTimer->Start(TimeSpan());
        // Enabled for the memory guard's use; nothing here starts it.
        m_MemoryTimer->Enable();
        if (!OpenDefaultDatabase()) {
            Report("InitInstance",
                   GetDatabasePath() + ": the history thread ends, its database cannot be opened");
            return false;
        }
        auto* install = new HistoryCheckpointRequestMessage(this);
        if (!install->SendToThread(m_Creator)) delete install;
    } catch (const std::bad_alloc&) {
        Report("InitInstance", "out of memory: the history thread ends");
        return false;
    }
    return HistoryService::InitInstance();
}

int History::ExitInstance() {
    CloseAllDatabases();
    return HistoryService::ExitInstance();
}

// A low memory level never pauses anything here, so both only do what the base does.
bool History::CompactHeap() {
    HistoryService::CompactHeap();
    return true;
}

bool History::ResetMemoryLevel() {
    HistoryService::ResetMemoryLevel();
    return true;
}

void History::OnThreadMessage(const QueueEntry& entry) {
    switch (entry.message) {
    case WM_History_Start:
    case WM_History_Stop:
    case WM_History_Pause:
    case WM_History_Unpause:
    case WM_History_Reset:
    case WM_History_Restart:
    case WM_Checkpoint_Update:
    case WM_Database_Request:
    case WM_Database_Cancel:
    case WM_Database_Log:
        break;
    default:
        return;
    }
    auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
    if (message == nullptr || !message->Receive()) return;
    try {
        Handle(entry.message, *message);
    } catch (const std::bad_alloc&) {
        ExceptionHandler(std::current_exception());
    }
    if (message->Complete()) delete message;
}

void History::Handle(std::uint32_t id, ThreadMessage& message) {
    switch (id) {
    case WM_History_Start:
        OpenDefaultDatabase();
        break;
    case WM_History_Stop:
        CloseAllDatabases();
        break;
    case WM_History_Restart:
        ReopenDatabases();
        break;
    case WM_Checkpoint_Update:
        if (auto* update = dynamic_cast<HistoryCheckpointUpdateMessage*>(&message)) {
            if (DatabaseCheckpoint* checkpoint = update->GetCheckpoint())
                m_Databases.WriteCheckpoint(checkpoint->GetName(),
                                            {checkpoint->GetEndTime(), checkpoint->GetLength(),
                                             checkpoint->GetEnvironment(), checkpoint->GetTraffic()});
        }
        break;
    case WM_Database_Request:
        if (auto* request = dynamic_cast<HistoryDatabaseRequestMessage*>(&message)) {
            if (request->GetRequest() != nullptr) Answer(message, *request->GetRequest());
        }
        break;
    case WM_Database_Log:
        if (auto* mark = dynamic_cast<HistoryDatabaseLogMessage*>(&message))
            m_Databases.WriteLogMark(mark->GetTime(), std::string());
        break;
    default:
        break;
    }
}

void History::Answer(ThreadMessage& message, const DatabaseRequest& request) {
    std::unique_ptr<DatabaseReply> reply;
    try {
        reply = BuildReply(request);
    } catch (const std::bad_alloc&) {
        Report("Answer", "out of memory answering a history request");
    }
    if (!reply) {
        // Whoever waits for this answer stops waiting: a failed reply serves as an empty one.
        reply = std::make_unique<DatabaseReply>(request.m_Identifier, std::make_unique<HistoryDataSet>(),
                                                std::make_unique<Environment>(uint8_t(0)));
        reply->SetFailed(true);
    }
    auto* answer = new HistoryDatabaseReplyMessage(std::move(reply), false, true);
    if (!answer->SendToThread(message.GetSender())) delete answer;
}

std::unique_ptr<DatabaseReply> History::BuildReply(const DatabaseRequest& request) {
    std::unique_ptr<HistoryQueryData> data =
        m_Databases.Query(request.m_DatabaseName, request.m_From, request.m_To);
    if (!data) return nullptr;
    auto fill = [&data](HistoryBuffer& ring) {
        int32_t set = 0;
        for (int32_t i = 0; i < ring.GetCount() && i < data->GetCount(); ++i) {
            ring.GetSlot(i)->SetTime(data->m_SlotTimes[size_t(i)]);
            set += data->m_SlotTimes[size_t(i)] != NULL_TIME;
        }
        return set;
    };
    auto dataSet =
        std::make_unique<HistoryDataSet>(request, data->m_Interval, data->m_FirstTime, data->m_LastTime,
                                         data->m_Start, data->m_End, fill, ConversationStores());
    HistoryBuffer& ring = *dataSet->GetRing();
    for (int32_t i = 0; i < ring.GetCount() && i < data->GetCount(); ++i)
        ring.GetSlot(i)->GetTraffic()->GetConversations()->CopyFrom(*data->m_Slots[size_t(i)]);
    dataSet->GetTotal().GetTraffic()->GetConversations()->CopyFrom(*data->m_Total);
    return std::make_unique<DatabaseReply>(request.m_Identifier, std::move(dataSet),
                                           std::move(data->m_Environment));
}

std::unique_ptr<HistoryService> MakeHistory(const std::string& path, int32_t flags) {
    return std::make_unique<History>(path, flags);
}

} // namespace vq::history
