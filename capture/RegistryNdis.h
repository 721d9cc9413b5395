#pragma once

#include "capture/AdapterInfo.h"
#include "capture/Registry.h"

#include <vector>

namespace vq {

class AdapterSet;

// The adapter keys below a base key and the description being handed out for each.
class RegistryNdis : public Registry {
public:
    RegistryNdis(AdapterSet* set, CaptureReports& reports, std::string basePath);
    ~RegistryNdis() override;

    bool Open() override;
    void Close() override;
    // The next adapter's description, or null once all were handed out (then it starts again).
    virtual AdapterInfo* NextDevice() = 0;
    // Appends the adapter keys found at one subkey of the base key.
    virtual void AddDevices(RegistryKey key) = 0;

    int GetFound() const { return found_; }

protected:
    // Keeps the key unless it is full; closes it otherwise.
    void Keep(RegistryKey key);

    AdapterSet* set_;
    int found_ = 0;
    std::vector<RegistryKey> keys_;
    int next_ = 0;
    AdapterInfo info_;
};

// The network-cards branch: one key per card, hidden cards left out.
class RegistryNdisNT : public RegistryNdis {
public:
    RegistryNdisNT(AdapterSet* set, CaptureReports& reports);

    AdapterInfo* NextDevice() override;
    void AddDevices(RegistryKey key) override;

protected:
    struct Names {
        const char* className;
        const char* productValue;
        const char* titleValue;
        const char* manufacturerValue; // null: none is read
        const char* tcpipKey;          // printf pattern with the service name
        const char* missingTcpip;
    };
    RegistryNdisNT(AdapterSet* set, CaptureReports& reports, const Names& names);

private:
    void ReportProblem(const std::string& problem);

    Names names_;
};

// As the network-cards reader, with the description for product name and title and the addresses
// in the interfaces branch of the TCP/IP service.
class RegistryNdis2000 : public RegistryNdisNT {
public:
    RegistryNdis2000(AdapterSet* set, CaptureReports& reports);
};

} // namespace vq
