#pragma once

#include "app/EngineFigures.h"
#include "app/EngineOptions.h"
#include "app/ReplayClock.h"

#include <csignal>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vq {

class CConfig;
class ReplyPrinter;
class ThreadObject;

// One run of the headless engine: checks the command line's files and adapters, prepares the
// configuration and history files, runs the monitor with its history thread until a signal or the
// end of the replay, and prints what the actions answered and what the run counted.
class EngineHarness {
public:
    explicit EngineHarness(EngineOptions options);
    ~EngineHarness();

    // The exit status: 0 after a clean run, 2 for bad input (one line on stderr), 1 otherwise.
    int Run();

private:
    std::optional<std::string> Prepare();
    std::optional<std::string> PrepareReplay();
    std::optional<std::string> PrepareAdapters();
    std::optional<std::string> PrepareConfiguration();
    std::optional<std::string> PrepareHistory();
    int RunEngine(const sigset_t& stopSignals);
    // The fixed set of actions on the interface of every capturing adapter.
    void InstallActions(ThreadObject& monitor, const std::vector<uint16_t>& adapters, ThreadObject& replies,
                        ReplyPrinter& printer);
    void PrintFinalTable(const EngineFigures& figures, double wallSeconds) const;
    void PrintConversations(const EngineFigures& figures) const;

    EngineOptions m_Options;
    std::string m_ConfigPath;
    std::string m_HistoryPath;
    std::string m_TemporaryFolder;
    std::vector<std::string> m_DeviceNames;
    std::unique_ptr<ReplayClock> m_ReplayClock;
    std::unique_ptr<CConfig> m_Config;
    // One address per installed action: the identifier it is known by.
    std::deque<char> m_Identifiers;
};

} // namespace vq
