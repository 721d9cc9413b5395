#include "ModelFixtures.h"
#include "netmodel/Environment.h"
#include "netmodel/IntegrityText.h"
#include "runtime/EngineGlobals.h"

#include <functional>
#include <gtest/gtest.h>
#include <regex>

namespace vq {

class HostTableTestAccess {
public:
    static std::vector<HostAddress*>& Hosts(HostTable& table) { return table.m_Hosts; }
    static HostIndexElementMAC& MacElement(HostTable& table, const HostAddress& host) {
        return *table.m_MacIndex.Find(host.GetMac().GetTableKey());
    }
    static HostIndexElementNetwork& IpElement(HostTable& table, const HostAddress& host) {
        return *table.m_IpIndex.Find(host.GetIp().GetTableKey());
    }
};

namespace {

using namespace test;
using Access = HostTableTestAccess;

std::string MaskPointers(std::string text) {
    return std::regex_replace(text, std::regex("0x[0-9a-f]+|\\(nil\\)"), "%p");
}

class ModelCheckTest : public ::testing::Test {
protected:
    ScopedEngineGlobals globals;
    Environment model{0};
    HostTable& hosts = model.GetHostTable();
    HostAddress* source = nullptr;
    HostAddress* destination = nullptr;

    void SetUp() override {
        Tuple* tuple =
            model.TupleForPacket(IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:02", "10.0.0.2"));
        source = tuple->GetSource();
        destination = tuple->GetDestination();
        ASSERT_TRUE(model.CheckIntegrity(0, true));
    }
};

TEST_F(ModelCheckTest, DumpsShowTheModel) {
    EXPECT_EQ(MaskPointers(hosts.Dump()),
              "HostTable (size 2)\n\nindex\tMAC\tIP\tIPX\taddress\t\tvalue(s)\n"
              "0\t\t1\t1\t-1\t%p\tMAC=00:00:00:00:00:01 (AUTH), IP=10.0.0.1 (AUTH)\n"
              "1\t\t0\t0\t-1\t%p\tMAC=00:00:00:00:00:02 (PROV), IP=10.0.0.2 (PROV)\n"
              "HostTable::m_MacIndex (size 2)\n\nindex\tsize\tlist...\n"
              "0\t2\t%p, %p\n1\t2\t%p, %p\n"
              "HostTable::m_IpIndex (size 2)\n\n0\t\tPROV[1]=%p \n1\t\tAUTH[1]=%p \n"
              "HostTable::m_IpxIndex (size 0)\n\n");
    const std::string pool = MaskPointers(model.GetTuplePool().Dump());
    EXPECT_EQ(
        pool.substr(0, pool.find("TuplePool::")),
        "TuplePool (size "
        "1)\n\nindex\tsrc\tdst\tif\tdata\tnetw\ttran\tsess\tpres\tappl\trefs\taddress\t\tvalue\n"
        "0\t\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t%p\tkey=KEY_NONE src=MAC=00:00:00:00:00:01 (AUTH), IP=10.0.0.1 "
        "(AUTH) dst=MAC=00:00:00:00:00:02 (PROV), IP=10.0.0.2 (PROV) if=0 data=1 netw=2\n");
    EXPECT_NE(pool.find("TuplePool::m_SourceIndex (size 1)\n\nindex\tsize\tlist...\n0\t\t1\t\t%p\n"),
              std::string::npos);
    EXPECT_NE(
        pool.find(
            "TuplePool::m_NetworkProtocolIndex (size 1)\n\nindex\tsize\tvalue\tlist...\n0\t\t1\t\t2\t\t%p\n"),
        std::string::npos);
}

TEST_F(ModelCheckTest, EachViolationLeavesItsText) {
    HostAddress stray;
    struct Case {
        const char* text;
        std::function<void()> corrupt;
        std::function<void()> repair;
    };
    const Case cases[] = {
        {"_BAD_ADDRESS for item 2 (no valid addressing)", [&] { Access::Hosts(hosts).push_back(&stray); },
         [&] { Access::Hosts(hosts).pop_back(); }},
        {"_BAD_IP_STATE for item 0 (state=9)", [&] { source->SetIpState(9); },
         [&] { source->SetIpState(HostAddress::AUTH); }},
        {"_MAC_LIST_SIZE index 1, 2 list items",
         [&] { Access::MacElement(hosts, *source).Primary().push_back(destination); },
         [&] { Access::MacElement(hosts, *source).Primary().pop_back(); }},
        {"_BAD_MAC_LIST_ITEM index 1 item 1",
         [&] { Access::MacElement(hosts, *source).IpList(source->GetIp().GetTableKey()).push_back(&stray); },
         [&] { Access::MacElement(hosts, *source).IpList(source->GetIp().GetTableKey()).pop_back(); }},
        {"_ITEM_MAC_SET index 1 item 1",
         [&] {
             Access::MacElement(hosts, *source).IpList(source->GetIp().GetTableKey()).push_back(destination);
         },
         [&] { Access::MacElement(hosts, *source).IpList(source->GetIp().GetTableKey()).pop_back(); }},
        {"_ITEM_IP_SET index 1 item 1",
         [&] {
             Access::IpElement(hosts, *source).List(HostIndexElementNetwork::Auth).push_back(destination);
         },
         [&] { Access::IpElement(hosts, *source).List(HostIndexElementNetwork::Auth).pop_back(); }},
        {"_BAD_IP_LIST_ITEM index 0 item 1",
         [&] {
             Access::IpElement(hosts, *destination).List(HostIndexElementNetwork::Prov).push_back(&stray);
         },
         [&] { Access::IpElement(hosts, *destination).List(HostIndexElementNetwork::Prov).pop_back(); }},
        {"_IP_LIST_SIZE index 0, 0 list items",
         [&] { Access::IpElement(hosts, *destination).List(HostIndexElementNetwork::Misrouted); },
         [&] {
             Access::IpElement(hosts, *destination).SetList(HostIndexElementNetwork::Misrouted, nullptr);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        c.corrupt();
        EXPECT_FALSE(model.CheckIntegrity(3, true));
        EXPECT_EQ(IntegrityText(), c.text);
        c.repair();
        EXPECT_TRUE(model.CheckIntegrity(3, true)) << IntegrityText();
    }
}

TEST_F(ModelCheckTest, MissingMacMarkAndAuthBesideProv) {
    Access::MacElement(hosts, *destination).Remove(destination);
    EXPECT_FALSE(hosts.CheckIntegrity(true));
    EXPECT_EQ(IntegrityText(), "_ITEM_MAC_MISSING 1");

    // An IP seen behind a router first, then from its own station: AUTH beside PROV passes.
    Environment other(0);
    other.TupleForPacket(IpFrame("00:00:00:00:00:01", "10.0.0.1", "00:00:00:00:00:09", "10.0.0.9"));
    other.TupleForPacket(IpFrame("00:00:00:00:00:09", "10.0.0.9", "00:00:00:00:00:05", "10.0.0.1"));
    EXPECT_TRUE(other.CheckIntegrity(0, true)) << IntegrityText();
}

TEST_F(ModelCheckTest, TuplePoolViolationsNameTheIndex) {
    size_t position = 0;
    Tuple* tuple = model.GetTuplePool().GetNextTuple(position);
    ASSERT_NE(tuple, nullptr);
    Tuple stray(uint8_t(0));
    std::vector<TAO*>& sources =
        const_cast<TAOList*>(model.GetTuplePool().GetIndex(TAOPool::SourceIndex).FindList(*tuple))
            ->MutableItems();
    sources.push_back(&stray);
    EXPECT_FALSE(model.CheckIntegrity(1, true));
    EXPECT_EQ(IntegrityText(), "_BAD_SOURCE_LIST_ELEMENT index 0 item 1");
    sources.back() = tuple;
    EXPECT_FALSE(model.CheckIntegrity(1, true));
    EXPECT_EQ(IntegrityText(), "_ELEMENT_SOURCE_SET index 0 item 0");
    sources.clear();
    EXPECT_FALSE(model.CheckIntegrity(1, true));
    EXPECT_EQ(IntegrityText(), "_ELEMENT_SOURCE_MISSING 0");
    sources.push_back(tuple);
    EXPECT_TRUE(model.CheckIntegrity(1, true)) << IntegrityText();
}

} // namespace
} // namespace vq
