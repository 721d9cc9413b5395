#pragma once

#include "events/CDummyFile.h"
#include "events/SocketLibrary.h"

#include <cstdint>
#include <string>
#include <vector>

// A blocking TCP socket presented as a file: host and service resolution, sending and receiving.
// Every failure leaves a socket error code in the object (GetErrorCode) and answers false, 0 or
// -1; nothing throws.
class CSimpleSocket : public CDummyFile {
public:
    CSimpleSocket();
    ~CSimpleSocket() override;

    void Close() override;
    // Sends the text with its terminating zero byte, as peers reading zero-ended strings expect.
    void WriteString(const std::string& text) override;

    virtual const std::string& GetAddress() const { return m_Address; }
    virtual vq::net::SocketHandle GetSocket() const { return m_Socket; }
    virtual const std::string& GetHostName() const { return m_HostName; }
    virtual const std::string& GetServiceName() const { return m_ServiceName; }
    // In host byte order.
    virtual int GetPort() const;
    virtual char GetLineTerminator() const { return m_LineTerminator; }
    // Null clears the peer. Digits and dots are an address, looked up in reverse; anything else
    // is a name. False when the look-up failed (its code is the error code).
    virtual bool ResolveHost(const char* host);
    virtual void Attach(vq::net::SocketHandle socket);
    virtual void SetHostName(const char* name);
    virtual void SetPort(int port);
    virtual void SetService(const char* service);
    virtual void SetLineTerminator(char terminator) { m_LineTerminator = terminator; }
    virtual bool OpenSocket() = 0;
    virtual bool IsInvalid() const { return m_Socket == vq::net::kInvalidSocket; }
    virtual bool IsReadable();
    // The system has no call to send a file between two buffers: always false.
    virtual bool TransmitBuffers(int file, uint32_t count, const void* head, uint32_t headSize,
                                 const void* tail, uint32_t tailSize);
    virtual bool Send(const void* data, int size);
    // Appends bytes to `line` until the line terminator (kept) or a zero byte (dropped); false when
    // the connection ended or failed first.
    virtual bool ReadLine(std::string& line);
    // The bytes received, 0 when the peer closed (the socket is then closed) or on an error.
    virtual int Receive(void* buffer, int size);

    const std::vector<std::string>& GetAliases() const { return m_Aliases; }

    static std::string GetLocalHostName();
    static std::string GetLocalHostAddress();
    // Copies at most `size` characters of the code's text, ending it with a zero within `size`.
    static void GetSocketErrorText(int code, char* buffer, size_t size);
    static std::string GetSocketErrorText(int code);

protected:
    const vq::net::SocketFunctions& Api() const { return m_Library.Api(); }
    bool IsLibraryStarted() const { return m_Library.IsStarted(); }
    // Takes the thread's last socket error into the object; answers it.
    uint32_t TakeLastError();
    void SetSocket(vq::net::SocketHandle socket);
    // The connection's description, "host (address) Port: n".
    void DescribeWithPort(int port);
    void Describe();
    int GetLocalPort() const;

    std::string m_ServiceName;
    uint16_t m_Port = 0; // network order
    vq::net::SocketHandle m_Socket = vq::net::kInvalidSocket;
    char m_LineTerminator = '\n';
    std::string m_Address;
    std::string m_HostName;
    std::vector<std::string> m_Aliases;

private:
    SocketLibrary m_Library;
};
