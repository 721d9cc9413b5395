#include "events/CSimpleSocketFile.h"

CSimpleSocketFile::CSimpleSocketFile(vq::net::SocketHandle socket, const std::string& hostName,
                                     const std::string& address) {
    m_HostName = hostName;
    m_Address = address;
    SetSocket(socket);
    Describe();
}
