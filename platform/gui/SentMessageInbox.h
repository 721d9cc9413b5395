#pragma once

#include "platform/gui/GdiTypes.h"
#include "platform/thread/ThreadId.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace vq {

// The messages other threads have sent to a thread's windows, waiting for that thread to take
// them. A send across threads is still a call: the sender waits for the answer, and while it
// waits it handles what is sent to its own windows, so two threads that send to each other go on.
// The owning thread takes its messages whenever it looks at its queue (GetMessage, PeekMessage)
// and while it waits for a send of its own; when it ends, every message still waiting is answered
// with 0.
class SentMessageInbox {
public:
    // What a sending thread posts to the owner's queue to wake it wherever it sleeps on its queue;
    // the owner drops it unseen.
    static constexpr UINT kWakeMessage = 0x03F0;

    // The calling thread's inbox, registered on first use so that other threads can send to it.
    static SentMessageInbox& Current();

    // Sends to a window of another thread and waits for the answer; 0 at once when that thread
    // has no inbox or has ended, 0 when it ends before answering.
    static LRESULT Send(ThreadId thread, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Handles every message waiting for the calling thread (the inbox must be its own).
    void HandleWaiting();

    SentMessageInbox() = default;
    SentMessageInbox(const SentMessageInbox&) = delete;
    SentMessageInbox& operator=(const SentMessageInbox&) = delete;

private:
    struct Call {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result = 0;
        bool answered = false;
        // The sender's inbox, where the answer is announced.
        std::shared_ptr<SentMessageInbox> replyTo;
    };
    friend struct InboxHolder;

    static void Answer(Call& call, LRESULT result);
    // Refuses further calls and answers those still waiting with 0.
    void Close();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Call*> waiting_;
    bool closed_ = false;
};

} // namespace vq
