#pragma once

#include "events/CSimpleSocket.h"

// The server's side of one accepted connection.
class CSimpleSocketFile : public CSimpleSocket {
public:
    CSimpleSocketFile(vq::net::SocketHandle socket, const std::string& hostName, const std::string& address);

    bool OpenSocket() override { return true; }
    bool Open(const std::string&, unsigned, std::optional<vq::FileException>* = nullptr) override {
        return true;
    }
};
