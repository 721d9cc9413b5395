#pragma once

#include "events/CSimpleSocket.h"

// A server socket: binds to its port on every local address, listens and accepts; each accepted
// connection goes to the subclass.
class CListeningSocket : public CSimpleSocket {
public:
    static constexpr int kBacklog = 10;

    bool OpenSocket() override;
    // Waits for one connection and hands it to OnAccepted; false with the error code on failure.
    bool Accept();
    bool Accept(int port);
    bool Accept(const char* service);

protected:
    // Owns `socket` from here on.
    virtual void OnAccepted(vq::net::SocketHandle socket, const std::string& hostName,
                            const std::string& address) = 0;
};
