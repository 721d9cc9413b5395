#include "ReportCollector.h"
#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "netmodel/NbAddress.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(NameEntry, NamesAndDisplayText) {
    IpAddress address("10.0.0.1", true);
    EXPECT_EQ(address.GetName(0), "10.0.0.1");
    EXPECT_EQ(address.GetDisplayText(3), "10.0.0.1(10.0.0.1)");
    EXPECT_EQ(address.GetNameAt(0), "");

    address.SetNameAt("gw", 5); // no names yet: appended whatever the index
    address.AddAlias("router");
    EXPECT_EQ(address.GetName(0), "gw");
    EXPECT_EQ(address.GetName(1), "router");
    EXPECT_EQ(address.GetName(2), "10.0.0.1");
    EXPECT_EQ(address.GetName(-1), "10.0.0.1");
    EXPECT_EQ(address.GetNameAt(7), "");
    EXPECT_EQ(address.GetDisplayText(3), "gw(10.0.0.1)");
    EXPECT_EQ(address.GetDisplayText(7), "gw(10.0.0.1)");
    EXPECT_EQ(address.GetDisplayText(1), "10.0.0.1");
    EXPECT_EQ(address.GetDisplayText(0), "10.0.0.1");

    address.SetNameAt("gateway", 0);
    address.SetNameAt("ignored", 9);
    EXPECT_EQ(address.GetNameCount(), 2);
    EXPECT_EQ(address.GetName(0), "gateway");
}

TEST(NameEntry, CopiesTakeNamesAndStateButNotOwnership) {
    IpAddress address("10.0.0.1", true);
    address.SetNameAt("gw", 0);
    address.SetLookupState(NameEntry::LookupResolved);
    int holder = 0;
    address.Adopt(&holder);

    IpAddress copy(address);
    EXPECT_EQ(copy.GetName(0), "gw");
    EXPECT_EQ(copy.GetLookupState(), NameEntry::LookupResolved);
    EXPECT_EQ(copy.GetOwner(), nullptr);

    IpAddress fromInvalid(IpAddress::Invalid());
    EXPECT_EQ(fromInvalid.GetLookupState(), NameEntry::LookupInvalid);
    EXPECT_EQ(fromInvalid.GetNameCount(), 0);
    EXPECT_EQ(fromInvalid.GetObjectState(), ObjectNormal);

    copy = IpAddress::Invalid();
    EXPECT_FALSE(copy.IsValid());
    EXPECT_EQ(copy.GetNameCount(), 0);
}

TEST(NameEntry, InvalidConstants) {
    struct Case {
        NameEntry& entry;
        const char* text;
    };
    const Case cases[] = {
        {MacAddress::Invalid(), "00:00:00:00:00:00"},
        {IpAddress::Invalid(), "0.0.0.0"},
        {IpxAddress::Invalid(), "00000000,000000000000"},
        {NbAddress::Invalid(), "000000000000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.entry.GetText(), c.text);
        EXPECT_EQ(c.entry.GetName(0), "unknown");
        EXPECT_FALSE(c.entry.IsValid());
        EXPECT_EQ(c.entry.GetObjectState(), ObjectConstant);
        c.entry.Adopt(&c);
        EXPECT_EQ(c.entry.GetOwner(), nullptr); // constants are never owned
    }
    MacAddress mac("01:02:03:04:05:06", true);
    mac.SetBytes(nullptr, true);
    EXPECT_FALSE(mac.IsValid());
}

TEST(SafeObject, OwnershipAndEnumerationTexts) {
    auto* address = new MacAddress("01:02:03:04:05:06", true);
    int holder = 0;
    int other = 0;
    address->Adopt(&holder);
    address->Adopt(&other);
    EXPECT_EQ(address->GetOwner(), &holder);
    MacAddress* kept = address;
    ReleaseOwned(kept, &other); // not the owner: nothing deleted
    EXPECT_EQ(kept, nullptr);
    ReleaseOwned(address, &holder);
    EXPECT_EQ(address, nullptr);

    EXPECT_STREQ(ObjectStateText(ObjectConstant), "ObjectConstant");
    EXPECT_STREQ(ObjectStateText(4), "error");
    EXPECT_STREQ(CopyModeText(PointerAssignment), "PointerAssignment");
    EXPECT_STREQ(CopyModeText(-1), "error");
    EXPECT_STREQ(UpdateModeText(DeepUpdate), "DeepUpdate");
    EXPECT_STREQ(UpdateModeText(3), "error");
}

TEST(IsValidHostName, Cases) {
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[] = {
        {"a", true},
        {"host name 15 ch", true},
        {"host name 16 chr", false},
        {std::string(253, 'a'), true},
        {std::string(254, 'a'), false},
        {"-host", false},
        {"", false},
        {"gw.example-net_1.local", true},
        {"h\xc3\xa9te", false},
        {"\xc3\xa9tape", false},
        {"longer.name/with.slash", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsValidHostName(c.text.c_str()), c.valid);
    }
    EXPECT_FALSE(IsValidHostName(nullptr));
}

TEST(CheckError, EveryCodeGivesItsResultRetryAndReport) {
    struct Case {
        uint32_t code;
        bool success;
        bool retry;
        const char* report;
    };
    const Case cases[] = {
        {0, true, false, ""},
        {10035, false, true, ""},
        {10036, false, true, ""},
        {10050, false, true, ""},
        {11002, false, true, ""},
        {10004, false, false, ""},
        {11001, false, false, ""},
        {11003, false, false, ""},
        {11004, false, false, ""},
        {10014, false, false, "WSAEFAULT: addr or buf is not in a valid part of the process address space"},
        {10047, false, false, "WSAEAFNOSUPPORT: address family not supported"},
        {10055, false, false, "WSAENOBUFS: buffer space too small (16 bytes required)"},
        {10093, false, false, "WSANOTINITIALISED: WSAStartup() not run or was not successful"},
        {12345, false, false, "Unexpected WSAGETASYNCERROR result: 12345"},
    };
    test::ReportCollector collector;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const LookupErrorVerdict verdict = JudgeLookupError(c.code << 16 | 16);
        EXPECT_EQ(verdict.success, c.success);
        EXPECT_EQ(verdict.retry, c.retry);
        EXPECT_EQ(verdict.report, c.report);
        bool retry = !c.retry;
        EXPECT_EQ(NameEntry::CheckError(c.code << 16 | 16, retry), c.success);
        EXPECT_EQ(retry, c.retry);
        const auto reports = collector.Take();
        if (*c.report == '\0')
            EXPECT_TRUE(reports.empty());
        else
            EXPECT_EQ(reports, (std::vector<test::Report>{{7, c.report, "NameEntry", "CheckError"}}));
    }
}

} // namespace
} // namespace vq
