#pragma once

#include "platform/thread/QueueEntry.h"
#include "runtime/ThreadObject.h"

#include <atomic>
#include <mutex>
#include <set>
#include <string>

namespace vq {

class MessageQueue;
class ThreadMessage;

// The main thread's object for a program without a window: it takes the engine's messages from
// its thread's queue and keeps the few settings the engine reads from the application. The
// desktop application takes its place.
class HeadlessApp : public ThreadObject {
public:
    // Bound to the calling thread, which becomes the main thread.
    HeadlessApp();
    ~HeadlessApp() override;

    // Puts this object in the registry's main slot and registers it.
    bool Register();

    bool IsClosing() const override { return m_Closing.load(); }
    void SetClosing(bool closing) { m_Closing.store(closing); }

    // Takes one entry from the queue, sleeping until there is one; false for WM_QUIT.
    bool PumpMessage();
    // Handles what is queued now without sleeping; false when WM_QUIT was taken.
    bool PumpPending();
    // Pumps until WM_QUIT; answers its exit code.
    int Run();
    // The queue the desktop loop can watch through its descriptor.
    MessageQueue& GetQueue() const { return m_Queue; }

    // Configured MAC address texts, read by host learning on the monitor thread.
    void AddMacFilterEntry(const std::string& macText);
    void RemoveMacFilterEntry(const std::string& macText);
    bool HasMacFilterEntry(const std::string& macText) const;
    void SetMacOnlyReverse(bool reverse);
    bool GetMacOnlyReverse() const;
    // Also copied into the engine's global state.
    void SetMacOnlyReporting(bool macOnly);
    bool GetMacOnlyReporting() const;

    // The folder of the program file, without a trailing separator.
    const std::string& GetProgramFolder() const { return m_ProgramFolder; }
    void SetProgramFolder(std::string folder) { m_ProgramFolder = std::move(folder); }

protected:
    // The handlers of the engine's messages.
    virtual void OnThreadMessage(std::uint32_t id, ThreadMessage* message);
    void Dispatch(const QueueEntry& entry);

private:
    MessageQueue& m_Queue;
    std::atomic<bool> m_Closing{false};
    mutable std::mutex m_MacMutex;
    std::set<std::string> m_MacFilter;
    bool m_MacOnlyReverse = false;
    bool m_MacOnlyReporting = false;
    std::string m_ProgramFolder;
};

// dirname of /proc/self/exe; empty when it cannot be read.
std::string ProgramFolderOfProcess();

} // namespace vq
