#include "platform/registry/Registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace vq {
namespace {

const std::string kCards = "Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
const std::string kInterfaces = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

std::string StringValue(RegistryKey key, const std::string& name) {
    char buffer[512] = {};
    uint32_t size = sizeof buffer, type = 0;
    EXPECT_EQ(RegQueryValueEx(key, name, &type, reinterpret_cast<uint8_t*>(buffer), &size), kRegistrySuccess);
    EXPECT_EQ(type, kRegistryString);
    return buffer;
}

std::vector<std::string> MultiValue(RegistryKey key, const std::string& name) {
    char buffer[512] = {};
    uint32_t size = sizeof buffer, type = 0;
    EXPECT_EQ(RegQueryValueEx(key, name, &type, reinterpret_cast<uint8_t*>(buffer), &size), kRegistrySuccess);
    EXPECT_EQ(type, kRegistryMultiString);
    std::vector<std::string> texts;
    for (const char* text = buffer; *text; text += std::strlen(text) + 1)
        texts.push_back(text);
    return texts;
}

struct Card {
    std::string description, service;
    uint32_t hidden;
    std::vector<std::string> ips, masks;
};

std::vector<Card> ReadCards() {
    std::vector<Card> cards;
    RegistryKey base;
    if (RegOpenKeyEx(kRegistryLocalMachine, kCards, &base) != kRegistrySuccess) return cards;
    uint32_t count = 0;
    EXPECT_EQ(RegQueryInfoKey(base, &count, nullptr), kRegistrySuccess);
    for (uint32_t i = 0;; ++i) {
        char name[64];
        uint32_t size = sizeof name;
        long result = RegEnumKeyEx(base, i, name, &size);
        if (result == kRegistryNoMoreItems) break;
        EXPECT_EQ(result, kRegistrySuccess);
        RegistryKey card = nullptr;
        if (RegOpenKeyEx(base, name, &card) != kRegistrySuccess) {
            ADD_FAILURE() << "card " << name << " cannot be opened";
            continue;
        }
        Card read{StringValue(card, "Description"), StringValue(card, "ServiceName"), 0, {}, {}};
        uint32_t type = 0, bytes = 4;
        EXPECT_EQ(RegQueryValueEx(card, "Hidden", &type, reinterpret_cast<uint8_t*>(&read.hidden), &bytes),
                  0);
        EXPECT_EQ(type, kRegistryDword);
        RegCloseKey(card);
        RegistryKey interface = nullptr;
        // Each open from the machine root reads the interfaces afresh: the live capture tests'
        // veth pairs may be gone by now, and the callers ignore them anyway.
        if (RegOpenKeyEx(kRegistryLocalMachine, kInterfaces + read.service, &interface) != kRegistrySuccess) {
            EXPECT_TRUE(read.service.starts_with("vq")) << read.service;
            --count;
            continue;
        }
        read.ips = MultiValue(interface, "IPAddress");
        read.masks = MultiValue(interface, "SubnetMask");
        RegCloseKey(interface);
        cards.push_back(read);
    }
    EXPECT_EQ(cards.size(), count);
    RegCloseKey(base);
    return cards;
}

std::string MaskText(int length) {
    uint32_t mask = length == 0 ? 0 : ~0u << (32 - length);
    return std::to_string(mask >> 24) + "." + std::to_string(mask >> 16 & 255) + "." +
           std::to_string(mask >> 8 & 255) + "." + std::to_string(mask & 255);
}

TEST(MachineRegistry, ListsEveryInterfaceInIndexOrderWithItsIpv4Addresses) {
    SetMachineAdapterList(std::nullopt);
    unsetenv("VQ_ADAPTERS");
    // The interfaces as iproute2 sees them: "index: name inet a.b.c.d/len ...".
    std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> expected;
    std::vector<std::string> order;
    FILE* pipe = popen("ip -o link show; ip -4 -o addr show", "r");
    ASSERT_TRUE(pipe);
    char line[1024];
    while (fgets(line, sizeof line, pipe)) {
        std::istringstream words(line);
        std::string index, name, kind;
        words >> index >> name >> kind;
        name = name.substr(0, name.find_first_of(":@"));
        if (name.starts_with("vq")) continue; // the live capture tests' veth pairs come and go
        if (kind == "inet") {
            std::string address;
            words >> address;
            expected[name].first.push_back(address.substr(0, address.find('/')));
            expected[name].second.push_back(MaskText(std::stoi(address.substr(address.find('/') + 1))));
        } else {
            order.push_back(name);
        }
    }
    pclose(pipe);

    auto cards = ReadCards();
    std::erase_if(cards, [](const Card& card) { return card.service.starts_with("vq"); });
    ASSERT_EQ(cards.size(), order.size());
    for (size_t i = 0; i < cards.size(); ++i) {
        SCOPED_TRACE(order[i]);
        EXPECT_EQ(cards[i].service, order[i]);
        EXPECT_TRUE(cards[i].description.starts_with(order[i]));
        std::ifstream type("/sys/class/net/" + order[i] + "/type");
        std::string typeText;
        type >> typeText;
        EXPECT_EQ(cards[i].hidden, order[i] == "lo" || typeText != "1" ? 1u : 0u);
        EXPECT_EQ(cards[i].ips, expected[order[i]].first);
        EXPECT_EQ(cards[i].masks, expected[order[i]].second);
    }
}

TEST(MachineRegistry, AnAdapterListReplacesTheEnumeration) {
    setenv("VQ_ADAPTERS",
           "\\Device\\replay:/tmp/a.pcap?ip=10.1.2.3/20&pace=1\n\n\\Device\\replay:/tmp/b.snoop\r\n", 1);
    auto cards = ReadCards();
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].service, "replay:/tmp/a.pcap?ip=10.1.2.3/20&pace=1");
    EXPECT_EQ(cards[0].description, "/tmp/a.pcap (replay)");
    EXPECT_EQ(cards[0].hidden, 0u);
    EXPECT_EQ(cards[0].ips, std::vector<std::string>{"10.1.2.3"});
    EXPECT_EQ(cards[0].masks, std::vector<std::string>{"255.255.240.0"});
    EXPECT_EQ(cards[1].service, "replay:/tmp/b.snoop");
    EXPECT_TRUE(cards[1].ips.empty()) << "present and empty without an address";

    // The list set in the process wins over the environment.
    SetMachineAdapterList(std::vector<std::string>{"\\Device\\replay:/x.pcap"});
    cards = ReadCards();
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].service, "replay:/x.pcap");
    SetMachineAdapterList(std::vector<std::string>{});
    EXPECT_TRUE(ReadCards().empty());
    SetMachineAdapterList(std::nullopt);
    unsetenv("VQ_ADAPTERS");
}

TEST(MachineRegistry, CallsAnswerAsTheReadersExpect) {
    SetMachineBranchOverride(
        MachineBranchOverride{{{"Card with a long description", "svc", false, {}, {}}}, true});
    RegistryKey cards;
    ASSERT_EQ(RegOpenKeyEx(kRegistryLocalMachine,
                           "software\\MICROSOFT\\windows nt\\CurrentVersion\\NetworkCards", &cards),
              kRegistrySuccess)
        << "paths ignore case";
    char name[2];
    uint32_t size = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(cards, 0, name, &size), kRegistrySuccess);
    EXPECT_STREQ(name, "1");
    EXPECT_EQ(RegEnumKeyEx(cards, 1, name, &size), kRegistryNoMoreItems);
    RegistryKey card;
    ASSERT_EQ(RegOpenKeyEx(cards, "1", &card), kRegistrySuccess);
    uint8_t small[4];
    uint32_t bytes = sizeof small, type = 0;
    EXPECT_EQ(RegQueryValueEx(card, "Description", &type, small, &bytes), kRegistryMoreData);
    EXPECT_EQ(bytes, 29u) << "the size needed, terminator included";
    EXPECT_EQ(RegQueryValueEx(card, "Manufacturer", &type, small, &bytes), kRegistryFileNotFound);
    char valueName[32];
    uint32_t nameSize = sizeof valueName;
    bytes = sizeof small;
    EXPECT_EQ(RegEnumValue(card, 2, valueName, &nameSize, &type, small, &bytes), kRegistrySuccess);
    EXPECT_STREQ(valueName, "Hidden");
    EXPECT_EQ(type, kRegistryDword);
    nameSize = sizeof valueName;
    EXPECT_EQ(RegEnumValue(card, 3, valueName, &nameSize, &type, small, &bytes), kRegistryNoMoreItems);
    RegCloseKey(card);
    RegCloseKey(cards);
    RegistryKey missing;
    EXPECT_EQ(RegOpenKeyEx(kRegistryLocalMachine, "Software\\Nothing", &missing), kRegistryFileNotFound);

    SetMachineBranchOverride(MachineBranchOverride{{}, false});
    EXPECT_EQ(RegOpenKeyEx(kRegistryLocalMachine, kCards, &cards), kRegistryFileNotFound);
    SetMachineBranchOverride(std::nullopt);
}

} // namespace
} // namespace vq
