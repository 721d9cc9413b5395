#include "capture/AdapterInfo.h"
#include "monitor/MonitorAnnouncements.h"
#include "monitor/MonitorStateMessage.h"
#include "netmodel/HostAddress.h"
#include "netmodel/IpAddress.h"
#include "platform/thread/MessageQueue.h"
#include "runtime/EngineGlobals.h"
#include "runtime/HeadlessApp.h"

#include <gtest/gtest.h>
#include <memory>

namespace vq {
namespace {

class AddressApp : public HeadlessApp {
public:
    std::vector<std::pair<int32_t, std::string>> hosts;
    std::vector<int> adapterCounts;

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (auto* address = dynamic_cast<MonitorStateAddressMessage*>(message))
            hosts.emplace_back(address->GetChangeBits(), address->GetIpAddress().GetText());
        if (auto* adapters = dynamic_cast<MonitorStateAdaptersMessage*>(message))
            adapterCounts.push_back(adapters->GetAdapters().GetSize());
        HeadlessApp::OnThreadMessage(id, message);
    }
};

TEST(AnnouncementTest, HostsReachTheMainThreadAsAddressMessagesOrAreDroppedWhenRefused) {
    ScopedEngineGlobals engine;
    AddressApp app;
    app.Register();
    MonitorAnnouncements announcements;
    IpAddress ip("10.1.2.3", false);
    const HostAddress host(ip, 0, true);

    EXPECT_TRUE(announcements.Announce(4, std::make_unique<HostAddress>(host, DeepCopy)));
    app.PumpPending();
    ASSERT_EQ(app.hosts.size(), 1u);
    EXPECT_EQ(app.hosts[0], (std::pair<int32_t, std::string>{4, "10.1.2.3"}));

    app.SetClosing(true);
    EXPECT_FALSE(announcements.Announce(4, std::make_unique<HostAddress>(host, DeepCopy)));
    EXPECT_EQ(engine.Get().m_MessagePool.GetSize(), 0u);
    QueueEntry e;
    while (MessageQueue::Current().Peek(e)) {
    }
}

TEST(AnnouncementTest, AdapterDescriptionsTravelWithTheirMessageAndItsAnswerHasNone) {
    ScopedEngineGlobals engine;
    AddressApp app;
    app.Register();
    AdapterInfo info;
    info.title = "first";
    EXPECT_TRUE(MonitorStateAdaptersMessage::Announce(std::make_unique<AdapterInfoSet>(info), 5));
    app.PumpPending();
    EXPECT_EQ(app.adapterCounts, std::vector<int>{1});

    MonitorStateAdaptersMessage message(std::make_unique<AdapterInfoSet>(info), 1, false, true);
    const MonitorStateAdaptersMessage answer(message);
    EXPECT_EQ(answer.GetReason(), 1);
    EXPECT_EQ(answer.GetAdapters().GetSize(), 0);
    EXPECT_EQ(message.GetAdapters().GetSize(), 1);

    app.SetClosing(true);
    EXPECT_FALSE(MonitorStateAdaptersMessage::Announce(std::make_unique<AdapterInfoSet>(info), 5));
    QueueEntry e;
    while (MessageQueue::Current().Peek(e)) {
    }
}

} // namespace
} // namespace vq
