#include "runtime/ThreadMessage.h"

#include "platform/thread/MessageQueue.h"
#include "platform/thread/PlatformThread.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/MessageIds.h"
#include "runtime/NotificationThreadMessage.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vq {
namespace {

// A request that counts its deletions and answers with a copy.
class ProbeMessage : public ThreadMessage {
public:
    ProbeMessage(std::uint32_t id, bool wantsReply, bool receiverDeletes)
        : ThreadMessage(id, wantsReply, receiverDeletes) {}
    ProbeMessage(const ProbeMessage& request) : ThreadMessage(request) {}
    ~ProbeMessage() override { ++deleted; }
    bool SendReply() override { return Reply(new ProbeMessage(*this)); }

    static inline std::atomic<int> deleted{0};
};

// The main thread object, recording what reached its handlers.
class RecordingApp : public HeadlessApp {
public:
    std::vector<std::uint32_t> ids;
    std::vector<std::string> reports;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        ids.push_back(id);
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message))
            reports.push_back(report->GetText());
        HeadlessApp::OnThreadMessage(id, message);
    }
};

class ThreadMessageTest : public ::testing::Test {
protected:
    ThreadMessageTest() {
        ProbeMessage::deleted = 0;
        engine = std::make_unique<ScopedEngineGlobals>();
        app = std::make_unique<RecordingApp>();
        app->Register();
    }
    ~ThreadMessageTest() override {
        QueueEntry e;
        while (MessageQueue::Current().Peek(e)) {
        }
        app.reset();
        engine.reset();
    }
    EngineGlobals& Globals() { return engine->Get(); }
    std::size_t PoolSize() { return Globals().m_MessagePool.GetSize(); }

    std::unique_ptr<ScopedEngineGlobals> engine;
    std::unique_ptr<RecordingApp> app;
};

TEST(MessageIdNames, NamesFortyNineIdsAndLeavesTheInitializeIdsUnknown) {
    int named = 0;
    for (std::uint32_t id = 0x8000; id <= 0x80FF; ++id)
        if (std::string(GetMessageIdName(id)) != "unknown") ++named;
    EXPECT_EQ(named, 49);
    struct Case {
        std::uint32_t id;
        const char* name;
    };
    const Case cases[] = {{0x8001, "WM_General_Command"},
                          {0x8011, "WM_NameTable_IpNameReply"},
                          {0x8044, "unknown"},
                          {0x8054, "unknown"},
                          {0x8094, "WM_Checkpoint_Initialize"},
                          {0x80A4, "WM_Database_Log"},
                          {0, "unknown"}};
    for (const auto& c : cases)
        EXPECT_STREQ(GetMessageIdName(c.id), c.name) << std::hex << c.id;
    EXPECT_STREQ(ThreadMessage::GetStateName(8), "STATE_POOL_DTOR");
    EXPECT_STREQ(ThreadMessage::GetStateName(9), "invalid");
    EXPECT_STREQ(ThreadMessage::GetStateName(10), "invalid");
}

TEST_F(ThreadMessageTest, ConstructionRegistersAndDeletionLeavesThePool) {
    auto* first = new ProbeMessage(WM_Monitor_Start, true, true);
    auto* second = new ProbeMessage(WM_Monitor_Stop, false, false);
    EXPECT_EQ(second->GetSerialId(), first->GetSerialId() + 1);
    EXPECT_EQ(first->GetState(), ThreadMessage::STATE_CREATED);
    EXPECT_EQ(first->GetOriginator(), CurrentThreadId());
    EXPECT_EQ(first->GetDestination(), 0u);
    EXPECT_EQ(PoolSize(), 2u);
    const std::string row = "WM_Monitor_Start\t" + std::to_string(first->GetSerialId()) + "\t" +
                            std::to_string(CurrentThreadId()) + "\t" + std::to_string(CurrentThreadId()) +
                            "\t0 STATE_CREATED true\n";
    EXPECT_EQ(Globals().m_MessagePool.Describe(),
              "ThreadMessagePool (size 2)\n\nmessage\t\t\tid\t\torig\t\tsender\tdest\t\tstate\t\treceiver "
              "deletes?\n" +
                  row + "WM_Monitor_Stop\t" + std::to_string(second->GetSerialId()) + "\t" +
                  std::to_string(CurrentThreadId()) + "\t" + std::to_string(CurrentThreadId()) +
                  "\t0 STATE_CREATED false\n\n");
    EXPECT_EQ(first->Describe(), "WM_Monitor_Start [id=" + std::to_string(first->GetSerialId()) +
                                     "] orig=" + std::to_string(CurrentThreadId()) +
                                     " sender=" + std::to_string(CurrentThreadId()) +
                                     " dest=0 state=STATE_CREATED recvdel=true");
    delete first;
    delete second;
    EXPECT_EQ(PoolSize(), 0u);
}

TEST_F(ThreadMessageTest, AnswerSwapsSenderAndDestinationAndIsDeletedByItsReceiver) {
    ProbeMessage request(WM_Monitor_Start, true, false);
    request.SetState(ThreadMessage::STATE_RECEIVED);
    ProbeMessage answer(request);
    EXPECT_EQ(answer.GetSerialId(), request.GetSerialId());
    EXPECT_EQ(answer.GetMessageId(), WM_Monitor_Start);
    EXPECT_FALSE(answer.GetWantsReply());
    EXPECT_TRUE(answer.GetReceiverDeletes());
    EXPECT_EQ(answer.GetDestination(), request.GetSender());
    EXPECT_EQ(answer.GetSender(), request.GetDestination());
    EXPECT_EQ(answer.GetState(), ThreadMessage::STATE_CREATED);
}

TEST_F(ThreadMessageTest, MessageToSelfTravelsSentReceivedAndHandlerDeletesIt) {
    auto* message = new ProbeMessage(WM_Monitor_Reset, false, true);
    ASSERT_TRUE(message->Send(app.get()));
    EXPECT_EQ(message->GetState(), ThreadMessage::STATE_SENT);
    EXPECT_EQ(message->GetDestination(), CurrentThreadId());
    app->PumpPending();
    EXPECT_EQ(app->ids, std::vector<std::uint32_t>{WM_Monitor_Reset});
    EXPECT_EQ(ProbeMessage::deleted, 1);
    EXPECT_EQ(PoolSize(), 0u);
}

TEST_F(ThreadMessageTest, OwnReplyMakesCompleteSendNothingMore) {
    ProbeMessage request(WM_Monitor_Start, true, false);
    request.SetState(ThreadMessage::STATE_RECEIVED);
    EXPECT_TRUE(request.Reply(new ProbeMessage(request)));
    EXPECT_FALSE(request.Complete());
    app->PumpPending();
    EXPECT_EQ(app->ids.size(), 1u);
}

TEST_F(ThreadMessageTest, FailedAnswerPostDeletesTheAnswer) {
    ProbeMessage request(WM_Monitor_Start, true, false);
    // Nobody is registered under the sender's id: the answer cannot be posted.
    Globals().m_ThreadPool.Remove(app.get());
    Globals().m_ThreadPool.SetMainThread(nullptr);
    EXPECT_FALSE(request.Complete());
    EXPECT_FALSE(request.GetReplied());
    EXPECT_EQ(ProbeMessage::deleted, 1);
    EXPECT_EQ(PoolSize(), 1u);
}

TEST_F(ThreadMessageTest, SendToUnregisteredThreadFailsAndPostsNothing) {
    ProbeMessage message(WM_Monitor_Start, false, true);
    EXPECT_FALSE(message.SendToThread(CurrentThreadId() + 100000));
    QueueEntry e;
    EXPECT_FALSE(MessageQueue::Current().Peek(e));
}

TEST_F(ThreadMessageTest, ShuttingDownRefusesSendsAndLeavesTheStateCreated) {
    Globals().m_State.m_ShuttingDown = true;
    ProbeMessage message(WM_Monitor_Start, false, true);
    EXPECT_FALSE(message.Send(app.get()));
    EXPECT_EQ(message.GetState(), ThreadMessage::STATE_CREATED);
    EXPECT_EQ(message.GetDestination(), 0u);
}

TEST_F(ThreadMessageTest, ClosingApplicationRefusesEverySendAndTheRefusalSticks) {
    app->SetClosing(true);
    ProbeMessage message(WM_Monitor_Start, false, true);
    EXPECT_FALSE(message.Send(app.get()));
    EXPECT_TRUE(Globals().m_State.m_ShuttingDown);
    app->SetClosing(false);
    EXPECT_FALSE(message.Send(app.get()));
    EXPECT_FALSE(PostNotification(3, 0, "text", nullptr, nullptr, nullptr, nullptr, -1));
}

TEST_F(ThreadMessageTest, MessageArrivingAfterShutdownIsNotHandledAndFreedOnceWithThePool) {
    auto* message = new ProbeMessage(WM_Monitor_Reset, false, true);
    ASSERT_TRUE(message->Send(app.get()));
    Globals().m_State.m_ShuttingDown = true;
    app->PumpPending();
    EXPECT_EQ(message->GetState(), ThreadMessage::STATE_POOL_DTOR);
    EXPECT_EQ(ProbeMessage::deleted, 0);
    EXPECT_EQ(PoolSize(), 1u);
    engine.reset();
    EXPECT_EQ(ProbeMessage::deleted, 1);
    engine = std::make_unique<ScopedEngineGlobals>();
}

TEST_F(ThreadMessageTest, DeleteOnReceiptRemovesQueuedMessagesUnreadButNotFixedReports) {
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE((new ProbeMessage(WM_Monitor_Reset, false, false))->Send(app.get()));
    NotificationThreadMessage& fixed = GetFixedReport(REPORT_MEMORY);
    ASSERT_TRUE(SendNotification(&fixed));
    Globals().m_MessagePool.SetAllStates(ThreadMessage::STATE_DELETE_ON_RECEIPT);
    app->PumpPending();
    EXPECT_EQ(ProbeMessage::deleted, 3);
    EXPECT_EQ(app->reports, std::vector<std::string>{"CMemoryException"});
    EXPECT_EQ(PoolSize(), 0u);
    engine.reset();
    EXPECT_EQ(fixed.GetFormattedText(), "CMemoryException\n");
    engine = std::make_unique<ScopedEngineGlobals>();
}

TEST_F(ThreadMessageTest, FourThreadsSendOneFixedReportAtOnce) {
    constexpr int kThreads = 4, kEach = 500;
    NotificationThreadMessage& fixed = GetFixedReport(REPORT_FILE);
    std::vector<std::unique_ptr<PlatformThread>> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.push_back(std::make_unique<PlatformThread>());
        ASSERT_TRUE(senders.back()->Start([&] {
            for (int i = 0; i < kEach; ++i)
                ASSERT_TRUE(SendNotification(&fixed));
        }));
    }
    while (app->reports.size() < kThreads * kEach)
        ASSERT_TRUE(app->PumpMessage());
    for (auto& s : senders)
        s->Join();
    EXPECT_EQ(app->reports.size(), std::size_t(kThreads * kEach));
    EXPECT_EQ(PoolSize(), 0u);
}

TEST_F(ThreadMessageTest, MainThreadReportsInstallRequestsAsMishandledAndDeletesThem) {
    ASSERT_TRUE((new ProbeMessage(WM_Alarm_Install, false, false))->Send(app.get()));
    app->PumpPending();
    EXPECT_EQ(ProbeMessage::deleted, 1);
    ASSERT_EQ(app->reports.size(), 1u);
    EXPECT_EQ(app->reports[0], "Mishandled message that should be forwarded to the monitor");
    EXPECT_EQ(PoolSize(), 0u);
}

TEST_F(ThreadMessageTest, MainThreadDeletesReportsOnlyWhenTheReceiverDeletes) {
    auto* kept =
        new NotificationThreadMessage(3, 0, "kept", nullptr, nullptr, nullptr, nullptr, -1, false, false);
    ASSERT_TRUE(SendNotification(kept));
    ASSERT_TRUE(PostNotification(3, 0, "deleted", nullptr, nullptr, nullptr, nullptr, -1));
    app->PumpPending();
    EXPECT_EQ(app->reports, (std::vector<std::string>{"kept", "deleted"}));
    EXPECT_EQ(PoolSize(), 1u);
    delete kept;
}

TEST_F(ThreadMessageTest, SeverityZeroReportIsAllocatedButNeverSent) {
    EXPECT_TRUE(PostNotification(0, 0, "quiet", nullptr, nullptr, nullptr, nullptr, -1));
    EXPECT_EQ(PoolSize(), 1u);
    app->PumpPending();
    EXPECT_TRUE(app->reports.empty());
    EXPECT_FALSE(SendNotification(nullptr));
}

TEST_F(ThreadMessageTest, MainThreadKeepsMacSettingsAndTheProgramFolder) {
    app->AddMacFilterEntry("00:11:22:33:44:55");
    app->AddMacFilterEntry("66:77:88:99:AA:BB");
    app->RemoveMacFilterEntry("00:11:22:33:44:55");
    EXPECT_FALSE(app->HasMacFilterEntry("00:11:22:33:44:55"));
    EXPECT_TRUE(app->HasMacFilterEntry("66:77:88:99:AA:BB"));
    app->SetMacOnlyReverse(true);
    EXPECT_TRUE(app->GetMacOnlyReverse());
    app->SetMacOnlyReporting(true);
    EXPECT_TRUE(Globals().m_State.m_MacOnlyReporting);
    app->SetMacOnlyReporting(false);
    EXPECT_FALSE(Globals().m_State.m_MacOnlyReporting);

    const std::string folder = app->GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(std::filesystem::canonical(::testing::internal::GetArgvs()[0]).parent_path().string(), folder);
    app->SetProgramFolder("/opt/vorquel");
    EXPECT_EQ(app->GetProgramFolder(), "/opt/vorquel");
}

} // namespace
} // namespace vq
