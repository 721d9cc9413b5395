#pragma once

#include "events/CSimpleSocket.h"

// A client socket: connects to a host's port or service.
class CTalkingSocket : public CSimpleSocket {
public:
    // Connects to the resolved address and port; false (with the error code) when it cannot.
    bool OpenSocket() override;
    bool Connect(const char* host, int port);
    bool Connect(const char* host, const char* service);
    // The host is the path and the port the flags.
    bool Open(const std::string& host, unsigned port,
              std::optional<vq::FileException>* error = nullptr) override;
};
