#pragma once

#include "platform/net/SocketFunctions.h"

#include <memory>

// One user's hold on the process's socket library: the first hold loads the function table and
// starts the library, the last one stops it and frees the table. A library that refuses to start
// leaves this hold unstarted (its calls are not to be made) and the next hold tries again.
class SocketLibrary {
public:
    SocketLibrary();
    ~SocketLibrary();
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;

    const vq::net::SocketFunctions& Api() const { return *table_; }
    bool IsStarted() const { return started_; }

private:
    std::shared_ptr<const vq::net::SocketFunctions> table_;
    bool started_ = false;
};
