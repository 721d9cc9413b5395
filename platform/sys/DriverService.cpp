#include "platform/sys/DriverService.h"

namespace vq {
namespace {

DriverService standIn;
DriverService* installed = &standIn;

} // namespace

bool DriverService::OpenServiceManager() {
    return true;
}

bool DriverService::OpenDriverService(const std::string&) {
    return true;
}

bool DriverService::StopDriverService(const std::string&) {
    return true;
}

bool DriverService::DeleteDriverService(const std::string&) {
    return true;
}

DriverService& CurrentDriverService() {
    return *installed;
}

DriverService* SetDriverService(DriverService* service) {
    DriverService* previous = installed == &standIn ? nullptr : installed;
    installed = service ? service : &standIn;
    return previous;
}

} // namespace vq
