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

protected:
    void OnThreadMessage(std::uint32_t id, ThreadMessage* message) override {
        if (auto* address = dynamic_cast<MonitorStateAddressMessage*>(message))
            hosts.emplace_back(address->GetChangeBits(), address->GetIpAddress().GetText());
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

} // namespace
} // namespace vq
