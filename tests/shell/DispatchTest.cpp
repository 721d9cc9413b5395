#include "config/CCfgOstrelix.h"
#include "monitor/AlarmThreshold.h"
#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorAlarmReply.h"
#include "monitor/MonitorControlMessage.h"
#include "platform/classlib/Dialog.h"
#include "platform/gui/Menu.h"
#include "platform/gui/MessageBox.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/QueueRegistry.h"
#include "runtime/EngineGlobals.h"
#include "runtime/NotificationThreadMessage.h"
#include "shell/ActiveTestResult.h"
#include "shell/CDlgTrace.h"
#include "shell/COstrelixApp.h"
#include "shell/DeviceDoc.h"
#include "shell/ExplorerInfo.h"
#include "tests/shell/EventRecording.h"
#include "shell/MonitorOwnerRecord.h"
#include "shell/NetworkDoc.h"
#include "shell/ReportDoc.h"
#include "shell/ShellMessages.h"
#include "shell/TraceResult.h"
#include "tests/shell/ShellFixture.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace vq {
namespace {

using Call = CDisplayDoc::Call;

// A plain top-level window for the tests to own.
HWND PlainWindow() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = &DefWindowProc;
        wc.lpszClassName = "DispatchTestWindow";
        return RegisterClass(wc) != 0;
    }();
    return registered ? CreateWindowEx(0, "DispatchTestWindow", "", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100,
                                       100, 0, 0, nullptr)
                      : 0;
}

class DispatchTest : public test::ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        m_Engine = std::make_unique<ScopedEngineGlobals>();
        m_App = std::make_unique<COstrelixApp>();
        m_App->RegisterMainThread();
        m_App->SetLogDoc(std::make_unique<LogDoc>());
        m_App->SetRootRecord(std::make_unique<CCfgOstrelix>());
    }
    void TearDown() override {
        Pump();
        m_App.reset();
        m_Engine.reset();
        ShellFixture::TearDown();
    }

    // Sends a message to the main thread as another thread would.
    void Post(ThreadMessage* message) { ASSERT_TRUE(message->Send(&m_App->GetThreadObject())); }
    static void Pump() {
        MSG msg;
        while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE))
            DispatchMessage(&msg);
    }
    static ThreadMessage* SummaryUpdate(const void* owner) {
        return new MonitorSummaryUpdateMessage(new MonitorDataReply(owner, MODE_UPDATE, TimeRange()), false,
                                               true);
    }

    std::unique_ptr<ScopedEngineGlobals> m_Engine;
    std::unique_ptr<COstrelixApp> m_App;
};

TEST_F(DispatchTest, RepliesReachOnlyLiveDocumentsOfTheirClass) {
    DeviceDoc device;
    CDisplayDoc plain;
    MonitorOwnerRecord deviceOwner(&device, 7);
    MonitorOwnerRecord plainOwner(&plain, 9);
    Post(new MonitorTrendUpdateMessage(new MonitorDataReply(&deviceOwner, MODE_UPDATE, TimeRange()), false,
                                       true));
    Post(new MonitorTrendUpdateMessage(new MonitorDataReply(&plainOwner, MODE_UPDATE, TimeRange()), false,
                                       true));
    Post(new MonitorTrendInitializeMessage(new MonitorDataReply(&plainOwner, MODE_INITIALIZE, TimeRange()),
                                           false, true));
    Post(SummaryUpdate(&deviceOwner));
    Pump();
    EXPECT_EQ(device.m_Calls, (std::vector<Call>{{"trend", 7}, {"summary", 7}}));
    EXPECT_EQ(plain.m_Calls, (std::vector<Call>{{"trend init", 9}}));

    // The document goes with its owner record after the action was installed: its reply is
    // freed unread (ASan watches).
    auto closed = std::make_unique<NetworkDoc>();
    auto closedOwner = std::make_unique<MonitorOwnerRecord>(closed.get(), 1);
    ThreadMessage* late = SummaryUpdate(closedOwner.get());
    closedOwner.reset();
    closed.reset();
    Post(late);
    Pump();
    EXPECT_EQ(device.m_Calls.size(), 2u);
}

TEST_F(DispatchTest, RepliesWaitOutARestartAndEveryDisplayResets) {
    NetworkDoc network;
    DeviceDoc device;
    MonitorOwnerRecord owner(&network, 3);
    m_App->RestartMonitor();
    EXPECT_TRUE(m_App->AreRepliesBlocked());
    Post(SummaryUpdate(&owner));
    Pump();
    EXPECT_TRUE(network.m_Calls.empty());

    Post(new MonitorControlRestartMessage(false, true));
    Pump();
    EXPECT_FALSE(m_App->AreRepliesBlocked());
    EXPECT_EQ(network.m_Resets, 1);
    EXPECT_EQ(device.m_Resets, 1);
    Post(SummaryUpdate(&owner));
    Pump();
    EXPECT_EQ(network.m_Calls, (std::vector<Call>{{"summary", 3}}));
}

TEST_F(DispatchTest, AMisdirectedInstallIsReportedWithItsText) {
    Post(new MonitorSummaryRequestMessage(nullptr, false, true));
    QueueEntry entry;
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, 0, WM_Summary_Install, WM_Summary_Install, PM_REMOVE));
    DispatchMessage(&msg);
    ASSERT_TRUE(MessageQueue::Current().Peek(entry, TargetFilter::ThreadOnly(),
                                             {WM_General_Notify, WM_General_Notify}));
    auto* notice = reinterpret_cast<NotificationThreadMessage*>(entry.lParam);
    EXPECT_EQ(notice->GetText(), "Mishandled message that should be forwarded to the monitor");
    ASSERT_TRUE(notice->Receive());
    if (notice->Complete()) delete notice;
}

TEST_F(DispatchTest, AlarmValuesAreTruncatedTowardZeroAndTestEventsCarryTheirSerial) {
    AlarmThresholds thresholds;
    thresholds.Add(std::make_unique<AlarmThreshold>(2.0, MODE_RISING, kLimitNotSet, MODE_UNSET));
    thresholds.Add(std::make_unique<AlarmThreshold>(-1.0, MODE_FALLING, kLimitNotSet, MODE_UNSET));
    thresholds.GetAt(0)->Update(2.9);
    thresholds.GetAt(1)->Update(-1.5);
    const auto* serial = reinterpret_cast<const void*>(std::uintptr_t(41));
    Post(new MonitorAlarmUpdateMessage(
        new MonitorAlarmReply(serial, nullptr, thresholds, MODE_UPDATE, TimeRange()), false, true));
    PostThreadMessage(CurrentThreadId(), WM_ACTIVETEST_EVENT, 42, 256);
    auto& handler = test::RecordEventHandler(*m_App);
    m_App->SuspendDisplayUpdates();
    Pump();
    EXPECT_EQ(handler.values,
              (std::vector<test::RecordingEventHandler::AlarmValue>{{41, 2, true}, {41, -1, false}, {42, 256, true}}));
}

TEST_F(DispatchTest, WindowlessReportsGoToTheirTargetsOrAreFreed) {
    CDlgTrace open;
    open.m_hWnd = PlainWindow();
    auto closed = std::make_unique<CDlgTrace>();
    PostThreadMessage(CurrentThreadId(), WM_TRACE_HOP, WPARAM(new TraceResult{&open, "hop 1"}), 0);
    PostThreadMessage(CurrentThreadId(), WM_TRACE_FINISHED, WPARAM(new TraceResult{closed.get(), "lost"}), 0);
    closed.reset();
    PostThreadMessage(CurrentThreadId(), WM_TRACE_CANCELLED, WPARAM(new TraceResult{&open, "stop"}), 0);

    ExplorerInfo device;
    auto* result = new ActiveTestResult;
    result->m_Device = &device;
    result->m_Text = "Reply";
    result->m_TestTime = OleDateTime(2026, 12, 8, 22, 30, 0);
    result->m_RoundTrip = 12;
    result->m_Status = ActiveTestResult::kAnswered;
    PostThreadMessage(CurrentThreadId(), WM_ACTIVETEST_RESULT, WPARAM(result), 0);
    PostThreadMessage(CurrentThreadId(), WM_LOG_SYSTEM_EVENT, WPARAM(new SystemEventInfo{493, {}, "x"}), 0);
    Pump();
    EXPECT_EQ(open.m_Reports,
              (std::vector<std::pair<std::string, std::string>>{{"hop", "hop 1"}, {"cancelled", "stop"}}));
    EXPECT_EQ(device.m_LastTestText, "Reply");
    EXPECT_EQ(device.m_LastTestRoundTrip, 12u);
    EXPECT_EQ(device.m_LastTestStatus, 2);
    EXPECT_EQ(test::SystemEventCodes(*m_App->GetLogDoc()), std::vector<int>{493});

    // Without a root record nothing is recorded, and the event is freed.
    m_App->SetRootRecord(nullptr);
    PostThreadMessage(CurrentThreadId(), WM_LOG_SYSTEM_EVENT, WPARAM(new SystemEventInfo{494, {}, ""}), 0);
    Pump();
    EXPECT_EQ(test::SystemEventCodes(*m_App->GetLogDoc()), std::vector<int>{493});
    DestroyWindow(open.m_hWnd);
}

// A reply that arrives while a nested loop runs reaches its document there.
class NestedLoopTest : public DispatchTest {
protected:
    void SendReply() { Post(SummaryUpdate(&m_Owner)); }
    bool Reached() const { return m_Document.m_Calls == std::vector<Call>{{"summary", 5}}; }

    DeviceDoc m_Document;
    MonitorOwnerRecord m_Owner{&m_Document, 5};
};

class EndingDialog : public CDialog {
public:
    EndingDialog(DialogTemplate dialogTemplate, std::function<void()> onInit)
        : CDialog(std::move(dialogTemplate)), m_OnInit(std::move(onInit)) {}
    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        m_OnInit();
        // Posted after the reply, so the reply is taken first.
        PostMessage(WM_USER + 1);
        return result;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_USER + 1) {
            EndDialog(IDOK);
            return 0;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }

private:
    std::function<void()> m_OnInit;
};

TEST_F(NestedLoopTest, AModalDialogsLoopPassesTheReply) {
    DialogTemplate t;
    t.caption = "Modal";
    t.style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    t.rect = {20, 20, 220, 120};
    EndingDialog dialog(t, [this] { SendReply(); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(Reached());
}

TEST_F(NestedLoopTest, APopupMenusLoopPassesTheReply) {
    const HWND owner = PlainWindow();
    ASSERT_TRUE(owner);
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, 100, "Item");
    SendReply();
    PostMessage(owner, WM_CANCELMODE, 0, 0);
    TrackPopupMenu(menu, TPM_RETURNCMD, 10, 10, 0, owner, nullptr);
    EXPECT_TRUE(Reached());
    DestroyMenu(menu);
    DestroyWindow(owner);
}

TEST_F(NestedLoopTest, AQtMessageBoxPassesTheReply) {
    // The queue is watched from Qt's loop once the application's loop has waited on it once.
    QTimer::singleShot(0, [] { PostThreadMessage(CurrentThreadId(), WM_NULL, 0, 0); });
    MSG msg;
    GetMessage(&msg, 0, 0, 0);

    auto* previous = SetMessageBoxProvider(nullptr);
    SendReply();
    bool closed = false;
    std::function<void()> closeWhenReached = [&] {
        if (QWidget* box = QApplication::activeModalWidget(); box && Reached()) {
            box->close();
            closed = true;
        } else {
            QTimer::singleShot(1, closeWhenReached);
        }
    };
    QTimer::singleShot(0, closeWhenReached);
    MessageBox(0, "Waiting", "Vorquel", MB_OK);
    SetMessageBoxProvider(previous);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(Reached());
}

} // namespace
} // namespace vq

namespace vq {
namespace {

TEST_F(DispatchTest, WhatIsQueuedWhenTheLoopEndsIsFreed) {
    NetworkDoc network;
    MonitorOwnerRecord owner(&network, 1);
    PostQuitMessage(3);
    Post(SummaryUpdate(&owner));
    PostThreadMessage(CurrentThreadId(), WM_LOG_SYSTEM_EVENT, WPARAM(new SystemEventInfo{493, {}, ""}), 0);
    PostThreadMessage(CurrentThreadId(), WM_TRACE_HOP, WPARAM(new TraceResult{nullptr, "hop"}), 0);
    EXPECT_EQ(m_App->Run(), 3);
    EXPECT_TRUE(network.m_Calls.empty());
}

} // namespace
} // namespace vq
