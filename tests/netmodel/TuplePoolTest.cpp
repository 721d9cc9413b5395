#include "netmodel/TuplePool.h"

#include "ModelFixtures.h"
#include "netmodel/Environment.h"
#include "netmodel/IntegrityText.h"
#include "runtime/EngineGlobals.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

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
    for (int actionPool = 0; actionPool < 4; ++actionPool) {
        EXPECT_EQ(offers.offers[size_t(actionPool)].first, TupleOfferSink::Pool(actionPool));
        EXPECT_EQ(offers.offers[size_t(actionPool)].second, tuple);
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

// The ten indexes, each tuple shown by its list position and each host by its place in the host
// table. Orders that follow from where hosts lie in memory differ between two models, so the
// elements of host indexes and the lists of field indexes are sorted; every other order stays.
std::vector<std::string> Render(Environment& model) {
    TuplePool& pool = model.GetTuplePool();
    const auto& hosts = model.GetHostTable().GetHosts();
    auto hostName = [&](uint64_t key) {
        auto it = std::find(hosts.begin(), hosts.end(), reinterpret_cast<const HostAddress*>(key));
        return "h" + std::to_string(it - hosts.begin());
    };
    std::vector<std::string> rows;
    for (int number = 0; number < TAOPool::IndexCount; ++number) {
        const TAOIndex& index = pool.GetIndex(number);
        std::vector<std::string> elements;
        for (const auto& element : index.Ordered()) {
            std::vector<std::string> lists;
            for (const TAOList* list : element.lists) {
                std::string entries;
                for (const TAO* tao : list->Items())
                    entries += " " + std::to_string(pool.IndexOf(tao));
                lists.push_back("[" + entries + " ]");
            }
            if (!index.IsHostIndex()) std::sort(lists.begin(), lists.end());
            std::string text = index.IsHostIndex() ? hostName(element.key) : std::to_string(element.key);
            for (const std::string& list : lists)
                text += list;
            elements.push_back(text);
        }
        if (index.IsHostIndex()) std::sort(elements.begin(), elements.end());
        for (const std::string& element : elements)
            rows.push_back(std::string(index.GetMemberName()) + " " + element);
    }
    return rows;
}

// Indexes filed only when first asked for answer as those filed with every tuple on its way in:
// after removals from the middle of the list and from its end, keys sharing a bucket, and a pool
// emptied and filled again.
TEST_F(TuplePoolTest, IndexesFiledWhenFirstAskedForMatchThoseFiledAllAlong) {
    Environment filed(0);
    auto frame = [](const char* sourceIp, uint16_t dataLink, uint16_t session) {
        auto f = IpFrame("00:00:00:00:00:01", sourceIp, "00:00:00:00:00:09", "10.0.0.9");
        // Data links 1 and 18 share a bucket of the data-link index.
        f.ids[FrameView::DataLink] = dataLink;
        f.ids[FrameView::Session] = session;
        return f;
    };
    auto both = [&](const FakeFrame& f) {
        model.TupleForPacket(f);
        filed.TupleForPacket(f);
    };
    auto removeAt = [&](int position) {
        ASSERT_TRUE(pool.Remove(pool.GetList()[size_t(position)]));
        ASSERT_TRUE(filed.GetTuplePool().Remove(filed.GetTuplePool().GetList()[size_t(position)]));
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        filed.GetTuplePool().GetIndex(0);
        both(frame("10.0.0.1", 1, 0));
        both(frame("10.0.0.2", 18, 0));
        both(frame("10.0.0.3", 1, 5));
        both(frame("10.0.0.1", 18, 5));
        // The first tuple made the element of data link 1, which outlives it.
        removeAt(0);
        both(frame("10.0.0.4", 1, 0));
        removeAt(pool.GetCount() - 1);
        both(frame("10.0.0.5", 35, 5));
        EXPECT_EQ(Render(model), Render(filed));
        EXPECT_TRUE(pool.CheckIntegrity(true)) << IntegrityText();
        pool.Reset();
        filed.GetTuplePool().Reset();
    }
}

// A pool may hold tuples of one key (imports add without searching): the first by list order
// answers, and the next takes over when it leaves.
TEST_F(TuplePoolTest, EqualKeysAnswerInListOrder) {
    Tuple* stored =
        model.TupleForPacket(IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2"));
    const Tuple key(*stored, ShallowCopy, 0);
    std::vector<Tuple*> twins{stored};
    for (int i = 0; i < 2; ++i) {
        twins.push_back(new Tuple(key, ShallowCopy, 0));
        pool.Add(twins.back());
    }
    EXPECT_EQ(pool.FindEqual(key), stored);
    pool.Remove(twins[1]);
    EXPECT_EQ(pool.FindEqual(key), stored);
    pool.Remove(stored);
    EXPECT_EQ(pool.FindEqual(key), twins[2]);
    pool.Remove(twins[2]);
    EXPECT_EQ(pool.FindEqual(key), nullptr);
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
