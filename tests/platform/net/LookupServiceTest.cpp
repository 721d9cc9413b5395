#include "platform/net/LookupService.h"

#include "platform/net/FakeResolver.h"

#include <future>
#include <gtest/gtest.h>

namespace vq::net {
namespace {

class LookupServiceTest : public ::testing::Test {
protected:
    LookupServiceTest() {
        resolver_->AddReverse({10, 0, 0, 1}, {"gw", {"router"}, {{10, 0, 0, 1}}});
        resolver_->AddHost("gw", {{10, 0, 0, 1}});
    }
    std::shared_ptr<FakeResolver> resolver_ = std::make_shared<FakeResolver>();
    ScopedResolver scoped_{resolver_};
};

TEST_F(LookupServiceTest, ReverseAnswersArriveOnTheWorkerInOrder) {
    LookupService service;
    std::mutex mutex;
    std::vector<int> codes;
    std::promise<void> done;
    auto record = [&](HostAnswer answer) {
        std::lock_guard lock(mutex);
        codes.push_back(answer.code);
        if (codes.size() == 2) done.set_value();
    };
    ASSERT_TRUE(service.LookupAddress({10, 0, 0, 1}, record));
    ASSERT_TRUE(service.LookupAddress({10, 0, 0, 2}, record));
    ASSERT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(codes, (std::vector<int>{LookupOk, LookupHostNotFound}));
}

TEST_F(LookupServiceTest, ForwardLookupGoesAheadOfQueuedReverseOnes) {
    LookupService service;
    resolver_->Hold();
    auto record = [](HostAnswer) {};
    service.LookupAddress({10, 0, 0, 1}, record); // occupies the worker
    ASSERT_TRUE(resolver_->WaitUntilHeld(1));
    service.LookupAddress({10, 0, 0, 3}, record); // waits behind it
    auto forward =
        std::async(std::launch::async, [&] { return service.LookupName("gw", std::chrono::seconds(10)); });
    while (service.GetPendingCount() < 2)
        std::this_thread::yield();
    resolver_->Release();
    const HostAnswer answer = forward.get();
    EXPECT_EQ(answer.code, LookupOk);
    EXPECT_EQ(answer.entry.addresses.front(), (Ipv4Bytes{10, 0, 0, 1}));
    while (resolver_->HostCalls() < 3)
        std::this_thread::yield();
    EXPECT_EQ(resolver_->CallLog(), (std::vector<std::string>{"10.0.0.1", "gw", "10.0.0.3"}));
}

TEST_F(LookupServiceTest, ForwardLookupThatTakesTooLongIsTryAgain) {
    LookupService service;
    resolver_->Hold();
    const HostAnswer answer = service.LookupName("gw", std::chrono::milliseconds(20));
    EXPECT_EQ(answer.code, LookupTryAgain);
    resolver_->Release(); // the late answer goes nowhere
}

} // namespace
} // namespace vq::net
