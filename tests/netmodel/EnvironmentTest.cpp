#include "netmodel/Environment.h"

#include "ModelFixtures.h"
#include "netmodel/AdapterList.h"
#include "netmodel/IntegrityText.h"
#include "netmodel/InterfaceInfo.h"
#include "netmodel/Traffic.h"
#include "runtime/EngineGlobals.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

using namespace test;

class EnvironmentTest : public ::testing::Test {
protected:
    ScopedEngineGlobals globals;
    TestAdapterList adapters{3};
};

TEST_F(EnvironmentTest, CheckpointCopiesOutliveTheLiveModel) {
    auto live = std::make_unique<Environment>(0);
    live->SetAdapters(adapters);
    auto liveTraffic = std::make_unique<Traffic>(1);
    for (const auto& frame :
         {IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2", 4000, 80),
          IpFrame("00:00:00:00:00:02", "10.0.0.2", "00:00:00:00:00:01", "10.0.0.1", 80, 4000)})
        liveTraffic->AddPacket(frame, *live->TupleForPacket(frame));

    Environment checkpoint(0);
    Traffic saved(1);
    checkpoint.CopyInterfaces(live->GetInterfaceTable());
    checkpoint.ImportTraffic(*liveTraffic, saved, 0);
    liveTraffic.reset();
    live->Reset();
    live.reset();

    EXPECT_EQ(checkpoint.GetInterfaceTable().GetCount(), 3);
    EXPECT_EQ(checkpoint.GetInterfaceTable().GetAt(1)->GetText(), "ifnum=1 ifname=eth1 ifhost=LOCAL");
    ASSERT_EQ(saved.GetCount(), 2);
    EXPECT_EQ(saved.GetList()[0]->GetTuple()->GetText(false),
              "key=KEY_NONE src=MAC=00:00:00:00:00:01 (AUTH), IP=10.0.0.1 (AUTH) dst=MAC=00:00:00:00:00:02 "
              "(AUTH), IP=10.0.0.2 (AUTH) if=0 data=1 netw=2 tran=17 ref_sess=80");
    EXPECT_EQ(static_cast<Conversation*>(saved.GetList()[1])->GetTraffic().Get(TrafficData::Packets), 1);
    EXPECT_TRUE(checkpoint.CheckIntegrity(0, true)) << IntegrityText();
}

TEST_F(EnvironmentTest, ImportsReuseWhatTheyMadeAndMergeFamilies) {
    Environment foreign(0);
    Tuple* tuple =
        foreign.TupleForPacket(IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2"));

    Environment model(0);
    model.BeginImport();
    bool created = false;
    Tuple* first = model.ImportTuple(*tuple, 0, &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(model.ImportTuple(*tuple, 0, &created), first);
    EXPECT_FALSE(created);
    EXPECT_EQ(model.ImportHost(HostAddress::Invalid()), &HostAddress::Invalid());
    model.EndImport();
    EXPECT_EQ(model.GetHostTable().GetCount(), 2);
    EXPECT_NE(first->GetSource(), tuple->GetSource());
    EXPECT_EQ(first->GetSource()->GetText(false), tuple->GetSource()->GetText(false));
}

TEST_F(EnvironmentTest, ImportedAddressReachesTheMacOnlyHostAndLaterFrames) {
    Environment model(0);
    HostAddress* macOnly =
        model.GetHostTable().LearnSource(MacFrame("00:00:00:00:00:01", "00:00:00:00:00:09"));
    ASSERT_EQ(macOnly->GetValidVector(), HostAddress::MacValid);

    Environment foreign(0);
    HostAddress* full = foreign.GetHostTable().LearnSource(
        IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2"));
    model.BeginImport();
    EXPECT_EQ(model.ImportHost(*full), macOnly);
    model.EndImport();
    EXPECT_TRUE(macOnly->HasIp());
    const int hosts = model.GetHostTable().GetCount();

    const auto frame = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2");
    EXPECT_EQ(model.GetHostTable().LearnSource(frame), macOnly);
    EXPECT_EQ(model.GetHostTable().GetCount(), hosts);
    EXPECT_TRUE(model.CheckIntegrity(0, true)) << IntegrityText();
}

TEST_F(EnvironmentTest, SessionTwinsStayTwoAndNoInterfaceIsBuiltForNone) {
    Environment foreign(0);
    auto frame = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2");
    foreign.TupleForPacket(frame);
    frame.ids[FrameView::Session] = 3;
    foreign.TupleForPacket(frame);
    Tuple::Fields fields{};
    fields[FieldInterface] = NoInterface;
    auto* unbound = new Tuple(&HostAddress::Invalid(), &HostAddress::Invalid(), fields, 0);
    foreign.GetTuplePool().Add(unbound);

    Environment copy(foreign.GetTuplePool());
    EXPECT_EQ(copy.GetTuplePool().GetCount(), 3);
    EXPECT_EQ(copy.GetTuplePool().GetList()[2]->GetTuple()->GetInterface(), NoInterface);
    EXPECT_EQ(copy.GetInterfaceTable().GetCount(), 1);
    EXPECT_EQ(copy.GetInterfaceTable().GetAt(0)->GetNumber(), 0);
}

// A frame of a known stream is answered from memory only while the model is as it was: once its
// tuple has left the pool it is learned anew, never given the tuple that went.
TEST_F(EnvironmentTest, KnownStreamsAreLearnedAnewOnceTheModelChanged) {
    Environment live(1);
    live.SetAdapters(adapters);
    const auto frame = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2", 4000, 80);
    live.TupleForPacket(frame);
    Tuple* known = live.TupleForPacket(frame);
    ASSERT_EQ(live.TupleForPacket(frame), known);

    ASSERT_TRUE(live.GetTuplePool().Remove(known));
    Tuple* again = live.TupleForPacket(frame);
    ASSERT_EQ(live.GetTuplePool().GetCount(), 1);
    EXPECT_EQ(live.GetTuplePool().GetList()[0], again);
    EXPECT_EQ(live.TupleForPacket(frame), again);

    EXPECT_TRUE(live.CheckIntegrity(0, true)) << IntegrityText();
}

// A known stream's reference session follows its endpoints' entries: another conversation that
// gives the client's endpoint a new id changes the answer for the server's replies, while a stream
// whose entries did not move keeps its tuple.
TEST_F(EnvironmentTest, KnownStreamsFollowTheirEndpointsReferenceSessions) {
    Environment live(1);
    live.SetAdapters(adapters);
    const auto reply = IpFrame("00:00:00:00:00:02", "10.0.0.2", "00:00:00:00:00:01", "10.0.0.1", 80, 4000);
    const auto name = IpFrame("00:00:00:00:00:06", "10.0.0.6", "00:00:00:00:00:05", "10.0.0.5", 6000, 53);
    const auto lookup = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:05", "10.0.0.5", 4000, 53);
    Tuple* served = live.TupleForPacket(reply);
    ASSERT_EQ(live.TupleForPacket(reply), served);
    EXPECT_EQ(served->GetKeyValue(KEY_ReferenceSession), 80u);
    Tuple* named = live.TupleForPacket(name);
    ASSERT_EQ(live.TupleForPacket(name), named);

    EXPECT_EQ(live.TupleForPacket(lookup)->GetKeyValue(KEY_ReferenceSession), 53u);
    Tuple* moved = live.TupleForPacket(reply);
    EXPECT_NE(moved, served);
    EXPECT_EQ(moved->GetKeyValue(KEY_ReferenceSession), 53u);
    EXPECT_EQ(live.TupleForPacket(reply), moved);
    EXPECT_EQ(live.TupleForPacket(name), named);
    EXPECT_TRUE(live.CheckIntegrity(0, true)) << IntegrityText();
}

// Frames that differ in one thing the tuple depends on never share a remembered stream, IPX frames
// included, and each is answered from memory on its next frame.
TEST_F(EnvironmentTest, KnownStreamsStayApartByWhatDecidesTheirTuple) {
    FakeFrame ipx = MacFrame("00:00:00:00:00:01", "00:00:00:00:00:02", 0x8137);
    ipx.ipx = {Ipx{0, 0, 0, 1, 0, 0, 0, 0, 0, 1}, Ipx{0, 0, 0, 1, 0, 0, 0, 0, 0, 2}};
    const FakeFrame ip = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2", 4000, 80);
    struct Case {
        const char* name;
        FakeFrame base;
        void (*change)(FakeFrame&);
        bool apart;
    };
    const Case cases[] = {
        {"ipx node", ipx, [](FakeFrame& f) { f.ipx[1]->back() = 3; }, true},
        {"ipx network", ipx, [](FakeFrame& f) { (*f.ipx[0])[3] = 2; }, true},
        {"session id", ip, [](FakeFrame& f) { f.ids[FrameView::Session] = 7; }, true},
        {"ip address", ip, [](FakeFrame& f) { f.ip[1] = Ip{10, 0, 0, 3}, (*f.endpoints)[1].address = 0x0A000003; }, true},
        // Learned every time, to the same hosts and session.
        {"endpoint unlike the address", ip, [](FakeFrame& f) { (*f.endpoints)[1].address = 0x0A000009; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Environment live(1);
        live.SetAdapters(adapters);
        FakeFrame other = c.base;
        c.change(other);
        Tuple* base = live.TupleForPacket(c.base);
        ASSERT_EQ(live.TupleForPacket(c.base), base);
        Tuple* changed = live.TupleForPacket(other);
        EXPECT_EQ(live.TupleForPacket(other), changed);
        EXPECT_EQ(live.TupleForPacket(c.base), base);
        EXPECT_EQ(changed != base, c.apart);
        EXPECT_TRUE(live.CheckIntegrity(0, true)) << IntegrityText();
    }
}

TEST_F(EnvironmentTest, ResetRebuildsInterfacesAndEmptiesTheModel) {
    Environment live(1);
    live.SetAdapters(adapters);
    live.TupleForPacket(IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2", 4000, 80));
    live.TupleForPacket(MacFrame("00:00:00:00:00:03", "00:00:00:00:00:04"));
    ASSERT_GT(live.GetTuplePool().GetReferenceSessions().GetCount(), 0u);

    live.Reset();
    EXPECT_EQ(live.GetInterfaceTable().GetCount(), 3);
    EXPECT_EQ(live.GetHostTable().GetCount(), 0);
    EXPECT_EQ(live.GetTuplePool().GetCount(), 0);
    EXPECT_EQ(live.GetTuplePool().GetReferenceSessions().GetCount(), 0u);
    EXPECT_EQ(live.GetIpTable().GetCount(), 0);
    EXPECT_NE(live.GetIpTable().GetRequestTable(), nullptr);
    EXPECT_FALSE(live.OnNameReply(5, 1, 0));
    EXPECT_FALSE(live.OnNameReply(7, 1, 0));
}

TEST_F(EnvironmentTest, LookupMaskSwitchesTheTables) {
    struct Case {
        int mask;
        bool mac, ip, ipx;
    };
    const Case cases[] = {
        {4, true, false, false}, {5, true, true, false}, {6, true, false, true}, {1, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        Environment model(0);
        EXPECT_EQ(model.SetLookup(c.mask, true), c.mask & 6);
        EXPECT_EQ(model.GetMacTable().GetLookup(), c.mac);
        EXPECT_EQ(model.GetIpTable().GetLookup(), c.ip);
        EXPECT_EQ(model.GetIpxTable().GetLookup(), c.ipx);
    }
}

} // namespace
} // namespace vq
