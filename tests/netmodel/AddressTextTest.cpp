#include "ReportCollector.h"
#include "netmodel/IpAddress.h"
#include "netmodel/IpxAddress.h"
#include "netmodel/MacAddress.h"
#include "netmodel/NbAddress.h"
#include "platform/net/FakeResolver.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

namespace vq {
namespace {

const char* Shown(const char* text) {
    return text != nullptr ? text : "(null)";
}

TEST(MacAddressText, ParsesTheAcceptedFormsAndRejectsMalformedText) {
    struct Case {
        const char* text;
        bool ok;
        const char* printed;
    };
    const Case cases[] = {
        {"0180c2000000", true, "01:80:c2:00:00:00"},
        {"01:80:c2:00:00:00", true, "01:80:c2:00:00:00"},
        {"01-80-C2-0-0-0", true, "01:80:c2:00:00:00"},
        {"01 80 c2 00 00 00", true, "01:80:c2:00:00:00"},
        {"  0a:0b:0c:0d:0e:0f trailing", true, "0a:0b:0c:0d:0e:0f"},
        {"0a:0b:0c:0d:0e:f", true, "0a:0b:0c:0d:0e:0f"},
        {"0180c2000000abcdef", true, "01:80:c2:00:00:00"}, // 13 or more digits: the first 12
        {"01:80:c2", false, "00:00:00:00:00:00"},
        {"0180c2", false, "00:00:00:00:00:00"},
        {"zz:80:c2:00:00:00", false, "00:00:00:00:00:00"},
        {"", false, "00:00:00:00:00:00"},
        {"   ", false, "00:00:00:00:00:00"},
        {nullptr, false, "00:00:00:00:00:00"},
    };
    const uint8_t start[6] = {1, 2, 3, 4, 5, 6};
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.text));
        MacAddress address(start, false);
        address.SetLookupState(NameEntry::LookupResolved);
        EXPECT_EQ(address.SetText(c.text, true), c.ok);
        EXPECT_EQ(address.GetText(), c.printed);
        EXPECT_EQ(address.GetLookupState(), NameEntry::LookupResolved); // parsing never touches it
    }
}

TEST(IpAddressText, ParsesExactlyFourFieldsAndNeverResolvesDottedText) {
    auto resolver = std::make_shared<net::FakeResolver>();
    net::ScopedResolver scoped(resolver);
    struct Case {
        const char* text;
        bool ok;
        const char* printed;
        int state;
    };
    const Case cases[] = {
        {"10.1.2.3", true, "10.1.2.3", 0},
        {"  10.1.2.3", true, "10.1.2.3", 0},
        {"10.1.2.3 and more words", true, "10.1.2.3", 0},
        {"255.255.255.255", true, "255.255.255.255", 0},
        {"localhost", true, "127.0.0.1", 0},
        {"", true, "127.0.0.1", 0},
        {nullptr, true, "127.0.0.1", 0},
        {"10.1.2.300", false, "0.0.0.0", -1},
        {"10.1", false, "0.0.0.0", -1},
        {"1.2.3.4.5", false, "0.0.0.0", -1},
        {"10..2.3", false, "0.0.0.0", -1},
        {"10.1.2.", false, "0.0.0.0", -1},
        {".10.1.2", false, "0.0.0.0", -1},
        {"99999999999999999999.1.1.1", false, "0.0.0.0", -1},
        {"0.0.0.0", false, "0.0.0.0", -1},
        {"   ", false, "0.0.0.0", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.text));
        IpAddress address;
        EXPECT_EQ(address.SetText(c.text, true), c.ok);
        EXPECT_EQ(address.GetText(), c.printed);
        EXPECT_EQ(address.GetLookupState(), c.state);
    }
    EXPECT_EQ(resolver->HostCalls(), 0);
}

TEST(IpAddressText, ResolvesNamesThroughTheResolver) {
    auto resolver = std::make_shared<net::FakeResolver>();
    resolver->AddHost("gateway", {{{10, 0, 0, 1}}, {{10, 0, 0, 2}}}, {"gw", "router"});
    resolver->SetNameCode("flaky", 11002);
    net::ScopedResolver scoped(resolver);
    test::ReportCollector collector;

    IpAddress found("gateway extra", true);
    EXPECT_EQ(collector.Take(),
              (std::vector<test::Report>{{3, "blocking call to gethostbyname()\n", "IpAddress", "Set"}}));
    EXPECT_EQ(found.GetText(), "10.0.0.1");
    EXPECT_EQ(found.GetLookupState(), NameEntry::LookupResolved);
    EXPECT_EQ(found.GetKind(), IpAddress::Unicast);
    ASSERT_EQ(found.GetNameCount(), 3);
    EXPECT_EQ(found.GetNameAt(0), "gateway");
    EXPECT_EQ(found.GetNameAt(2), "router");

    for (const char* name : {"nowhere", "flaky"}) {
        SCOPED_TRACE(name);
        IpAddress missing;
        EXPECT_FALSE(missing.SetText(name, true));
        EXPECT_EQ(missing.GetText(), "0.0.0.0");
        EXPECT_EQ(missing.GetLookupState(), NameEntry::LookupInvalid);
        EXPECT_EQ(missing.GetNameCount(), 0);
        EXPECT_EQ(collector.Take().size(), 1u); // the notice alone: an unknown name is no fault
    }
}

TEST(IpxAddressText, ParsesNetworkAndNodeOfExactLength) {
    struct Case {
        const char* text;
        bool ok;
        const char* printed;
    };
    const Case cases[] = {
        {"?", true, "00000000,000000000000"},
        {"", true, "00000000,000000000000"},
        {nullptr, true, "00000000,000000000000"},
        {"0000002a,00a0c9123456", true, "0000002a,00a0c9123456"},
        {"  0000002A:00A0C9123456;", true, "0000002a,00a0c9123456"},
        {"00a0c9123456", true, "00000000,00a0c9123456"},
        {"0000002a00a0c9123456", true, "0000002a,00a0c9123456"},
        {"2a,00a0c9123456", false, "00000000,000000000000"},
        {"0000002a,00a0c912345", false, "00000000,000000000000"},
        {"0000002a,00a0c91234567", false, "00000000,000000000000"},
        {"0000002a,00a0c9-123456", false, "00000000,000000000000"},
        {"00a0c912345", false, "00000000,000000000000"},
        {"00a0c9-12345", false, "00000000,000000000000"},
        {"--", false, "00000000,000000000000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Shown(c.text));
        IpxAddress address;
        EXPECT_EQ(address.SetText(c.text, true), c.ok);
        EXPECT_EQ(address.GetText(), c.printed);
    }
}

TEST(NbAddressText, PadsToFifteenCharactersAndKeepsTheSuffix) {
    uint8_t bytes[16];
    std::memset(bytes, 'A', sizeof bytes);
    bytes[15] = 0x20;
    NbAddress address(bytes, false);
    EXPECT_EQ(address.GetText(), std::string(15, 'A') + " ");

    EXPECT_TRUE(address.SetText("SERVER", false));
    EXPECT_EQ(address.GetText(), "SERVER          ");
    EXPECT_EQ(address.GetName(0), "SERVER          ");
    EXPECT_EQ(address.GetAddressBytes()[15], 0x20);

    EXPECT_TRUE(address.SetText("", false));
    EXPECT_EQ(address.GetAddressBytes()[0], '?');

    EXPECT_FALSE(address.SetText("SIXTEEN-LETTERS!", false));
    EXPECT_EQ(address.GetAddressBytes()[0], '?'); // nothing written

    bytes[15] = 0;
    bytes[3] = 0;
    EXPECT_EQ(NbAddress(bytes, false).GetText(), "AAA");
}

TEST(AddressText, PrintedFormsParseBackToTheSameBytesAndKind) {
    std::mt19937 random(12345);
    auto fill = [&](uint8_t* bytes, int count) {
        for (int i = 0; i < count; ++i)
            bytes[i] = static_cast<uint8_t>(random());
    };
    for (int round = 0; round < 2000; ++round) {
        uint8_t bytes[16];
        fill(bytes, 16);
        if (round % 7 == 0) std::memset(bytes + 4, 0xFF, 6); // IPX broadcast nodes and MAC broadcasts
        if (round % 11 == 0) bytes[3] = 255;

        MacAddress mac(bytes, true);
        MacAddress macBack(mac.GetText().c_str(), true);
        EXPECT_EQ(macBack, mac);
        EXPECT_EQ(macBack.GetKind(), mac.GetKind());

        IpAddress ip(bytes, true);
        IpAddress ipBack(ip.GetText().c_str(), true);
        EXPECT_TRUE(ipBack.IsEqual(ip)) << ip.GetText();
        EXPECT_EQ(ipBack.GetKind(), ip.GetKind());

        IpxAddress ipx(bytes, true);
        IpxAddress ipxBack(ipx.GetText().c_str(), true);
        EXPECT_EQ(ipxBack, ipx) << ipx.GetText();
        EXPECT_EQ(ipxBack.GetKind(), ipx.GetKind());

        for (int i = 0; i < 15; ++i)
            bytes[i] = static_cast<uint8_t>('!' + random() % 94);
        NbAddress nb(bytes, false);
        NbAddress nbBack(bytes, false);
        std::string name(reinterpret_cast<const char*>(bytes), 15);
        EXPECT_TRUE(nbBack.SetText(name.c_str(), false));
        EXPECT_EQ(nbBack, nb);
    }
}

} // namespace
} // namespace vq
