#include "monitor/MonitorAction.h"
#include "monitor/MonitorActionMessage.h"
#include "platform/thread/MessageQueue.h"
#include "platform/thread/PlatformThread.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"
#include "runtime/NotificationThreadMessage.h"

#include <gtest/gtest.h>
#include <memory>

namespace vq {
namespace {

class CountedAction : public MonitorAction {
public:
    explicit CountedAction(int& deleted)
        : MonitorAction(&deleted, SOURCE_LIVE, SCOPE_TUPLES, TARGET_CURRENT, DATA_PERIODIC, TimeSpan(), 0),
          m_Deleted(deleted) {}
    ~CountedAction() override { ++m_Deleted; }
    bool SendUpdate() override { return true; }
    bool SendInitialize() override { return true; }
    std::unique_ptr<MonitorAction> Clone(std::size_t) const override { return nullptr; }
    std::unique_ptr<MonitorActionElement> CreateElement(const MonitorActionElement&) const override {
        return nullptr;
    }

private:
    int& m_Deleted;
};

class ReportingApp : public HeadlessApp {
public:
    std::vector<std::string> reports;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (auto* report = dynamic_cast<NotificationThreadMessage*>(message))
            reports.push_back(report->GetText());
        HeadlessApp::OnThreadMessage(id, message);
    }
};

class InstallRequestTest : public ::testing::Test {
protected:
    InstallRequestTest() {
        engine = std::make_unique<ScopedEngineGlobals>();
        app = std::make_unique<ReportingApp>();
        app->Register();
    }
    ~InstallRequestTest() override {
        QueueEntry e;
        while (MessageQueue::Current().Peek(e)) {
        }
        app.reset();
        engine.reset();
    }

    std::unique_ptr<ScopedEngineGlobals> engine;
    std::unique_ptr<ReportingApp> app;
    int deleted = 0;
};

TEST_F(InstallRequestTest, TheConstructingThreadOrTheViaThreadReceivesTheReplies) {
    CountedAction action(deleted);
    MonitorAlarmRequestMessage request(&action, false, true);
    EXPECT_EQ(action.GetReplyThread(), app.get());
    EXPECT_STREQ(request.GetClassName(), "MonitorAlarmRequestMessage");
    EXPECT_EQ(MonitorAlarmRequestMessage(request).GetAction(), nullptr);

    CountedAction elsewhere(deleted);
    PlatformThread unregistered;
    ASSERT_TRUE(unregistered.Start([&] { delete new MonitorTrendRequestMessage(&elsewhere, false, true); }));
    unregistered.Join();
    EXPECT_EQ(elsewhere.GetReplyThread(), nullptr);

    auto* via = new MonitorTrendRequestMessage(&elsewhere, false, true);
    ASSERT_TRUE(via->PostVia(app.get(), app.get()));
    EXPECT_EQ(elsewhere.GetReplyThread(), app.get());
    via->SetAction(nullptr);
    app->PumpPending();
    EXPECT_EQ(deleted, 0);
}

TEST_F(InstallRequestTest, RequestDroppedUnreadFreesItsActionAndFixedReportsSurvive) {
    ASSERT_TRUE((new MonitorAlarmRequestMessage(new CountedAction(deleted), false, true))->Send(app.get()));
    NotificationThreadMessage& fixed = GetFixedReport(REPORT_MEMORY);
    ASSERT_TRUE(SendNotification(&fixed));
    Engine().m_MessagePool.SetAllStates(ThreadMessage::STATE_DELETE_ON_RECEIPT);
    app->PumpPending();
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(app->reports, std::vector<std::string>{"CMemoryException"});
    EXPECT_EQ(Engine().m_MessagePool.GetSize(), 0u);
}

TEST_F(InstallRequestTest, RequestAcceptedByAThreadThatInstallsNothingFreesItsAction) {
    ASSERT_TRUE((new MonitorTrendRequestMessage(new CountedAction(deleted), false, true))->Send(app.get()));
    app->PumpPending();
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(app->reports,
              std::vector<std::string>{"Mishandled message that should be forwarded to the monitor"});
    EXPECT_EQ(Engine().m_MessagePool.GetSize(), 0u);
}

TEST_F(InstallRequestTest, RequestStillQueuedAtExitFreesItsAction) {
    ASSERT_TRUE((new MonitorSummaryRequestMessage(new CountedAction(deleted), false, true))->Send(app.get()));
    QueueEntry e;
    while (MessageQueue::Current().Peek(e)) {
    }
    engine.reset();
    EXPECT_EQ(deleted, 1);
    engine = std::make_unique<ScopedEngineGlobals>();
}

TEST_F(InstallRequestTest, RefusedRequestLeavesTheActionWithTheRequester) {
    auto action = std::make_unique<CountedAction>(deleted);
    auto* request = new MonitorConversationRequestMessage(action.get(), false, true);
    app->SetClosing(true);
    EXPECT_FALSE(request->Send(app.get()));
    delete request;
    EXPECT_EQ(deleted, 0);
    action.reset();
    EXPECT_EQ(deleted, 1);
}

} // namespace
} // namespace vq
