#include "monitor/MonitorActionMessage.h"
#include "monitor/MonitorControlMessage.h"
#include "monitor/MonitorStateMessage.h"
#include "netmodel/HostAddress.h"
#include "netmodel/IpAddress.h"
#include "runtime/EngineGlobals.h"

#include <gtest/gtest.h>
#include <string>

namespace vq {
namespace {

class CountedReply : public MonitorDataReply {
public:
    explicit CountedReply(int& deleted)
        : MonitorDataReply(nullptr, MODE_UPDATE, TimeRange()), m_Deleted(deleted) {}
    ~CountedReply() override { ++m_Deleted; }

private:
    int& m_Deleted;
};

class MonitorMessageTest : public ::testing::Test {
protected:
    std::size_t PoolSize() { return engine.Get().m_MessagePool.GetSize(); }

    ScopedEngineGlobals engine;
};

TEST_F(MonitorMessageTest, ResetAsksForEverythingAndItsAnswerKeepsOnlyTheAdapters) {
    MonitorControlResetMessage reset(true, true);
    EXPECT_EQ(reset.GetFlags(), 15);
    reset.AddFlags(16);
    EXPECT_EQ(reset.GetFlags(), 31);
    reset.AddAdapter(2);
    reset.AddAdapter(5);

    const MonitorControlResetMessage answer(reset);
    EXPECT_EQ(answer.GetAdapters(), (std::vector<uint16_t>{2, 5}));
    EXPECT_EQ(answer.GetFlags(), 0);
    EXPECT_EQ(answer.GetMessageId(), WM_Monitor_Reset);
    EXPECT_EQ(answer.GetSerialId(), reset.GetSerialId());

    reset.SetFlags(8);
    EXPECT_EQ(reset.GetFlags(), 8);
}

TEST_F(MonitorMessageTest, ControlAnswersCopyTheirPayload) {
    MonitorControlStartMessage start(true, true);
    start.AddAdapter(0);
    start.AddAdapter(2);
    const MonitorControlStartMessage startAnswer(start);
    EXPECT_EQ(startAnswer.GetAdapters(), (std::vector<uint16_t>{0, 2}));
    EXPECT_STREQ(startAnswer.GetClassName(), "MonitorControlStartMessage");

    MonitorControlLookupMessage lookup(false, 7, true, true);
    const MonitorControlLookupMessage lookupAnswer(lookup);
    EXPECT_EQ(lookupAnswer.GetTableMask(), 7u);
    EXPECT_FALSE(lookupAnswer.GetEnable());
    EXPECT_EQ(lookupAnswer.GetMessageId(), WM_Monitor_Lookup);

    MonitorStateAnnounceMessage announce(1, false, true);
    announce.SetOption(6, 2);
    const MonitorStateAnnounceMessage announceAnswer(announce);
    EXPECT_EQ(announceAnswer.GetOption(0), 1);
    EXPECT_EQ(announceAnswer.GetOption(6), 2);
    EXPECT_STREQ(MonitorStateIntegrityCheckMessage(0, false, true).GetClassName(),
                 "MonitorStateIntegrityCheckMessage");
}

TEST_F(MonitorMessageTest, AddressMessageOwnsADeepCopyOfTheHost) {
    // Owned by the table, as a learned host's addresses are.
    IpAddress tableAddress("10.1.2.3", false);
    tableAddress.SetOwner(&engine);
    HostAddress tableHost(tableAddress, 0, false);
    {
        auto* message = new MonitorStateAddressMessage(4, tableHost, false, true);
        EXPECT_NE(&message->GetIpAddress(), &tableAddress);
        EXPECT_TRUE(message->GetHost() == tableHost);
        const MonitorStateAddressMessage answer(*message);
        EXPECT_EQ(answer.GetChangeBits(), 4);
        EXPECT_NE(&answer.GetIpAddress(), &message->GetIpAddress());
        delete message;
        EXPECT_TRUE(answer.GetHost() == tableHost);
    }
    EXPECT_EQ(&tableHost.GetIp(), &tableAddress);
    EXPECT_EQ(tableAddress.GetText(), "10.1.2.3");
    EXPECT_EQ(PoolSize(), 0u);
}

TEST_F(MonitorMessageTest, UpdateOwnsItsReplyUntilTheReplyIsTakenAway) {
    int deleted = 0;
    delete new MonitorTrendUpdateMessage(new CountedReply(deleted), false, true);
    EXPECT_EQ(deleted, 1);

    CountedReply kept(deleted);
    auto* message = new MonitorAlarmUpdateMessage(&kept, false, true);
    EXPECT_EQ(message->GetMessageId(), WM_Alarm_Triggered);
    message->SetReply(nullptr);
    delete message;
    EXPECT_EQ(deleted, 1);

    MonitorSummaryInitializeMessage initialize(new CountedReply(deleted), false, true);
    delete new MonitorSummaryInitializeMessage(initialize);
    EXPECT_EQ(deleted, 1);
    EXPECT_STREQ(initialize.GetClassName(), "MonitorSummaryInitializeMessage");
}

TEST_F(MonitorMessageTest, CancelAndModifyNameThemselvesThreadMessage) {
    int record = 0;
    MonitorSummaryCancelMessage cancel(&record, false, true);
    EXPECT_STREQ(cancel.GetClassName(), "ThreadMessage");
    EXPECT_EQ(cancel.GetIdentifier(), &record);
    EXPECT_EQ(MonitorSummaryCancelMessage(cancel).GetIdentifier(), nullptr);
    EXPECT_EQ(cancel.GetMessageId(), WM_Summary_Uninstall);

    const MonitorTrendModifyMessage modify(&record, std::make_unique<Object>(), false, true);
    EXPECT_STREQ(modify.GetClassName(), "ThreadMessage");
    EXPECT_EQ(MonitorTrendModifyMessage(modify).GetModification(), nullptr);
}

} // namespace
} // namespace vq
