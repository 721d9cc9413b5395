#include "platform/sys/ProcessStart.h"

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace vq {
namespace {

// Reaps the children started here, oldest first, on one thread that lives as long as the process.
// Only these children are waited for, never any other child of the process.
class ChildReaper {
public:
    static ChildReaper& Instance() {
        static ChildReaper* reaper = new ChildReaper;
        return *reaper;
    }

    void Add(pid_t child) {
        std::lock_guard lock(m_Mutex);
        m_Children.push_back(child);
        if (!m_Started) {
            m_Started = true;
            std::thread([this] { Run(); }).detach();
        }
        m_Ready.notify_one();
    }

private:
    void Run() {
        for (;;) {
            pid_t child;
            {
                std::unique_lock lock(m_Mutex);
                m_Ready.wait(lock, [this] { return !m_Children.empty(); });
                child = m_Children.front();
                m_Children.erase(m_Children.begin());
            }
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }
    }

    std::mutex m_Mutex;
    std::condition_variable m_Ready;
    std::vector<pid_t> m_Children;
    bool m_Started = false;
};

} // namespace

int SpawnProgram(const std::string& path, const std::vector<std::string>& argv) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    if (const int error = ::posix_spawn_file_actions_init(&actions)) return error;
    ::posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t child = -1;
    const int error = ::posix_spawn(&child, path.c_str(), &actions, nullptr, arguments.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (error) return error;
    ChildReaper::Instance().Add(child);
    return 0;
}

std::vector<std::string> SplitCommandLine(const std::string& text) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            std::size_t slashes = 0;
            while (i < text.size() && text[i] == '\\') {
                ++slashes;
                ++i;
            }
            if (i < text.size() && text[i] == '"') {
                current.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    current += '"';
                } else {
                    quoted = !quoted;
                }
            } else {
                current.append(slashes, '\\');
                --i;
            }
            inArgument = true;
        } else if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument) arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument) arguments.push_back(std::move(current));
    return arguments;
}

} // namespace vq
