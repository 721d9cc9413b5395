#include "events/SocketLibrary.h"

#include <mutex>

namespace {

constexpr uint16_t kVersion11 = 0x0101;

// Pings run on several threads at once, so the shared state is locked.
struct SharedLibrary {
    std::mutex mutex;
    std::shared_ptr<const vq::net::SocketFunctions> table;
    int users = 0;
};

SharedLibrary& Shared() {
    static SharedLibrary shared;
    return shared;
}

} // namespace

SocketLibrary::SocketLibrary() {
    SharedLibrary& shared = Shared();
    std::lock_guard lock(shared.mutex);
    if (!shared.table)
        shared.table = std::make_shared<const vq::net::SocketFunctions>(vq::net::LoadSocketFunctions());
    table_ = shared.table;
    if (shared.users == 0) {
        vq::net::WsaData data;
        if (table_->WSAStartup(kVersion11, &data) != 0) {
            shared.table.reset();
            return;
        }
    }
    ++shared.users;
    started_ = true;
}

SocketLibrary::~SocketLibrary() {
    if (!started_) return;
    SharedLibrary& shared = Shared();
    std::lock_guard lock(shared.mutex);
    if (--shared.users > 0) return;
    table_->WSACleanup();
    shared.table.reset();
}
