#include "platform/registry/Registry.h"

#include "platform/packet/DeviceName.h"
#include "platform/packet/LiveSource.h"
#include "platform/registry/RegistryTree.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ifaddrs.h>
#include <map>
#include <memory>
#include <mutex>
#include <net/if.h>
#include <netinet/in.h>
#include <strings.h>

namespace vq {

namespace {

constexpr const char* kNetworkCards = "Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kTcpipInterfaces = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

std::mutex overrideMutex;
std::optional<std::vector<std::string>> adapterList;
std::optional<MachineBranchOverride> branchOverride;

RegistryNode& AddPath(RegistryNode& root, const std::string& path) {
    RegistryNode* node = &root;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        node = &node->Add(path.substr(start, end - start));
        start = end + 1;
    }
    return *node;
}

std::vector<uint8_t> StringBytes(const std::string& text) {
    return {text.c_str(), text.c_str() + text.size() + 1};
}

std::vector<uint8_t> MultiStringBytes(const std::vector<std::string>& texts) {
    std::vector<uint8_t> bytes;
    for (const auto& text : texts)
        bytes.insert(bytes.end(), text.c_str(), text.c_str() + text.size() + 1);
    bytes.push_back(0);
    return bytes;
}

std::vector<uint8_t> DwordBytes(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
}

std::string Ipv4Text(uint32_t hostOrder) {
    in_addr address{htonl(hostOrder)};
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

std::string ReadLine(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

using AddressMap = std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>>;

AddressMap Ipv4Addresses() {
    AddressMap addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return addresses;
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_netmask) continue;
        auto& [ips, masks] = addresses[entry->ifa_name];
        ips.push_back(Ipv4Text(ntohl(reinterpret_cast<sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr)));
        masks.push_back(Ipv4Text(ntohl(reinterpret_cast<sockaddr_in*>(entry->ifa_netmask)->sin_addr.s_addr)));
    }
    freeifaddrs(list);
    return addresses;
}

MachineAdapter LiveAdapter(const std::string& interfaceName, const AddressMap& addresses) {
    MachineAdapter adapter;
    std::string driver = ReadDriverName(interfaceName);
    adapter.description = driver.empty() ? interfaceName : interfaceName + " (" + driver + ")";
    adapter.serviceName = interfaceName;
    if (auto found = addresses.find(interfaceName); found != addresses.end()) {
        adapter.ipAddresses = found->second.first;
        adapter.subnetMasks = found->second.second;
    }
    return adapter;
}

std::vector<MachineAdapter> EnumerateInterfaces() {
    struct Interface {
        long index;
        std::string name;
        bool hidden;
    };
    std::vector<Interface> interfaces;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/class/net", error)) {
        std::string name = entry.path().filename().string();
        long index = std::strtol(ReadLine(entry.path() / "ifindex").c_str(), nullptr, 10);
        std::string type = ReadLine(entry.path() / "type");
        long flags = std::strtol(ReadLine(entry.path() / "flags").c_str(), nullptr, 16);
        interfaces.push_back({index, name, type != "1" || (flags & IFF_LOOPBACK) != 0});
    }
    std::sort(interfaces.begin(), interfaces.end(), [](auto& a, auto& b) { return a.index < b.index; });
    AddressMap addresses = Ipv4Addresses();
    std::vector<MachineAdapter> adapters;
    for (const auto& interface : interfaces) {
        adapters.push_back(LiveAdapter(interface.name, addresses));
        adapters.back().hidden = interface.hidden;
    }
    return adapters;
}

std::vector<MachineAdapter> ListedAdapters(const std::vector<std::string>& deviceNames) {
    AddressMap addresses = Ipv4Addresses();
    std::vector<MachineAdapter> adapters;
    for (const auto& deviceName : deviceNames) {
        std::string name = deviceName.starts_with(DeviceName::kPrefix)
                               ? deviceName
                               : std::string(DeviceName::kPrefix) + deviceName;
        std::string serviceName = name.substr(DeviceName::kPrefix.size());
        auto device = DeviceName::Parse(name);
        if (device && !device->IsReplay()) {
            adapters.push_back(LiveAdapter(device->InterfaceName(), addresses));
            continue;
        }
        MachineAdapter adapter;
        adapter.serviceName = serviceName;
        adapter.description = (device ? device->Path() : serviceName) + " (replay)";
        if (device && device->Options().ip) {
            int length = device->Options().prefixLength;
            uint32_t mask = length == 0 ? 0 : ~uint32_t(0) << (32 - length);
            adapter.ipAddresses.push_back(Ipv4Text(*device->Options().ip));
            adapter.subnetMasks.push_back(Ipv4Text(mask));
        }
        adapters.push_back(adapter);
    }
    return adapters;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

std::shared_ptr<RegistryNode> BuildMachineBranch() {
    std::optional<MachineBranchOverride> branch;
    {
        std::lock_guard lock(overrideMutex);
        branch = branchOverride;
    }
    bool readable = !branch || branch->readable;
    std::vector<MachineAdapter> adapters = branch ? branch->adapters : ListMachineAdapters();
    auto root = std::make_shared<RegistryNode>();
    RegistryNode& interfaces = AddPath(*root, kTcpipInterfaces);
    if (!readable) return root;
    RegistryNode& cards = AddPath(*root, kNetworkCards);
    int number = 0;
    for (const auto& adapter : adapters) {
        RegistryNode& card = cards.Add(std::to_string(++number));
        card.values.push_back({"Description", kRegistryString, StringBytes(adapter.description)});
        card.values.push_back({"ServiceName", kRegistryString, StringBytes(adapter.serviceName)});
        card.values.push_back({"Hidden", kRegistryDword, DwordBytes(adapter.hidden ? 1 : 0)});
        RegistryNode& interface = interfaces.Add(adapter.serviceName);
        interface.values.push_back(
            {"IPAddress", kRegistryMultiString, MultiStringBytes(adapter.ipAddresses)});
        interface.values.push_back(
            {"SubnetMask", kRegistryMultiString, MultiStringBytes(adapter.subnetMasks)});
    }
    return root;
}

std::vector<MachineAdapter> ListMachineAdapters() {
    std::optional<std::vector<std::string>> list;
    {
        std::lock_guard lock(overrideMutex);
        list = adapterList;
    }
    if (!list) {
        if (const char* variable = std::getenv("VQ_ADAPTERS")) list = SplitLines(variable);
    }
    return list ? ListedAdapters(*list) : EnumerateInterfaces();
}

void SetMachineAdapterList(std::optional<std::vector<std::string>> deviceNames) {
    std::lock_guard lock(overrideMutex);
    adapterList = std::move(deviceNames);
}

void SetMachineBranchOverride(std::optional<MachineBranchOverride> branch) {
    std::lock_guard lock(overrideMutex);
    branchOverride = std::move(branch);
}

} // namespace vq
