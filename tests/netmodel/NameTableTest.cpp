#include "netmodel/IpAddressTable.h"
#include "netmodel/IpxAddressTable.h"
#include "netmodel/MacAddressTable.h"
#include "netmodel/NameRequestTable.h"
#include "netmodel/NbAddressTable.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

const uint8_t* Ip(const char* text) {
    static IpAddress parsed;
    parsed.SetText(text, false);
    return parsed.GetAddressBytes();
}

TEST(NameTable, DumpListsBucketsAscendingNewestFirst) {
    IpAddressTable table(false);
    EXPECT_EQ(table.Dump(), "NameTable (size 0)\n\nindex\t\taddress\tname\n\n");
    table.FindOrAdd(Ip("192.168.1.5"), false);
    table.FindOrAdd(Ip("10.0.0.1"), false);
    table.FindOrAdd(Ip("10.0.0.2"), false)->SetNameAt("two", 0);
    EXPECT_EQ(table.Dump(), "NameTable (size 3)\n\n"
                            "index\t\taddress\tname\n"
                            "0\t\t10.0.0.2\ttwo\n"
                            "1\t\t10.0.0.1\t10.0.0.1\n"
                            "2\t\t192.168.1.5\t192.168.1.5\n"
                            "\n");
    EXPECT_EQ(NameKeyBucket(IpAddress("10.0.0.1", false).GetTableKey()), 10u);
    EXPECT_EQ(NameKeyBucket(IpAddress("192.168.1.5", false).GetTableKey()), 16u);

    std::vector<std::string> seen;
    for (NameTable::Position position = table.GetStartPosition(); position != nullptr;)
        seen.push_back(table.GetNextEntry(position)->GetText());
    EXPECT_EQ(seen, (std::vector<std::string>{"10.0.0.2", "10.0.0.1", "192.168.1.5"}));
}

TEST(NameTable, FindOrAddFilesOnceAndNeverFilesTheInvalidAddress) {
    IpAddressTable table(false);
    IpAddress* first = table.FindOrAdd(Ip("10.1.2.3"), true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetOwner(), &table);
    EXPECT_EQ(first->GetKind(), IpAddress::Unicast);
    EXPECT_EQ(table.FindOrAdd(Ip("10.1.2.3"), true), first);
    EXPECT_EQ(table.Find(*first), first);
    const uint8_t zero[4] = {};
    EXPECT_EQ(table.FindOrAdd(zero, true), nullptr);
    EXPECT_EQ(table.FindOrAdd(nullptr, true), nullptr);
    EXPECT_EQ(table.GetCount(), 1);
}

TEST(NameTable, IpxAddressesDifferingInTheFirstNetworkBytesAreTwoEntries) {
    IpxAddressTable table;
    const IpxAddress a("1234abcd,00a0c9123456", false);
    const IpxAddress b("5678abcd,00a0c9123456", false);
    IpxAddress* filedA = table.FindOrAdd(a.GetAddressBytes(), false);
    IpxAddress* filedB = table.FindOrAdd(b.GetAddressBytes(), false);
    EXPECT_NE(filedA, filedB);
    EXPECT_EQ(table.GetCount(), 2);
    EXPECT_EQ(filedB->GetText(), "5678abcd,00a0c9123456");

    NbAddressTable names;
    const NbAddress one("WORKSTATION-ONE", false);
    const NbAddress two("WORKSTATION-TWO", false);
    EXPECT_NE(names.FindOrAdd(one.GetAddressBytes(), false), names.FindOrAdd(two.GetAddressBytes(), false));
}

// Run under ASan: every entry is deleted exactly once and none while still filed.
TEST(NameTable, AddOverAFiledKeyRemoveAndClearOwnWhatTheyShould) {
    MacAddressTable table;
    auto* old = new MacAddress("01:02:03:04:05:06", true);
    auto* newer = new MacAddress("01:02:03:04:05:06", true);
    EXPECT_TRUE(table.Add(old, false));
    EXPECT_TRUE(table.Add(newer, false));
    EXPECT_EQ(table.GetCount(), 1);
    EXPECT_EQ(table.Find(*old), newer);
    EXPECT_EQ(old->GetText(), "01:02:03:04:05:06"); // displaced, still alive

    EXPECT_TRUE(table.Add(old, false)); // back in its place: filed once, deleted once
    EXPECT_EQ(table.Find(*old), old);

    auto* removed = table.FindOrAdd(MacAddress("0a:0b:0c:0d:0e:0f", true).GetAddressBytes(), false);
    EXPECT_TRUE(table.Remove(removed));
    EXPECT_FALSE(table.Remove(removed));
    EXPECT_EQ(table.Find(*removed), nullptr);
    delete removed; // unfiled objects are the caller's

    table.Add(&MacAddress::Invalid(), false); // shared: never owned, never deleted
    EXPECT_EQ(MacAddress::Invalid().GetOwner(), nullptr);
    table.Clear(false);
    EXPECT_EQ(table.GetCount(), 0);
    EXPECT_EQ(table.GetStartPosition(), nullptr);

    EXPECT_NE(table.FindOrAdd(MacAddress("01:02:03:04:05:06", true).GetAddressBytes(), false), nullptr);
    EXPECT_EQ(table.GetCount(), 1); // usable again after a clear; the destructor deletes the rest
}

TEST(NameTable, OnlyTheIpTableEverHasLookUps) {
    MacAddressTable mac(true);
    IpxAddressTable ipx(true);
    mac.SetLookup(true);
    ipx.SetLookup(true);
    EXPECT_EQ(mac.GetRequestTable(), nullptr);
    EXPECT_EQ(ipx.GetRequestTable(), nullptr);
    MacAddress* address = mac.FindOrAdd(MacAddress("01:02:03:04:05:06", true).GetAddressBytes(), true);
    EXPECT_EQ(address->GetLookupState(), NameEntry::LookupNone);
    EXPECT_FALSE(mac.OnReply(1, 0));

    IpAddressTable off(false);
    EXPECT_EQ(off.GetRequestTable(), nullptr);
    EXPECT_EQ(off.FindOrAdd(Ip("10.0.0.1"), true)->GetLookupState(), NameEntry::LookupNone);
}

} // namespace
} // namespace vq
