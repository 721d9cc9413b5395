#include "events/EventMailer.h"

#include "events/LogDoc.h"
#include "platform/mail/SimpleMail.h"
#include "shell/COstrelixApp.h"

namespace vq {
namespace {

constexpr int kRecipientUnresolved = 285;
constexpr int kSendFailed = 286;

} // namespace

EventMailer::EventMailer(COstrelixApp& app, const LogDoc& log)
    : m_App(app), m_Log(log), m_Thread([this] { Run(); }) {}

EventMailer::~EventMailer() {
    {
        std::lock_guard lock(m_Mutex);
        m_Stop = true;
        m_Mails.clear();
    }
    m_Abort.store(true);
    m_Changed.notify_all();
    m_Thread.join();
}

void EventMailer::Post(EventMail mail) {
    {
        std::lock_guard lock(m_Mutex);
        m_Mails.push_back(std::move(mail));
    }
    m_Changed.notify_all();
}

void EventMailer::Flush() {
    std::unique_lock lock(m_Mutex);
    m_Changed.wait(lock, [this] { return m_Mails.empty() && !m_Busy; });
}

void EventMailer::Run() {
    SetMailStopFlag(&m_Abort);
    std::unique_lock lock(m_Mutex);
    for (;;) {
        m_Changed.wait(lock, [this] { return m_Stop || !m_Mails.empty(); });
        if (m_Stop) return;
        EventMail mail = std::move(m_Mails.front());
        m_Mails.pop_front();
        m_Busy = true;
        lock.unlock();
        Send(mail);
        lock.lock();
        m_Busy = false;
        m_Changed.notify_all();
    }
}

void EventMailer::Send(const EventMail& mail) {
    if (!m_App.MapiLogon(mail.logon)) return;
    MapiRecipDesc* resolved = nullptr;
    if (MapiResolveName(mail.address, &resolved) != SUCCESS_SUCCESS) {
        m_Log.PostSystemEvent(kRecipientUnresolved, mail.address);
        m_App.MapiFreeBuffer(resolved);
        return;
    }
    MapiRecipDesc recipient;
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = resolved->lpszName;
    recipient.lpszAddress = resolved->lpszAddress;
    recipient.ulEIDSize = resolved->ulEIDSize;
    recipient.lpEntryID = resolved->lpEntryID;
    MapiMessage message;
    message.lpszSubject = const_cast<char*>(mail.subject.c_str());
    message.lpszNoteText = const_cast<char*>(mail.body.c_str());
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
    const auto result = m_App.MapiSendMail(message);
    m_App.MapiFreeBuffer(resolved);
    // A mail given up as the log goes is no failure to record.
    if (result != SUCCESS_SUCCESS && result != MAPI_E_USER_ABORT) m_Log.PostSystemEvent(kSendFailed);
}

} // namespace vq
