#include "NameLookupFixture.h"
#include "ReportCollector.h"

#include <string>
#include <thread>

namespace vq::test {
namespace {

using NameRequestTableTest = NameLookupFixture;

TEST_F(NameRequestTableTest, OneLookUpRunsTheOthersQueueAndAreServedOldestFirst) {
    std::vector<std::string> expected;
    for (uint8_t i = 1; i <= 10; ++i) {
        resolver_->AddReverse(Address(0, i), {"host" + std::to_string(i), {}, {Address(0, i)}});
        expected.push_back("10.0.0." + std::to_string(i));
    }
    Attach();
    resolver_->Hold();
    std::vector<IpAddress*> entries;
    for (uint8_t i = 1; i <= 10; ++i)
        entries.push_back(Add(Address(0, i)));
    EXPECT_EQ(service_.GetRunningCount(), 1u);
    EXPECT_EQ(service_.GetQueuedCount(), 9u);
    for (IpAddress* entry : entries)
        EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupInProgress);

    resolver_->Release();
    EXPECT_EQ(Deliver(10), 10);
    EXPECT_EQ(resolver_->CallLog(), expected);
    for (uint8_t i = 1; i <= 10; ++i) {
        EXPECT_EQ(entries[i - 1u]->GetLookupState(), NameEntry::LookupResolved);
        EXPECT_EQ(entries[i - 1u]->GetName(0), "host" + std::to_string(i));
    }
    EXPECT_EQ(table_.GetRequestTable()->GetInFlightCount(), 0u);
    // Filed bytes start no second look-up.
    EXPECT_EQ(Add(Address(0, 1)), entries[0]);
    EXPECT_EQ(entries[0]->GetLookupState(), NameEntry::LookupResolved);
    EXPECT_EQ(service_.GetRunningCount(), 0u);
}

TEST_F(NameRequestTableTest, HostNotFoundFailsForGood) {
    Attach();
    IpAddress* entry = Add(Address(0, 1));
    EXPECT_EQ(Deliver(1), 1);
    EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupFailed);
    EXPECT_EQ(table_.GetRequestTable()->GetRetryCount(), 0u);
    EXPECT_EQ(table_.GetRequestTable()->GetInFlightCount(), 0u);
}

TEST_F(NameRequestTableTest, TryAgainRetriesWithDoublingDelaysUpToTenMinutes) {
    resolver_->SetReverseCode(Address(0, 7), 11002);
    Attach();
    IpAddress* entry = Add(Address(0, 7));
    ASSERT_EQ(Deliver(1), 1);
    for (int64_t seconds : {5, 10, 20, 40, 80, 160, 320, 600, 600}) {
        SCOPED_TRACE(seconds);
        EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupFailed);
        Advance(seconds * 1000 - 1);
        EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupFailed);
        Advance(1);
        EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupInProgress);
        ASSERT_EQ(Deliver(1), 1);
    }
    EXPECT_EQ(resolver_->HostCalls(), 10);
}

TEST_F(NameRequestTableTest, AnAnswerWithoutTheAddressAskedForIsRetried) {
    resolver_->AddReverse(Address(0, 5), {"elsewhere", {}, {Address(0, 6)}});
    Attach();
    IpAddress* entry = Add(Address(0, 5));
    ASSERT_EQ(Deliver(1), 1);
    EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupFailed);
    EXPECT_EQ(entry->GetNameCount(), 0);
    EXPECT_EQ(table_.GetRequestTable()->GetRetryCount(), 1u);
}

TEST_F(NameRequestTableTest, BeyondTheAcceptedLimitARequestFailsAndRetriesAMinuteLater) {
    Attach();
    resolver_->Hold();
    for (int i = 0; i < 1024; ++i)
        EXPECT_EQ(Add(Address(static_cast<uint8_t>(1 + i / 250), static_cast<uint8_t>(1 + i % 250)))
                      ->GetLookupState(),
                  NameEntry::LookupInProgress);
    IpAddress* refused = Add(Address(200, 1));
    EXPECT_EQ(refused->GetLookupState(), NameEntry::LookupFailed);
    EXPECT_EQ(table_.GetRequestTable()->GetRetryCount(), 1u);
    Advance(59'999);
    EXPECT_EQ(refused->GetLookupState(), NameEntry::LookupFailed);
    service_.SetMaxAccepted(2048);
    Advance(1);
    EXPECT_EQ(refused->GetLookupState(), NameEntry::LookupInProgress);
    EXPECT_EQ(table_.GetRequestTable()->GetRetryCount(), 0u);
}

TEST_F(NameRequestTableTest, AHangingLookUpTimesOutAndItsLateAnswerChangesNothing) {
    resolver_->AddReverse(Address(0, 1), {"late", {}, {Address(0, 1)}});
    resolver_->AddReverse(Address(0, 2), {"next", {}, {Address(0, 2)}});
    Attach();
    resolver_->Hold();
    IpAddress* hanging = Add(Address(0, 1));
    ASSERT_TRUE(resolver_->WaitUntilHeld(1));
    IpAddress* queued = Add(Address(0, 2));
    Advance(29'999);
    EXPECT_EQ(hanging->GetLookupState(), NameEntry::LookupInProgress);
    Advance(1);
    EXPECT_EQ(hanging->GetLookupState(), NameEntry::LookupTimedOut);
    Advance(60'000); // its slot stays taken while the resolver call lasts, so nothing else times out
    EXPECT_EQ(queued->GetLookupState(), NameEntry::LookupInProgress);
    EXPECT_EQ(service_.GetQueuedCount(), 1u);

    resolver_->Release();
    ASSERT_EQ(Deliver(1), 1);
    EXPECT_EQ(queued->GetLookupState(), NameEntry::LookupResolved);
    EXPECT_EQ(queued->GetName(0), "next");
    EXPECT_EQ(hanging->GetLookupState(), NameEntry::LookupTimedOut);
    EXPECT_EQ(hanging->GetNameCount(), 0);
    EXPECT_EQ(Deliver(1, 100), 0);
}

TEST_F(NameRequestTableTest, InvalidOfficialNameLeavesTheFirstValidAliasAsPrimary) {
    resolver_->AddReverse(Address(0, 9),
                          {std::string(254, 'a'), {"-bad", "good", "also.good"}, {Address(0, 9)}});
    resolver_->AddReverse(Address(0, 8), {"official", {"alias"}, {Address(0, 8)}});
    Attach();
    IpAddress* entry = Add(Address(0, 9));
    IpAddress* named = table_.FindOrAdd(Address(0, 8).data(), false);
    named->SetNameAt("old", 0);
    named->AddAlias("kept");
    table_.GetRequestTable()->Request(named);
    ASSERT_EQ(Deliver(2), 2);
    ASSERT_EQ(entry->GetNameCount(), 2);
    EXPECT_EQ(entry->GetNameAt(0), "good");
    EXPECT_EQ(entry->GetNameAt(1), "also.good");
    ASSERT_EQ(named->GetNameCount(), 3);
    EXPECT_EQ(named->GetNameAt(0), "official");
    EXPECT_EQ(named->GetNameAt(1), "kept");
    EXPECT_EQ(named->GetNameAt(2), "alias");
}

TEST_F(NameRequestTableTest, AnUnexpectedRefusalIsReportedAndDropped) {
    ReportCollector collector;
    Attach();
    service_.SetWindow({CurrentThreadId(), 0}, 0, WinSockIf::ReplyMessage, 23); // no such address family
    IpAddress* entry = Add(Address(0, 1));
    EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupFailed);
    EXPECT_EQ(table_.GetRequestTable()->GetRetryCount(), 0u);
    EXPECT_EQ(table_.GetRequestTable()->GetInFlightCount(), 0u);
    EXPECT_EQ(collector.Take(), (std::vector<Report>{{7, "unexpected WSAGetLastError() return: 10047",
                                                      "NameRequestTable", "Insert"}}));
}

TEST_F(NameRequestTableTest, RepliesForUnknownIdentifiersChangeNothing) {
    Attach();
    resolver_->Hold();
    IpAddress* entry = Add(Address(0, 1));
    EXPECT_FALSE(table_.OnReply(0x7FFFFFF0, 0));
    EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupInProgress);
    EXPECT_EQ(service_.GetRunningCount(), 1u);
}

TEST_F(NameRequestTableTest, NoReplyBeforeAttach) {
    IpAddress* entry = Add(Address(0, 1));
    while (resolver_->HostCalls() == 0)
        std::this_thread::yield();
    EXPECT_EQ(Deliver(1, 100), 0);
    EXPECT_EQ(entry->GetLookupState(), NameEntry::LookupInProgress);
}

TEST(WinSockIf, IdentifiersWrapToOneAndNeverZero) {
    net::ScopedResolver resolver(std::make_shared<net::FakeResolver>());
    WinSockIf service;
    const uint8_t address[4] = {10, 0, 0, 1};
    WinSockIf::SetIdentifierCounter(0xFFFFFFFE);
    EXPECT_EQ(service.Request(address, 4), 0xFFFFFFFFu);
    EXPECT_EQ(service.Request(address, 4), 1u);
    EXPECT_EQ(service.Request(address, 6), 0u); // refused, but the counter still moved
    EXPECT_EQ(service.Request(address, 4), 3u);
}

} // namespace
} // namespace vq::test
