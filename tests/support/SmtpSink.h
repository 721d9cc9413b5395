#pragma once

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vq::test {

// A scripted SMTP server on 127.0.0.1 for mail tests: it accepts every mail, refuses the
// recipients it is told to, and records each line clients send, per connection. Every wait is
// bounded, so a client that stalls fails its test instead of hanging it.
class SmtpSink {
public:
    // Accepts connections and never says a word, as a server that hangs does.
    static constexpr bool kStall = true;

    // Refuses the recipients in `refused`, and every message's content with 554 when `refuseData`.
    explicit SmtpSink(std::set<std::string> refused = {}, bool refuseData = false, bool stall = false)
        : m_Refused(std::move(refused)), m_RefuseData(refuseData), m_Stall(stall) {
        m_Listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_Listener < 0 || ::bind(m_Listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(m_Listener, 8) != 0 ||
            ::getsockname(m_Listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        m_Port = ntohs(address.sin_port);
        m_Thread = std::thread([this] { Serve(); });
    }
    ~SmtpSink() {
        m_Stop.store(true);
        if (m_Thread.joinable()) m_Thread.join();
        if (m_Listener >= 0) ::close(m_Listener);
    }
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    std::string Url() const { return "smtp://127.0.0.1:" + std::to_string(m_Port); }
    // The lines of each connection so far; DATA's content is one entry, its lines CRLF-joined.
    std::vector<std::vector<std::string>> Sessions() {
        std::lock_guard lock(m_Mutex);
        return m_Sessions;
    }
    // Wait ten seconds at most for so many connections, or for so many clients to hang up.
    bool WaitForSessions(std::size_t count) {
        std::unique_lock lock(m_Mutex);
        return m_Changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_Sessions.size() >= count; });
    }
    bool WaitForHangUps(std::size_t count) {
        std::unique_lock lock(m_Mutex);
        return m_Changed.wait_for(lock, std::chrono::seconds(10), [&] { return m_HangUps >= count; });
    }

private:
    static constexpr int kWaitMs = 5'000;

    void Serve() {
        while (!m_Stop.load()) {
            pollfd wait{m_Listener, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0) continue;
            const int client = ::accept4(m_Listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            {
                std::lock_guard lock(m_Mutex);
                m_Sessions.emplace_back();
            }
            m_Changed.notify_all();
            if (m_Stall)
                Stall(client);
            else
                Converse(client);
            ::close(client);
        }
    }

    // Silent until the client hangs up or the sink goes.
    void Stall(int client) {
        while (!m_Stop.load()) {
            pollfd wait{client, POLLIN, 0};
            if (::poll(&wait, 1, 50) <= 0) continue;
            char buffer[256];
            if (::recv(client, buffer, sizeof buffer, 0) > 0) continue;
            {
                std::lock_guard lock(m_Mutex);
                ++m_HangUps;
            }
            m_Changed.notify_all();
            return;
        }
    }

    void Record(const std::string& line) {
        std::lock_guard lock(m_Mutex);
        m_Sessions.back().push_back(line);
    }

    bool ReadLine(int client, std::string& pending, std::string& line) {
        for (;;) {
            if (auto end = pending.find("\r\n"); end != std::string::npos) {
                line = pending.substr(0, end);
                pending.erase(0, end + 2);
                return true;
            }
            pollfd wait{client, POLLIN, 0};
            if (::poll(&wait, 1, kWaitMs) <= 0) return false;
            char buffer[4096];
            const ssize_t count = ::recv(client, buffer, sizeof buffer, 0);
            if (count <= 0) return false;
            pending.append(buffer, size_t(count));
        }
    }

    static void Say(int client, const std::string& text) {
        (void)!::send(client, text.data(), text.size(), MSG_NOSIGNAL);
    }

    void Converse(int client) {
        std::string pending, line;
        Say(client, "220 sink ESMTP\r\n");
        while (ReadLine(client, pending, line)) {
            Record(line);
            if (line.rfind("EHLO", 0) == 0) {
                Say(client, "250-sink\r\n250-AUTH PLAIN LOGIN\r\n250 8BITMIME\r\n");
            } else if (line.rfind("AUTH", 0) == 0) {
                // Without an initial response the credentials follow on a line of their own.
                if (line.find(' ', 5) == std::string::npos) {
                    Say(client, "334 \r\n");
                    if (!ReadLine(client, pending, line)) return;
                    Record(line);
                }
                Say(client, "235 accepted\r\n");
            } else if (line.rfind("RCPT TO:", 0) == 0) {
                Say(client, m_Refused.count(line.substr(8)) ? "550 no such user\r\n" : "250 ok\r\n");
            } else if (line == "DATA") {
                Say(client, "354 go on\r\n");
                std::string content;
                while (ReadLine(client, pending, line) && line != ".")
                    content += line + "\r\n";
                Record(content);
                Say(client, m_RefuseData ? "554 rejected\r\n" : "250 queued\r\n");
            } else if (line == "QUIT") {
                Say(client, "221 bye\r\n");
                return;
            } else {
                Say(client, "250 ok\r\n");
            }
        }
    }

    std::set<std::string> m_Refused;
    bool m_RefuseData = false;
    bool m_Stall = false;
    int m_Listener = -1;
    int m_Port = 0;
    std::atomic<bool> m_Stop{false};
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::vector<std::vector<std::string>> m_Sessions;
    std::size_t m_HangUps = 0;
    std::thread m_Thread;
};

} // namespace vq::test
