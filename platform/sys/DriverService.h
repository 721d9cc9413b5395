#pragma once

#include <string>

namespace vq {

// The service-control calls that remove the packet-driver service the capture library installs.
// libpcap installs no service, so the stand-in does nothing and answers true to every call, the
// callers' quietest path. Tests install their own to see which calls are made.
class DriverService {
public:
    virtual ~DriverService() = default;

    virtual bool OpenServiceManager();
    virtual bool OpenDriverService(const std::string& name);
    virtual bool StopDriverService(const std::string& name);
    virtual bool DeleteDriverService(const std::string& name);
};

// The installed service calls: the stand-in unless another was installed.
DriverService& CurrentDriverService();
// Installs the calls (null restores the stand-in) and answers the ones replaced. The caller keeps
// them alive while installed; no thread may use them across the change.
DriverService* SetDriverService(DriverService* service);

} // namespace vq
