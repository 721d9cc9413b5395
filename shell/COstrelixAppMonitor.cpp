// The application object's control of the monitor and its handling of the other threads' messages.
#include "capture/AdapterInfo.h"
#include "events/CEventHandler.h"
#include "events/LogDoc.h"
#include "events/NotificationJob.h"
#include "events/SystemEventInfo.h"
#include "config/CCfgDevice.h"
#include "config/CCfgNet.h"
#include "config/CCfgOstrelix.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/Monitor.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarmReply.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorGlobals.h"
#include "monitor/MonitorStateMessage.h"
#include "netmodel/HostAddress.h"
#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "platform/gui/DialogManager.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/MessageIds.h"
#include "runtime/NotificationThreadMessage.h"
#include "runtime/TimeUnits.h"
#include "shell/ActiveTestInfo.h"
#include "shell/ActiveTestManager.h"
#include "shell/ActiveTestResult.h"
#include "shell/CDisplayDoc.h"
#include "shell/CDlgTrace.h"
#include "shell/CDlg_AssignAdapter.h"
#include "shell/COstrelixApp.h"
#include "shell/COstrelixSystemDoc.h"
#include "shell/DeviceDoc.h"
#include "shell/FileNames.h"
#include "shell/MonitorOwnerRecord.h"
#include "shell/NetworkDoc.h"
#include "shell/ReportDoc.h"
#include "shell/ShellMessages.h"
#include "shell/TraceResult.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace vq {
namespace {

constexpr std::int64_t kMonitorDataMilliseconds = 28'800'000;
constexpr std::int32_t kHistoryOptions = 25;
constexpr int kAnnounceOptionsOn = 5;
constexpr std::uint32_t kAllAddressTables = 7;
constexpr int kImageBound = 1;
constexpr int kImageAbsent = 10;
constexpr int kAdapterSaveFailed = 800;

// System events of monitor control and address learning.
constexpr int kMonitorStarted = 493;
constexpr int kMonitorStartFailed = 494;
constexpr int kMacDeviceAdded = 411;
constexpr int kNewLocalDevice = 484;
constexpr int kNewIpDevice = 412;
constexpr int kNewIpxDevice = 413;
constexpr int kIpMisrouted = 414;
constexpr int kIpxMisrouted = 415;
constexpr int kDuplicateIp = 416;
constexpr int kDuplicateIpx = 417;

// Change bits of a learned host.
constexpr std::int32_t kMacBits = 0x03;
constexpr std::int32_t kIpBits = 0x0C;
constexpr std::int32_t kIpMisroutedBits = 0x04;
constexpr std::int32_t kIpDuplicateBits = 0x08;
constexpr std::int32_t kIpxBits = 0x30;
constexpr std::int32_t kIpxMisroutedBits = 0x10;
constexpr std::int32_t kIpxDuplicateBits = 0x20;
constexpr int kIpAddressType = 2;
constexpr int kIpxAddressType = 4;

// Accepts a thread message as its handler's; null when it is not one or may not be taken.
ThreadMessage* Accept(LPARAM message) {
    auto* taken = reinterpret_cast<ThreadMessage*>(message);
    return taken && taken->Receive() ? taken : nullptr;
}

void Finish(ThreadMessage* message) {
    if (message->Complete()) delete message;
}

// A report's value as the event handler takes it: toward zero, held within the integer's range.
int TruncateValue(double value) {
    if (std::isnan(value)) return 0;
    if (value >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(std::trunc(value));
}

const MonitorDataReply* ReplyOf(ThreadMessage& message) {
    if (auto* update = dynamic_cast<MonitorActionUpdateMessage*>(&message)) return update->GetReply();
    if (auto* initialize = dynamic_cast<MonitorActionInitializeMessage*>(&message))
        return initialize->GetReply();
    return nullptr;
}

} // namespace

VQ_BEGIN_MESSAGE_MAP(COstrelixApp, CWinApp)
VQ_ON_THREAD_MESSAGE(WM_General_Notify, OnGeneralNotify)
VQ_ON_THREAD_MESSAGE(WM_Monitor_Start, OnMonitorStartReply)
VQ_ON_THREAD_MESSAGE(WM_Monitor_Restart, OnMonitorRestartReply)
VQ_ON_THREAD_MESSAGE(WM_State_Adapters, OnStateAdapters)
VQ_ON_THREAD_MESSAGE(WM_State_Address, OnStateAddress)
VQ_ON_THREAD_MESSAGE(WM_Trend_Install, OnMisdirectedRequest)
VQ_ON_THREAD_MESSAGE(WM_Alarm_Install, OnMisdirectedRequest)
VQ_ON_THREAD_MESSAGE(WM_Conversation_Install, OnMisdirectedRequest)
VQ_ON_THREAD_MESSAGE(WM_Summary_Install, OnMisdirectedRequest)
VQ_ON_THREAD_MESSAGE(WM_Trend_Initialize, OnTrendInitialize)
VQ_ON_THREAD_MESSAGE(WM_Trend_Update, OnTrendUpdate)
VQ_ON_THREAD_MESSAGE(WM_Alarm_Initialize, OnAlarmInitialize)
VQ_ON_THREAD_MESSAGE(WM_Alarm_Triggered, OnAlarmTriggered)
VQ_ON_THREAD_MESSAGE(WM_Conversation_Initialize, OnConversationInitialize)
VQ_ON_THREAD_MESSAGE(WM_Conversation_Update, OnConversationUpdate)
VQ_ON_THREAD_MESSAGE(WM_Summary_Initialize, OnSummaryInitialize)
VQ_ON_THREAD_MESSAGE(WM_Summary_Update, OnSummaryUpdate)
VQ_ON_THREAD_MESSAGE(WM_LOG_SYSTEM_EVENT, OnSystemEvent)
VQ_ON_THREAD_MESSAGE(WM_REPORT_STEP, OnReportStep)
VQ_ON_THREAD_MESSAGE(WM_ACTIVETEST_RESULT, OnActiveTestResult)
VQ_ON_THREAD_MESSAGE(WM_ACTIVETEST_EVENT, OnActiveTestEvent)
VQ_ON_THREAD_MESSAGE(WM_ACTIVETEST_OPEN, OnActiveTestOpen)
VQ_ON_THREAD_MESSAGE(WM_ACTIVETEST_OPEN_SHORTCUT, OnActiveTestOpen)
VQ_ON_THREAD_MESSAGE(WM_TRACE_HOP, OnTraceHop)
VQ_ON_THREAD_MESSAGE(WM_TRACE_FINISHED, OnTraceFinished)
VQ_ON_THREAD_MESSAGE(WM_TRACE_FAILED, OnTraceFailed)
VQ_ON_THREAD_MESSAGE(WM_TRACE_HOP_ERROR, OnTraceHopError)
VQ_ON_THREAD_MESSAGE(WM_TRACE_CANCELLED, OnTraceCancelled)
VQ_ON_THREAD_MESSAGE(WM_LOG_NOTIFY, OnLogNotify)
VQ_END_MESSAGE_MAP()

BOOL COstrelixApp::DispatchThreadMessage(const MSG& msg) {
    if (CWinApp::DispatchThreadMessage(msg)) return TRUE;
    if (msg.message < kFirstThreadMessageId || msg.message > kLastThreadMessageId) return FALSE;
    if (ThreadMessage* taken = Accept(msg.lParam)) Finish(taken);
    return TRUE;
}

void COstrelixApp::RegisterMainThread() {
    if (Engine().m_ThreadPool.GetMainThread() != &m_ThreadObject) m_ThreadObject.Register();
}

void COstrelixApp::StartMonitor() {
    if (m_MonitorState == 1 || m_DataMonitorDisabled || m_MonitorCreated) return;
    RegisterMainThread();
    try {
        m_Monitor = std::make_unique<Monitor>(&m_ThreadObject,
                                              TimeSpan(kMonitorDataMilliseconds, Unit::Milliseconds));
        for (int option = 0; option < kAnnounceOptionsOn; ++option)
            Engine().m_State.m_AnnounceOptions[option] = 1;
        m_HistoryDatabasePath = MakeHistoryFilePath(m_HistoryFolder, m_HistoryName, m_HistoryRestart);
        m_Monitor->SetHistoryDatabase(m_HistoryDatabasePath, kHistoryOptions);
        // Set before the thread starts, which then reads it on its own.
        TheMonitorGlobals().m_Environment->GetHostTable().SetMacFilter(&m_MacFilter);
        m_MonitorCreated = StartWorkerThread(*m_Monitor);
    } catch (const std::exception&) {
        m_MonitorCreated = false;
    }
    if (!m_MonitorCreated) m_Monitor.reset();
    if (m_LogDoc) m_LogDoc->PostSystemEvent(m_MonitorCreated ? kMonitorStarted : kMonitorStartFailed, "");
}

void COstrelixApp::StopMonitor() {
    if (!m_Monitor) return;
    StopWorkerThread(m_Monitor);
    TheMonitorGlobals().m_Environment->GetHostTable().SetMacFilter(nullptr);
}

bool COstrelixApp::SuspendDisplayUpdates() {
    return std::exchange(m_RepliesBlocked, true);
}

void COstrelixApp::RestartMonitor() {
    SuspendDisplayUpdates();
    auto* restart = new MonitorControlRestartMessage(true, true);
    if (!m_Monitor || !restart->Send(m_Monitor.get())) delete restart;
    SendLookupSetting();
}

void COstrelixApp::SendLookupSetting() {
    if (!m_DisableDns) return;
    auto* lookup = new MonitorControlLookupMessage(false, kAllAddressTables, false, true);
    if (!m_Monitor || !lookup->Send(m_Monitor.get())) delete lookup;
}

void COstrelixApp::StartCapture() {
    if (!m_Root || !m_Root->GetCaptureEnabled()) {
        m_CaptureOn = false;
        return;
    }
    auto* start = new MonitorControlStartCaptureMessage(false, true);
    if (m_Monitor && start->Send(m_Monitor.get()))
        m_CaptureOn = true;
    else
        delete start;
}

void COstrelixApp::StopCapture() {
    if (!m_CaptureOn) return;
    auto* stop = new MonitorControlStopCaptureMessage(false, true);
    if (m_Monitor && stop->Send(m_Monitor.get()))
        m_CaptureOn = false;
    else
        delete stop;
}

bool COstrelixApp::StartActiveTests() {
    m_ActiveTestsRunning = false;
    if (!m_Root || m_Root->GetDisableActiveTest()) return false;
    m_ActiveTestManager = std::make_unique<ActiveTestManager>();
    if (!m_ActiveTestManager->CreateThread()) {
        m_ActiveTestManager.reset();
        return false;
    }
    const ThreadId manager = m_ActiveTestManager->GetThreadId();
    PostThreadMessage(manager, WM_ACTIVETEST_INIT, WPARAM(CurrentThreadId()), 0);
    m_ActiveTestsRunning = true;
    for (const auto& [name, device] : m_SystemDoc->m_DeviceMap) {
        const CCfgDevice* record = device->GetDevice();
        if (!record || !record->GetPerformTest()) continue;
        std::unique_ptr<ActiveTestInfo> test = ActiveTestInfo::ForDevice(*device);
        if (PostThreadMessage(manager, WM_ACTIVETEST_ADD, WPARAM(test.get()), 0)) test.release();
    }
    return true;
}

void COstrelixApp::StopActiveTests() {
    if (m_ActiveTestsRunning && m_ActiveTestManager) {
        PostThreadMessage(m_ActiveTestManager->GetThreadId(), WM_ACTIVETEST_STOP, 0, 0);
        // Workers ping the devices' records' addresses no more once this returns.
        m_ActiveTestManager->WaitUntilEnded();
    }
    m_ActiveTestsRunning = false;
}

void COstrelixApp::RefreshDisplaysAfterRestart() {
    m_RepliesBlocked = true;
    CDisplayDoc::ForEach([](CDisplayDoc& document) { document.ResetViews(); });
    m_RepliesBlocked = false;
}

bool COstrelixApp::BindNetworkAdapters(const AdapterInfoSet& adapters) {
    const auto& networks = m_SystemDoc->GetNetworks();
    if (networks.empty()) return false;
    bool allBound = true;
    for (const auto& network : networks) {
        bool bound = false;
        const std::string mac = network->GetAdapterAddress();
        if (mac.empty()) {
            network->SetAdapterIndex(-1);
            network->SetAdapterAddress("");
            if (!GetConfigStore().SaveNetwork(*network))
                FatalError(GetConfigStore().TakeLastError(), kAdapterSaveFailed);
        } else {
            for (int index = 0; index < adapters.GetSize() && !bound; ++index)
                if (adapters.GetAt(index)->FormatCurrentAddress() == mac) {
                    network->SetAdapterIndex(index);
                    bound = true;
                }
        }
        ExplorerInfo* info = m_SystemDoc->FindNetwork(network->GetName());
        if (info && !mac.empty()) info->m_Image = kImageBound;
        allBound = allBound && bound;
    }
    return allBound;
}

void COstrelixApp::SendStartMessage(const AdapterInfoSet& adapters) {
    auto* start = new MonitorControlStartMessage(true, true);
    bool added = false;
    for (const auto& network : m_SystemDoc->GetNetworks()) {
        const int index = network->GetAdapterIndex();
        const bool present = index >= 0 && index < adapters.GetSize();
        if (present) added = start->AddAdapter(std::uint16_t(index)) || added;
        if (ExplorerInfo* info = m_SystemDoc->FindNetwork(network->GetName()))
            info->m_Image = present ? kImageBound : kImageAbsent;
    }
    if (!added || !m_Monitor || !start->Send(m_Monitor.get())) delete start;
}

void COstrelixApp::OnStateAdapters(WPARAM, LPARAM message) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    auto* report = dynamic_cast<MonitorStateAdaptersMessage*>(taken);
    // A report that arrives while the user assigns adapters for the one before is only answered.
    if (!report || !m_FirstAdapterReport || m_AssigningAdapters) {
        if (taken != m_KeptAdapters.get()) Finish(taken);
        return;
    }
    if (report != m_KeptAdapters.get()) m_KeptAdapters.reset(report);
    const AdapterInfoSet& adapters = report->GetAdapters();
    if (!BindNetworkAdapters(adapters)) {
        CDlg_AssignAdapter dialog(adapters);
        if (!dialog.SettlesByItself()) {
            m_AssigningAdapters = true;
            const int answer = dialog.DoModal();
            m_AssigningAdapters = false;
            if (answer != IDOK) return;
        }
    }
    SendStartMessage(adapters);
    m_FirstAdapterReport = false;
    // Kept: completed, never deleted here.
    report->Complete();
}

void COstrelixApp::OnMonitorStartReply(WPARAM, LPARAM message) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    if (m_FirstStartReply) {
        m_MonitorState = 1;
        SendLookupSetting();
        StartEventHandler();
        StartDataLogging();
        CreateReportDoc();
        m_FirstStartReply = false;
    } else {
        SendLookupSetting();
    }
    Finish(taken);
}

void COstrelixApp::OnMonitorRestartReply(WPARAM, LPARAM message) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    RefreshDisplaysAfterRestart();
    Finish(taken);
}

void COstrelixApp::StartEventHandler() {
    if (m_MonitorState != 1 || m_EventHandlerRunning) return;
    m_EventHandlerRunning = true;
    m_EventHandler->ArmAll(m_Objects);
}

void COstrelixApp::StartDataLogging() {
    for (const auto& [name, network] : m_SystemDoc->m_NetworkMap)
        if (network->m_Kind == ExplorerInfo::kNetwork && network->GetNetwork() &&
            network->GetNetwork()->GetCsvLogging())
            m_ViewAdmin.StartNetworkLogging(network);
    for (const auto& [name, device] : m_SystemDoc->m_DeviceMap)
        if (device->m_Kind == ExplorerInfo::kDevice && device->GetDevice() &&
            device->GetDevice()->GetCsvLogging())
            m_ViewAdmin.StartDeviceLogging(device);
}

void COstrelixApp::CreateReportDoc() {
    m_ReportDoc = std::make_unique<ReportDoc>();
}

void COstrelixApp::OnStateAddress(WPARAM, LPARAM message) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    auto* address = dynamic_cast<MonitorStateAddressMessage*>(taken);
    if (address && m_Root) {
        const std::int32_t bits = address->GetChangeBits();
        const HostAddress& host = address->GetHost();
        const bool report = m_Root->GetReportNewAddresses();
        if ((bits & kMacBits) && host.HasMac()) {
            const std::string mac = address->GetMacAddress().GetText();
            const bool create = m_Root->GetCreateLocalDevices();
            const std::string className = m_Root->GetNewDeviceClass();
            if (!m_SystemDoc->IsAdapterAssigned(mac)) {
                if (create) {
                    if (m_SystemDoc->CreateMacDevice("MAC-" + mac, false, className))
                        LogSystemEvent(kMacDeviceAdded, mac);
                } else if (report) {
                    LogSystemEvent(kNewLocalDevice, mac);
                }
            }
            if (create && m_SystemDoc->CreateMacDevice("LOCAL MAC-" + mac, true, className))
                LogSystemEvent(kMacDeviceAdded, mac);
        }
        if (report && (bits & kIpBits) && host.HasIp()) {
            const std::string ip = address->GetIpAddress().GetText();
            const std::int32_t ipBits = bits & kIpBits;
            if (ipBits == kIpMisroutedBits)
                LogSystemEvent(kIpMisrouted, ip);
            else if (ipBits == kIpDuplicateBits)
                LogSystemEvent(kDuplicateIp, ip);
            else if (!m_SystemDoc->IsDeviceAddressKnown(kIpAddressType, ip))
                LogSystemEvent(kNewIpDevice, ip);
        }
        if (report && (bits & kIpxBits) && host.HasIpx()) {
            const std::string ipx = address->GetIpxAddress().GetText();
            const std::int32_t ipxBits = bits & kIpxBits;
            if (ipxBits == kIpxMisroutedBits)
                LogSystemEvent(kIpxMisrouted, ipx);
            else if (ipxBits == kIpxDuplicateBits)
                LogSystemEvent(kDuplicateIpx, ipx);
            else if (!m_SystemDoc->IsDeviceAddressKnown(kIpxAddressType, ipx))
                LogSystemEvent(kNewIpxDevice, ipx);
        }
    }
    Finish(taken);
}

void COstrelixApp::OnGeneralNotify(WPARAM, LPARAM message) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    if (auto* notice = dynamic_cast<NotificationThreadMessage*>(taken))
        std::fprintf(stderr, "%s\n", notice->Describe().c_str());
    Finish(taken);
}

void COstrelixApp::OnMisdirectedRequest(WPARAM, LPARAM message) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    PostNotification(3, 0, "Mishandled message that should be forwarded to the monitor", "COstrelixApp",
                     "OnMisdirectedRequest", nullptr, __FILE__, __LINE__);
    delete taken;
}

void COstrelixApp::PassReply(LPARAM message, ReplyTarget target,
                             void (CDisplayDoc::*operation)(const MonitorDataReply&, int key)) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    const MonitorDataReply* reply = ReplyOf(*taken);
    // The owner record and its document are found by identity before either is read.
    const MonitorOwnerRecord* owner =
        reply && !m_RepliesBlocked ? MonitorOwnerRecord::Find(reply->GetIdentifier()) : nullptr;
    if (owner && IsLiveDocument(owner->m_Document)) {
        CDisplayDoc* document = owner->m_Document;
        const bool fits = target == ReplyTarget::AnyDisplay || dynamic_cast<NetworkDoc*>(document) ||
                          dynamic_cast<DeviceDoc*>(document);
        if (fits) (document->*operation)(*reply, owner->m_Key);
    }
    Finish(taken);
}

void COstrelixApp::OnTrendInitialize(WPARAM, LPARAM message) {
    PassReply(message, ReplyTarget::AnyDisplay, &CDisplayDoc::OnTrendInitialize);
}

void COstrelixApp::OnTrendUpdate(WPARAM, LPARAM message) {
    PassReply(message, ReplyTarget::TrafficDisplay, &CDisplayDoc::OnTrendUpdate);
}

void COstrelixApp::OnConversationInitialize(WPARAM, LPARAM message) {
    PassReply(message, ReplyTarget::AnyDisplay, &CDisplayDoc::OnConversationInitialize);
}

void COstrelixApp::OnConversationUpdate(WPARAM, LPARAM message) {
    PassReply(message, ReplyTarget::TrafficDisplay, &CDisplayDoc::OnConversationUpdate);
}

void COstrelixApp::OnSummaryInitialize(WPARAM, LPARAM message) {
    PassReply(message, ReplyTarget::AnyDisplay, &CDisplayDoc::OnSummaryInitialize);
}

void COstrelixApp::OnSummaryUpdate(WPARAM, LPARAM message) {
    PassReply(message, ReplyTarget::AnyDisplay, &CDisplayDoc::OnSummaryUpdate);
}

void COstrelixApp::OnAlarmInitialize(WPARAM, LPARAM message) {
    if (ThreadMessage* taken = Accept(message)) Finish(taken);
}

void COstrelixApp::OnAlarmTriggered(WPARAM, LPARAM message) {
    ThreadMessage* taken = Accept(message);
    if (!taken) return;
    if (const auto* alarm = dynamic_cast<const MonitorAlarmReply*>(ReplyOf(*taken))) {
        // The alarm's identifier is the serial of its event, never its address.
        const auto serial = std::uint64_t(reinterpret_cast<std::uintptr_t>(alarm->GetIdentifier()));
        for (std::size_t index = 0; index < alarm->GetThresholdCount(); ++index) {
            const AlarmThreshold& threshold = alarm->GetThreshold(index);
            m_EventHandler->OnAlarmValue(serial, TruncateValue(threshold.m_CurrentValue),
                                         threshold.m_RisingLimit.m_State == LIMIT_ROSE);
        }
    }
    Finish(taken);
}

void COstrelixApp::OnSystemEvent(WPARAM event, LPARAM) {
    std::unique_ptr<SystemEventInfo> taken(reinterpret_cast<SystemEventInfo*>(event));
    if (taken && m_Root && m_LogDoc) m_LogDoc->OnSystemEvent(std::move(taken));
}

void COstrelixApp::OnReportStep(WPARAM step, LPARAM report) {
    if (!m_ReportDoc) return;
    switch (step) {
    case 0:
        m_ReportDoc->StartReport(report, 0);
        break;
    case 1:
        m_ReportDoc->NextSubject();
        break;
    case 2:
        m_ReportDoc->StartReport(report, 1);
        break;
    default:
        break;
    }
}

void COstrelixApp::OnActiveTestResult(WPARAM result, LPARAM) {
    std::unique_ptr<ActiveTestResult> taken(reinterpret_cast<ActiveTestResult*>(result));
    if (!taken || !taken->m_Device) return;
    ExplorerInfo& device = *taken->m_Device;
    device.m_LastTestText = taken->m_Text;
    device.m_LastTestTime = taken->m_TestTime;
    device.m_LastTestRoundTrip = std::uint32_t(taken->m_RoundTrip);
    device.m_LastTestStatus = taken->m_Status;
}

void COstrelixApp::OnActiveTestOpen(WPARAM request, LPARAM) {
    std::unique_ptr<ActiveTestInfo> taken(reinterpret_cast<ActiveTestInfo*>(request));
    if (taken && taken->m_Device && taken->m_Device->IsValid())
        m_ViewAdmin.OpenDeviceActiveTestDialog(taken->m_Device);
}

void COstrelixApp::OnActiveTestEvent(WPARAM serial, LPARAM value) {
    m_EventHandler->OnAlarmValue(std::uint64_t(serial), int(value), true);
}

void COstrelixApp::DeliverTrace(WPARAM report, void (CDlgTrace::*handler)(std::unique_ptr<TraceResult>)) {
    std::unique_ptr<TraceResult> taken(reinterpret_cast<TraceResult*>(report));
    // A report for a dialog closed since the trace started is freed here.
    if (taken && CDlgTrace::HasWindow(taken->m_Dialog)) {
        CDlgTrace* dialog = taken->m_Dialog;
        (dialog->*handler)(std::move(taken));
    }
}

void COstrelixApp::OnTraceHop(WPARAM report, LPARAM) {
    DeliverTrace(report, &CDlgTrace::OnHopResult);
}

void COstrelixApp::OnTraceFinished(WPARAM report, LPARAM) {
    DeliverTrace(report, &CDlgTrace::OnTraceFinished);
}

void COstrelixApp::OnTraceFailed(WPARAM report, LPARAM) {
    DeliverTrace(report, &CDlgTrace::OnTraceError);
}

void COstrelixApp::OnTraceHopError(WPARAM report, LPARAM) {
    DeliverTrace(report, &CDlgTrace::OnHopError);
}

void COstrelixApp::OnTraceCancelled(WPARAM report, LPARAM) {
    DeliverTrace(report, &CDlgTrace::OnTraceCancelled);
}

void COstrelixApp::SetEventHandler(std::unique_ptr<CEventHandler> handler) {
    m_EventHandler = std::move(handler);
}

void COstrelixApp::OnLogNotify(WPARAM job, LPARAM) {
    std::unique_ptr<NotificationJob> taken(reinterpret_cast<NotificationJob*>(job));
    if (taken && m_LogDoc) m_LogDoc->RunNotification(std::move(taken));
}

void COstrelixApp::FreeQueuedMessages() {
    MessageQueue& queue = MessageQueue::Current();
    QueueEntry entry;
    while (queue.Peek(entry, TargetFilter::ThreadOnly())) {
        if (entry.message >= kFirstThreadMessageId && entry.message <= kLastThreadMessageId) {
            auto* message = reinterpret_cast<ThreadMessage*>(entry.lParam);
            if (message && !message->IsFixed() && message->GetReceiverDeletes()) delete message;
            continue;
        }
        switch (entry.message) {
        case WM_LOG_SYSTEM_EVENT:
            delete reinterpret_cast<SystemEventInfo*>(entry.wParam);
            break;
        case WM_LOG_NOTIFY:
            delete reinterpret_cast<NotificationJob*>(entry.wParam);
            break;
        case WM_ACTIVETEST_RESULT:
            delete reinterpret_cast<ActiveTestResult*>(entry.wParam);
            break;
        case WM_ACTIVETEST_OPEN:
        case WM_ACTIVETEST_OPEN_SHORTCUT:
            delete reinterpret_cast<ActiveTestInfo*>(entry.wParam);
            break;
        case WM_TRACE_HOP:
        case WM_TRACE_FINISHED:
        case WM_TRACE_FAILED:
        case WM_TRACE_HOP_ERROR:
        case WM_TRACE_CANCELLED:
            delete reinterpret_cast<TraceResult*>(entry.wParam);
            break;
        default:
            break;
        }
    }
}

} // namespace vq
