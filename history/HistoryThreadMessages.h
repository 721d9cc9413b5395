#pragma once

#include "runtime/ThreadMessage.h"
#include "runtime/Timestamp.h"

#include <cstdint>
#include <string>

namespace vq::history {

// The history thread's control messages. Nothing in the program sends them but the restart (which
// the monitor builds itself); the thread takes each and, for start and stop, opens or closes.
class HistoryControlMessage : public ThreadMessage {
public:
    HistoryControlMessage(std::uint32_t id, bool wantsAnswer, bool receiverDeletes)
        : ThreadMessage(id, wantsAnswer, receiverDeletes) {}
    const char* GetClassName() const override { return "HistoryControlMessage"; }
};

class HistoryControlStartMessage : public HistoryControlMessage {
public:
    HistoryControlStartMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryControlStartMessage"; }
};

class HistoryControlStopMessage : public HistoryControlMessage {
public:
    HistoryControlStopMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryControlStopMessage"; }
};

class HistoryControlPauseMessage : public HistoryControlMessage {
public:
    HistoryControlPauseMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryControlPauseMessage"; }
};

class HistoryControlUnpauseMessage : public HistoryControlMessage {
public:
    HistoryControlUnpauseMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryControlUnpauseMessage"; }
};

class HistoryControlResetMessage : public HistoryControlMessage {
public:
    HistoryControlResetMessage(bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryControlResetMessage"; }
};

// Carries a pointer that no handler reads.
class HistoryCheckpointCancelMessage : public ThreadMessage {
public:
    HistoryCheckpointCancelMessage(const void* identifier, bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryCheckpointCancelMessage"; }

private:
    const void* m_Identifier;
};

class HistoryDatabaseCancelMessage : public ThreadMessage {
public:
    HistoryDatabaseCancelMessage(const void* identifier, bool wantsAnswer, bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryDatabaseCancelMessage"; }

private:
    const void* m_Identifier;
};

// A mark in the default database's time line; the text is carried but not stored.
class HistoryDatabaseLogMessage : public ThreadMessage {
public:
    // A null time stands for now.
    HistoryDatabaseLogMessage(const Timestamp& time, std::string text, bool wantsAnswer,
                              bool receiverDeletes);
    const char* GetClassName() const override { return "HistoryDatabaseLogMessage"; }
    const Timestamp& GetTime() const { return m_Time; }
    const std::string& GetText() const { return m_Text; }

private:
    Timestamp m_Time;
    std::string m_Text;
};

} // namespace vq::history
