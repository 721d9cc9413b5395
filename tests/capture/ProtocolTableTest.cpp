#include "capture/ProtocolTable.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace vq {
namespace {

class ProtocolTableTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAuxiliaryProtocols(); }
    void TearDown() override { ResetAuxiliaryProtocols(); }
};

TEST_F(ProtocolTableTest, RowsAndTheirExactNames) {
    ASSERT_EQ(ProtocolRows().size(), 198u);
    struct Case {
        int32_t row;
        const char* name;
    };
    const Case cases[] = {
        {1, "Token Ring"},
        {19, "IGMP (Internet Gateway Message Protocol)"},
        {47, "DNS (Domain Name Service)"},
        {78, "TIMED (time service) "},
        {177, "NetBIOS DMP TERMINATE_TRACE"},
        {196, "LDAP (Lightweight Directory Access Protocol"},
        {197, "SQL Server"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(GetProtocolName(c.row), c.name);
    }
    EXPECT_EQ(GetProtocolName(198), "");
    EXPECT_EQ(GetProtocolName(-1), "");
    EXPECT_EQ(GetProtocolName(200), "");
}

TEST_F(ProtocolTableTest, RowsThatNameADefaultHaveFlagBit8) {
    for (size_t index = 0; index < ProtocolRows().size(); ++index) {
        SCOPED_TRACE(index);
        const ProtocolRow& row = ProtocolRows()[index];
        EXPECT_EQ((row.flags & 256) != 0, row.defaultRow != 0);
    }
}

TEST_F(ProtocolTableTest, LookupFindsTheFirstRowOfTheLayerWhateverTheParent) {
    struct Case {
        int32_t number;
        int32_t layer;
        int32_t row;
        int32_t defaultRow;
    };
    const Case cases[] = {
        {0x0800, 5, 4, 0}, {2989, 5, 6, 146}, {0xFF18, 5, 15, 0}, {255, 4, 28, 152},
        {512, 3, 64, 0},   {514, 3, 66, 0},   {0x100, 2, 158, 0}, {1, 6, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        int32_t defaultRow = -99;
        EXPECT_EQ(LookupProtocol(c.number, c.layer, defaultRow), c.row);
        EXPECT_EQ(defaultRow, c.defaultRow);
    }
    EXPECT_EQ(GetProtocolName(158), "DNS QUERY");
}

TEST_F(ProtocolTableTest, MissingIdentifiersGetAuxiliaryRowsOnce) {
    int32_t defaultRow = 0;
    EXPECT_EQ(LookupProtocol(99, 4, defaultRow), 200);
    EXPECT_EQ(defaultRow, 152);
    EXPECT_EQ(GetProtocolName(200), "(protocol 99)");
    EXPECT_EQ(LookupProtocol(99, 4, defaultRow), 200);
    EXPECT_EQ(LookupProtocol(1, 3, defaultRow), 201);
    EXPECT_EQ(defaultRow, 153);
    EXPECT_EQ(LookupProtocol(99, 3, defaultRow), 202);
    EXPECT_EQ(LookupProtocol(7, 9, defaultRow), 203);
    EXPECT_EQ(defaultRow, -1);
    EXPECT_EQ(GetProtocolName(201), "(protocol 1)");
    EXPECT_EQ(GetProtocolName(204), "");
}

TEST_F(ProtocolTableTest, IndexMapsKeepTreePositionsApart) {
    std::map<int32_t, int32_t> byParentAndNumber, byTreePosition;
    EXPECT_EQ(BuildProtocolIndexMaps(byParentAndNumber, byTreePosition), 198);
    // Rows 117 and 142 share group 5, item 26: the later row wins.
    EXPECT_EQ(byTreePosition.size(), 197u);
    EXPECT_EQ(byTreePosition.at(ProtocolTreeKey(5, 26)), 142);
    for (size_t index = 0; index < ProtocolRows().size(); ++index) {
        const ProtocolRow& row = ProtocolRows()[index];
        if (index == 117) continue;
        EXPECT_EQ(byTreePosition.at(ProtocolTreeKey(row.group, row.item)), int32_t(index)) << index;
    }
    EXPECT_EQ(byParentAndNumber.at((4 << 16) + 6), 21);
    EXPECT_EQ(byParentAndNumber.at((23 << 16) + 514), 69);
}

TEST_F(ProtocolTableTest, ReadersOnOneThreadWhileAnotherAddsRows) {
    std::atomic<int32_t> added{0};
    std::thread monitor([&] {
        for (int32_t number = 20000; number < 22000; ++number) {
            int32_t defaultRow = 0;
            LookupProtocol(number, 3, defaultRow);
            added.store(number - 19999, std::memory_order_release);
        }
    });
    while (added.load(std::memory_order_acquire) < 2000) {
        int32_t count = added.load(std::memory_order_acquire);
        for (int32_t row = 200; row < 200 + count; row += 97)
            ASSERT_FALSE(GetProtocolName(row).empty()) << row;
        int32_t defaultRow = 0;
        LookupProtocol(20000, 3, defaultRow);
    }
    monitor.join();
    EXPECT_EQ(GetProtocolName(200 + 1999), "(protocol 21999)");
}

} // namespace
} // namespace vq
