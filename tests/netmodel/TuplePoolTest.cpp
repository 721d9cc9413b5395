#include "netmodel/TuplePool.h"

#include "ModelFixtures.h"
#include "netmodel/Environment.h"
#include "netmodel/IntegrityText.h"
#include "runtime/EngineGlobals.h"

#include <gtest/gtest.h>
#include <random>

namespace vq {
namespace {

using namespace test;

class TuplePoolTest : public ::testing::Test {
protected:
    ScopedEngineGlobals globals;
    RecordingOffers offers;
    Environment model{0, {nullptr, nullptr, &offers}};
    TuplePool& pool = model.GetTuplePool();
};

// The search the pool replaces: the first tuple of the list similar to the key.
Tuple* FirstSimilar(const TuplePool& pool, const Tuple& key) {
    for (TAO* tao : pool.GetList())
        if (key.IsSimilar(*tao, true)) return tao->GetTuple();
    return nullptr;
}

Tuple* FirstEqual(const TuplePool& pool, const Tuple& key) {
    for (TAO* tao : pool.GetList())
        if (tao->GetTuple()->Compare(key) == 0) return tao->GetTuple();
    return nullptr;
}

TEST_F(TuplePoolTest, NewStreamMakesOneTupleOfferedToTheFourPoolsInOrder) {
    const auto frame = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2", 40000, 53);
    Tuple* tuple = model.TupleForPacket(frame);
    ASSERT_EQ(offers.offers.size(), 4u);
    for (int pool = 0; pool < 4; ++pool) {
        EXPECT_EQ(offers.offers[size_t(pool)].first, TupleOfferSink::Pool(pool));
        EXPECT_EQ(offers.offers[size_t(pool)].second, tuple);
    }
    EXPECT_EQ(tuple->GetField(FieldReferenceSession), 53);
    for (int index = 0; index < TAOPool::IndexCount; ++index)
        EXPECT_NE(pool.GetIndex(index).FindList(*tuple), nullptr) << index;

    EXPECT_EQ(model.TupleForPacket(frame), tuple);
    EXPECT_EQ(offers.offers.size(), 4u);
    EXPECT_EQ(pool.GetCount(), 1);
}

TEST_F(TuplePoolTest, SessionOnlyDifferenceGivesTwoTuples) {
    auto frame = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2");
    Tuple* first = model.TupleForPacket(frame);
    frame.ids[FrameView::Session] = 7;
    EXPECT_NE(model.TupleForPacket(frame), first);
    EXPECT_EQ(pool.GetCount(), 2);
}

TEST_F(TuplePoolTest, HostEqualByAddressFindsTheStoredTuple) {
    const auto frame = IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2");
    Tuple* stored = model.TupleForPacket(frame);
    HostAddress twin(*stored->GetSource(), ShallowCopy);
    EXPECT_EQ(pool.FindOrAddForFrame(frame, &twin, stored->GetDestination(), 0), stored);
    EXPECT_EQ(pool.GetCount(), 1);
}

TEST_F(TuplePoolTest, RemoveOfAForeignTupleChangesNothing) {
    Tuple* stored = model.TupleForPacket(MacFrame("00:00:00:00:00:01", "00:00:00:00:00:02"));
    Tuple stranger(uint8_t(0));
    EXPECT_FALSE(pool.Remove(&stranger));
    EXPECT_EQ(pool.GetCount(), 1);
    EXPECT_TRUE(pool.Remove(stored));
    EXPECT_EQ(pool.GetCount(), 0);
    EXPECT_TRUE(pool.CheckIntegrity(true)) << IntegrityText();
}

TEST_F(TuplePoolTest, HostlessTuplesPassTheIntegrityCheck) {
    EXPECT_TRUE(pool.CheckIntegrity(true));
    // As the pool's own factory makes them: no hosts at all.
    Tuple key(Tuple(uint8_t(0)), NullCopy, 0);
    key.SetKeyValue(6, KEY_TransportProtocol);
    bool created = false;
    TAO* made = pool.FindOrAdd(key, &created);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(created);
    EXPECT_EQ(made->GetTuple()->GetSource(), nullptr);
    EXPECT_EQ(pool.FindOrAdd(key, &created), made);
    EXPECT_FALSE(created);
    model.TupleForPacket(MacFrame("00:00:00:00:00:01", "00:00:00:00:00:02"));
    EXPECT_TRUE(pool.CheckIntegrity(true)) << IntegrityText();
}

// A stream that makes hosts equal without being the same object: MAC-only and IP hosts of one MAC,
// network addresses, IPX nodes of zero, imported IP-only and address-less hosts.
class StreamGenerator {
public:
    explicit StreamGenerator(unsigned seed) : m_Random(seed) {}

    FakeFrame Next() {
        char mac[2][32], ip[2][32];
        const bool fromRouter = Pick(4) == 0;
        for (int side = 0; side < 2; ++side) {
            const int station = Pick(30);
            std::snprintf(mac[side], sizeof mac[side], "02:00:00:00:00:%02x", station);
            std::snprintf(ip[side], sizeof ip[side], "10.1.0.%d", station + 1 + 40 * Pick(2));
        }
        if (fromRouter) {
            std::snprintf(mac[0], sizeof mac[0], "02:00:00:00:01:00");
            std::snprintf(ip[0], sizeof ip[0], "10.2.%d.%d", Pick(8), 1 + Pick(250));
        }
        FakeFrame frame = IpFrame(mac[0], ip[0], mac[1], ip[1]);
        switch (Pick(12)) {
        case 0:
            frame.ip[0] = IpOf("0.0.0.0");
            break;
        case 1:
            frame.mac[1] = MacOf("ff:ff:ff:ff:ff:ff");
            frame.ip[1] = IpOf("10.1.0.255");
            break;
        case 2:
            frame.ip[1] = IpOf("10.0.0.0");
            break;
        case 3:
            frame.etherType = 0x8137;
            frame.ipx = {Ipx{0, 0, 0, 1, 2, 0, 0, 0, 0, uint8_t(Pick(3))},
                         Ipx{0, 0, 0, 1, 2, 0, 0, 0, 0, uint8_t(Pick(3))}};
            break;
        case 4:
            frame.etherType = 0x80d5;
            break;
        default:
            break;
        }
        frame.ids[FrameView::Session] = uint16_t(Pick(2) * 5);
        return frame;
    }
    int Pick(int n) { return int(m_Random() % unsigned(n)); }

private:
    std::mt19937 m_Random;
};

TEST_F(TuplePoolTest, HashedSearchesAnswerAsTheLinearScans) {
    StreamGenerator stream(11);
    Environment foreign(0);
    size_t created = 0;
    for (int i = 0; i < 20000; ++i) {
        if (i % 2000 == 1000) {
            // Imported tuples whose hosts have only an IP, or no address at all.
            const int station = stream.Pick(30);
            char text[32];
            std::snprintf(text, sizeof text, "10.1.0.%d", station + 1);
            HostAddress ipOnly(*foreign.FindOrAddIpAddress(IpOf(text).data(), false), HostAddress::AUTH,
                               false);
            model.BeginImport();
            HostAddress* source = model.ImportHost(ipOnly);
            model.EndImport();
            Tuple::Fields fields{};
            fields[FieldInterface] = 0;
            fields[FieldDataLink] = 1;
            fields[FieldNetwork] = 2;
            auto* tuple = new Tuple(source, &HostAddress::Invalid(), fields, 0);
            pool.Add(tuple);
        }
        const FakeFrame frame = stream.Next();
        const int before = pool.GetCount();
        HostAddress* source = model.GetHostTable().LearnSource(frame);
        HostAddress* destination = model.GetHostTable().LearnDestination(frame);
        Tuple* found = pool.FindOrAddForFrame(frame, source, destination, 0);
        if (pool.GetCount() != before) ++created;
        const Tuple probe(source, destination, found->GetFields(), 0);
        ASSERT_EQ(FirstSimilar(pool, probe), found) << "frame " << i;
    }
    EXPECT_EQ(offers.offers.size(), 4 * created);
    for (size_t i = 0; i < offers.offers.size(); ++i)
        ASSERT_EQ(offers.offers[i].first, TupleOfferSink::Pool(i % 4));

    size_t position = 0;
    while (Tuple* tuple = pool.GetNextTuple(position))
        ASSERT_EQ(pool.FindEqual(*tuple), FirstEqual(pool, *tuple));

    Environment copy(pool);
    EXPECT_TRUE(copy.CheckIntegrity(0, true)) << IntegrityText();
    position = 0;
    while (Tuple* tuple = pool.GetNextTuple(position))
        ASSERT_EQ(copy.GetTuplePool().FindEqual(*tuple), FirstEqual(copy.GetTuplePool(), *tuple));
    EXPECT_TRUE(model.CheckIntegrity(0, true)) << IntegrityText();
}

} // namespace
} // namespace vq
