#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "shell/MapiCredentials.h"

namespace vq {

class COstrelixApp;
class LogDoc;

// One mail of an announced event, ready to go, with the logon to use should the session be gone.
struct EventMail {
    std::string address;
    std::string subject;
    std::string body;
    MapiCredentials logon;
};

// Sends the event log's mails on a thread of its own, one after the other, so the main thread
// never waits on the network. Failures are recorded as system events: 285 when the address does
// not resolve, 286 when the server refuses the mail.
class EventMailer {
public:
    EventMailer(COstrelixApp& app, const LogDoc& log);
    // Mails not yet sent are dropped, and one under way is given up: a server that keeps it waiting
    // does not hold up the end of the program.
    ~EventMailer();
    EventMailer(const EventMailer&) = delete;
    EventMailer& operator=(const EventMailer&) = delete;

    void Post(EventMail mail);
    // Waits until every mail posted so far has been handled.
    void Flush();

private:
    void Run();
    void Send(const EventMail& mail);

    COstrelixApp& m_App;
    const LogDoc& m_Log;
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::deque<EventMail> m_Mails;
    bool m_Busy = false;
    bool m_Stop = false;
    // Read by the transfer under way, which gives up when it is set.
    std::atomic<bool> m_Abort{false};
    std::thread m_Thread;
};

} // namespace vq
