#include "FailingAllocations.h"
#include "ModelFixtures.h"
#include "netmodel/Environment.h"
#include "netmodel/HostEqualityIndex.h"
#include "netmodel/IntegrityText.h"
#include "runtime/EngineGlobals.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using namespace test;

constexpr const char* MacA = "00:a0:c9:00:00:0a";
constexpr const char* MacB = "00:a0:c9:00:00:0b";
constexpr const char* MacC = "00:a0:c9:00:00:0c";

// A model as the monitor runs it, with sinks that allocate as the real ones do.
struct Model {
    RecordingAnnouncements announcements;
    RecordingOffers offers;
    Environment environment{0, {&announcements, nullptr, &offers}};
    HostTable& hosts = environment.GetHostTable();
    TuplePool& tuples = environment.GetTuplePool();
};

// Runs `attempt(n)` with allocation n failing, for n = 0, 1, ... until an attempt no longer reaches
// the failing allocation; answers how many did. Each attempt builds its own fixture.
template <typename Attempt> int64_t ForEachFailingAllocation(Attempt attempt) {
    constexpr int64_t limit = 100'000;
    int64_t n = 0;
    while (n < limit && attempt(n))
        ++n;
    EXPECT_LT(n, limit) << "the attempts never stopped reaching a failure";
    return n;
}

class OutOfMemoryTest : public ::testing::Test {
protected:
    ScopedEngineGlobals globals;
};

// What a model holds, in order: the hosts, the tuples and the count of the rest.
std::vector<std::string> Contents(Environment& environment) {
    std::vector<std::string> rows;
    for (const HostAddress* host : environment.GetHostTable().GetHosts())
        rows.push_back(host->GetText(false));
    for (const TAO* tao : environment.GetTuplePool().GetList())
        rows.push_back(tao->GetTuple()->GetText(false));
    rows.push_back("interfaces " + std::to_string(environment.GetInterfaceTable().GetCount()));
    rows.push_back("sessions " + std::to_string(environment.GetTuplePool().GetReferenceSessions().GetCount()));
    return rows;
}

std::vector<std::string> Contents(Model& model) {
    return Contents(model.environment);
}

FakeFrame OnAdapter(FakeFrame frame, int adapter) {
    frame.adapter = adapter;
    return frame;
}

FakeFrame IpxFrame(const char* sourceMac, uint8_t sourceNode, const char* destinationMac, uint8_t destinationNode) {
    FakeFrame frame = MacFrame(sourceMac, destinationMac, 0x8137);
    frame.ipx = {Ipx{0, 0, 0, 1, 0, 0, 0, 0, 0, sourceNode}, Ipx{0, 0, 0, 1, 0, 0, 0, 0, 0, destinationNode}};
    return frame;
}

// Every allocation of one frame's learning fails in turn. A failure that reaches the caller takes
// back exactly what the call appended (hosts, interface, tuple) and keeps what stored hosts learned;
// one inside the offering of a new tuple keeps the tuple. The model stays whole either way, and
// the frame coming again leaves it as if nothing had failed.
TEST_F(OutOfMemoryTest, FailedFrameUndoesWhatItAppendedAndKeepsMerges) {
    struct Case {
        const char* name;
        std::vector<FakeFrame> before;
        FakeFrame frame;
        bool merges;
    };
    const FakeFrame aToB = IpFrame(MacA, "10.0.0.1", MacB, "10.0.0.2", 4000, 80);
    const Case cases[] = {
        {"first frame", {}, aToB, false},
        // B, first seen as A's destination, turns source towards a new station on a new interface.
        {"new station beside a merge",
         {aToB},
         OnAdapter(IpFrame(MacB, "10.0.0.2", MacC, "10.0.0.3", 5000, 53), 1),
         true},
        {"second address behind a known MAC", {aToB}, IpFrame(MacA, "10.0.0.9", MacB, "10.0.0.2", 4001, 80),
         false},
        {"known address from a new MAC", {aToB}, IpFrame(MacC, "10.0.0.2", MacA, "10.0.0.1", 80, 4000),
         false},
        {"broadcast destination", {aToB}, IpFrame(MacC, "10.0.0.3", "ff:ff:ff:ff:ff:ff", "10.0.0.255"),
         false},
        {"IPX stations", {IpxFrame(MacA, 1, MacB, 2)}, IpxFrame(MacB, 2, MacC, 3), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Model reference;
        for (const FakeFrame& frame : c.before)
            reference.environment.TupleForPacket(frame);
        reference.environment.TupleForPacket(c.frame);

        int mergesKept = 0;
        int offersFailed = 0;
        const int64_t failures = ForEachFailingAllocation([&](int64_t n) {
            SCOPED_TRACE(n);
            Model model;
            for (const FakeFrame& frame : c.before)
                model.environment.TupleForPacket(frame);
            const std::vector<HostAddress*> hostsBefore = model.hosts.GetHosts();
            const std::vector<TAO*> tuplesBefore = model.tuples.GetList();
            const std::vector<std::string> contentsBefore = Contents(model);
            const int interfacesBefore = model.environment.GetInterfaceTable().GetCount();

            bool reached = false;
            bool thrown = false;
            {
                FailingAllocations failing(n);
                try {
                    model.environment.TupleForPacket(c.frame);
                } catch (const std::bad_alloc&) {
                    thrown = true;
                }
                reached = failing.Failed();
            }
            if (!reached) return false;

            EXPECT_TRUE(model.environment.CheckIntegrity(0, true)) << IntegrityText();
            if (thrown) {
                EXPECT_EQ(model.hosts.GetHosts(), hostsBefore);
                EXPECT_EQ(model.tuples.GetList(), tuplesBefore);
                EXPECT_EQ(model.environment.GetInterfaceTable().GetCount(), interfacesBefore);
                if (Contents(model) != contentsBefore) ++mergesKept;
            } else {
                ++offersFailed;
                EXPECT_EQ(model.tuples.GetCount(), int(tuplesBefore.size()) + 1);
            }

            model.environment.TupleForPacket(c.frame);
            EXPECT_TRUE(model.environment.CheckIntegrity(0, true)) << IntegrityText();
            EXPECT_EQ(Contents(model), Contents(reference));
            return true;
        });
        EXPECT_GT(failures, 0);
        EXPECT_EQ(mergesKept > 0, c.merges);
        EXPECT_GT(offersFailed, 0);
    }
}

// The equality index watches its hosts: one that gains an address while memory runs out is still
// found by each of its addresses, and the change never fails for it.
TEST_F(OutOfMemoryTest, HostThatGainsAnAddressStaysFindable) {
    MacAddress mac(MacA, false);
    IpAddress ip("10.0.0.1", false);
    // Held elsewhere, so that the hosts do not take them over.
    mac.SetOwner(this);
    ip.SetOwner(this);
    HostAddress byMac(mac, HostAddress::AUTH, true), byIp(ip, HostAddress::AUTH, true);
    MacAddress peerMac(MacB, false);
    HostAddress peer(peerMac, HostAddress::AUTH, true);
    // Equal to the host once it has its address, so that filing it again ties the two.
    HostAddress ipPeer(ip, HostAddress::AUTH, true);

    const int64_t failures = ForEachFailingAllocation([&](int64_t n) {
        SCOPED_TRACE(n);
        HostAddress host(mac, HostAddress::AUTH, false);
        HostEqualityIndex index;
        index.Insert(peer, 0);
        index.Insert(host, 1);
        index.Insert(ipPeer, 2);
        bool reached = false;
        {
            FailingAllocations failing(n);
            EXPECT_NO_THROW(host.SetIp(ip, HostAddress::AUTH));
            reached = failing.Failed();
        }
        EXPECT_EQ(index.FindFirstEqual(byMac), &host);
        EXPECT_EQ(index.FindFirstEqual(byIp), &host);
        EXPECT_EQ(index.FindFirstEqual(host), &host);
        index.Remove(host);
        EXPECT_EQ(index.FindFirstEqual(byIp), &ipPeer);
        EXPECT_EQ(index.FindFirstEqual(byMac), nullptr);
        return reached;
    });
    EXPECT_GT(failures, 0);
}

} // namespace
} // namespace vq
