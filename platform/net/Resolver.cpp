#include "platform/net/Resolver.h"

#include "platform/net/SystemResolver.h"

#include <mutex>
#include <netdb.h>

namespace vq::net {

int LookupCodeFromHostError(int hostError) {
    switch (hostError) {
    case HOST_NOT_FOUND:
        return LookupHostNotFound;
    case TRY_AGAIN:
        return LookupTryAgain;
    case NO_RECOVERY:
        return LookupNoRecovery;
    case NO_DATA:
        return LookupNoData;
    default:
        // NETDB_INTERNAL and anything newer: the resolver itself failed, nothing to retry.
        return LookupNoRecovery;
    }
}

namespace {

std::mutex currentMutex;

// Never destroyed: a look-up worker of a model that lives among the statics may still ask for the
// resolver while the statics are torn down.
std::shared_ptr<Resolver>& CurrentSlot() {
    static auto* current = new std::shared_ptr<Resolver>(std::make_shared<SystemResolver>());
    return *current;
}

} // namespace

std::shared_ptr<Resolver> Resolver::Current() {
    std::lock_guard lock(currentMutex);
    return CurrentSlot();
}

std::shared_ptr<Resolver> Resolver::SetCurrent(std::shared_ptr<Resolver> resolver) {
    std::lock_guard lock(currentMutex);
    if (!resolver) resolver = std::make_shared<SystemResolver>();
    CurrentSlot().swap(resolver);
    return resolver;
}

} // namespace vq::net
