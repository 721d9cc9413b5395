#include "capture/RegistryNdis.h"

#include "capture/CaptureReports.h"
#include "platform/core/Format.h"

namespace vq {
namespace {

constexpr const char* kNetworkCards = "Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
constexpr const char* kOpenLocation = "in RegistryNdis::Open";

} // namespace

RegistryNdis::RegistryNdis(AdapterSet* set, CaptureReports& reports, std::string basePath)
    : Registry(reports, std::move(basePath)), set_(set) {}

RegistryNdis::~RegistryNdis() {
    RegistryNdis::Close();
}

bool RegistryNdis::Open() {
    if (!Registry::Open()) return false;
    auto count = CountSubkeys(key_, kOpenLocation);
    if (!count) return false;
    if (*count == 0) {
        reports_.Report(3, "no subkeys!", "RegistryNdis", "Open");
        return false;
    }
    keys_.assign(*count, nullptr);
    found_ = 0;
    next_ = 0;
    for (uint32_t i = 0; found_ < static_cast<int>(keys_.size()); ++i) {
        std::string name;
        if (EnumKey(key_, i, name, kOpenLocation) != kRegistrySuccess) break;
        if (RegistryKey subkey = OpenKey(key_, name, kOpenLocation)) AddDevices(subkey);
    }
    return true;
}

void RegistryNdis::Close() {
    for (RegistryKey& key : keys_) {
        if (key) RegCloseKey(key);
        key = nullptr;
    }
    found_ = 0;
    Registry::Close();
}

void RegistryNdis::Keep(RegistryKey key) {
    if (found_ >= static_cast<int>(keys_.size())) {
        RegCloseKey(key);
        return;
    }
    keys_[static_cast<size_t>(found_++)] = key;
}

RegistryNdisNT::RegistryNdisNT(AdapterSet* set, CaptureReports& reports)
    : RegistryNdisNT(set, reports,
                     {"RegistryNdisNT", "ProductName", "Title", "Manufacturer",
                      "System\\CurrentControlSet\\Services\\%s\\Parameters\\Tcpip",
                      "missing Parameters\\Tcpip"}) {}

RegistryNdisNT::RegistryNdisNT(AdapterSet* set, CaptureReports& reports, const Names& names)
    : RegistryNdis(set, reports, kNetworkCards), names_(names) {}

void RegistryNdisNT::AddDevices(RegistryKey key) {
    if (GetFlag(key, "Hidden")) {
        RegCloseKey(key);
        return;
    }
    Keep(key);
}

void RegistryNdisNT::ReportProblem(const std::string& problem) {
    std::string location = Format("%s::NextDevice", names_.className);
    const char* manufacturer = names_.manufacturerValue ? info_.manufacturer.c_str() : "???";
    reports_.Report(3,
                    Format("%s in %s for adapter ProductName=\"%s\", Title=\"%s\", Manufacturer=\"%s\"",
                           problem.c_str(), location.c_str(), info_.productName.c_str(), info_.title.c_str(),
                           manufacturer),
                    names_.className, "NextDevice");
}

AdapterInfo* RegistryNdisNT::NextDevice() {
    if (next_ >= found_) {
        next_ = 0;
        return nullptr;
    }
    RegistryKey key = keys_[static_cast<size_t>(next_++)];
    // One record serves every adapter: start each from nothing so none inherits the last one's texts.
    info_ = AdapterInfo();
    std::string location = Format("in %s::NextDevice", names_.className);
    info_.hidden = GetFlag(key, "Hidden");
    info_.productName = GetString(key, names_.productValue, location.c_str());
    info_.title = GetString(key, names_.titleValue, location.c_str());
    if (names_.manufacturerValue)
        info_.manufacturer = GetString(key, names_.manufacturerValue, location.c_str());
    info_.serviceName = GetString(key, "ServiceName", location.c_str());
    if (info_.serviceName.empty()) {
        ReportProblem("missing ServiceName");
        return &info_;
    }
    info_.deviceName = "\\Device\\" + info_.serviceName;
    RegistryKey tcpip = nullptr;
    long result =
        RegOpenKeyEx(kRegistryLocalMachine, Format(names_.tcpipKey, info_.serviceName.c_str()), &tcpip);
    if (result != kRegistrySuccess) {
        ReportProblem(names_.missingTcpip);
        return &info_;
    }
    info_.ipAddressText = GetString(tcpip, "IPAddress", location.c_str());
    info_.ipMaskText = GetString(tcpip, "SubnetMask", location.c_str());
    RegCloseKey(tcpip);
    return &info_;
}

RegistryNdis2000::RegistryNdis2000(AdapterSet* set, CaptureReports& reports)
    : RegistryNdisNT(set, reports,
                     {"RegistryNdis2000", "Description", "Description", nullptr,
                      "System\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\%s",
                      "missing Tcpip\\Parameters\\Interfaces"}) {}

} // namespace vq
