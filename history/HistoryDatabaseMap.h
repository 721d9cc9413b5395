#pragma once

#include "history/HistoryDatabaseMapEntry.h"

#include <map>
#include <memory>
#include <string>

namespace vq::history {

// The open history databases by file. A name is keyed by its canonical path, so "./h.db" and its
// absolute path are one database; the empty name stands for the default database.
class HistoryDatabaseMap {
public:
    void SetDefaultName(std::string name) { m_DefaultName = std::move(name); }
    const std::string& GetDefaultName() const { return m_DefaultName; }

    HistoryDatabaseMapEntry* Find(const std::string& name) const;
    // An entry already open is used as it is; a new one is kept only when its open succeeded.
    HistoryDatabaseMapEntry* Open(const std::string& name, int flags);
    HistoryDatabaseMapEntry* FindOrOpen(const std::string& name, int flags) { return Open(name, flags); }
    bool Close(const std::string& name);
    bool CloseAll();
    size_t GetCount() const { return m_Entries.size(); }

    // Opens for reading when needed. Null, after a report, when the file cannot be opened or read.
    std::unique_ptr<HistoryQueryData> Query(const std::string& name, const Timestamp& from,
                                            const Timestamp& to);
    // Open for writing (created when missing) when needed.
    bool WriteCheckpoint(const std::string& name, const CheckpointSource& checkpoint);
    bool WriteLogMark(const Timestamp& time, const std::string& name);

    std::string KeyOf(const std::string& name) const;

private:
    std::string m_DefaultName;
    std::map<std::string, std::unique_ptr<HistoryDatabaseMapEntry>> m_Entries;
};

} // namespace vq::history
