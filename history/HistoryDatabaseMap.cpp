#include "history/HistoryDatabaseMap.h"

#include "runtime/NotificationThreadMessage.h"

#include <filesystem>
#include <new>

namespace vq::history {
namespace {

constexpr int kReadFlags = OPEN_LOAD | OPEN_READ;
constexpr int kWriteFlags = OPEN_LOAD | OPEN_READ | OPEN_WRITE | OPEN_CREATE;

} // namespace

std::string HistoryDatabaseMap::KeyOf(const std::string& name) const {
    const std::string& path = name.empty() ? m_DefaultName : name;
    if (path.empty()) return path;
    std::error_code error;
    // The existing part of the path is resolved as the system sees it, links included.
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

HistoryDatabaseMapEntry* HistoryDatabaseMap::Find(const std::string& name) const {
    auto found = m_Entries.find(KeyOf(name));
    return found == m_Entries.end() ? nullptr : found->second.get();
}

HistoryDatabaseMapEntry* HistoryDatabaseMap::Open(const std::string& name, int flags) {
    const std::string key = KeyOf(name);
    if (auto found = m_Entries.find(key); found != m_Entries.end()) return found->second.get();
    try {
        auto entry = std::make_unique<HistoryDatabaseMapEntry>();
        if (!entry->Open(key, flags)) return nullptr;
        HistoryDatabaseMapEntry* opened = entry.get();
        m_Entries.emplace(key, std::move(entry));
        return opened;
    } catch (const std::bad_alloc&) {
        PostNotification(2, 0, (key + ": out of memory opening the history database").c_str(),
                         "HistoryDatabaseMap", "Open", nullptr, nullptr, -1);
        return nullptr;
    }
}

bool HistoryDatabaseMap::Close(const std::string& name) {
    return m_Entries.erase(KeyOf(name)) != 0;
}

bool HistoryDatabaseMap::CloseAll() {
    m_Entries.clear();
    return true;
}

std::unique_ptr<HistoryQueryData> HistoryDatabaseMap::Query(const std::string& name, const Timestamp& from,
                                                            const Timestamp& to) {
    HistoryDatabaseMapEntry* entry = FindOrOpen(name, kReadFlags);
    if (entry == nullptr) return nullptr;
    try {
        return entry->Query(from, to);
    } catch (const std::exception& error) {
        PostNotification(2, 0, (std::string("the history query failed: ") + error.what()).c_str(),
                         "HistoryDatabaseMap", "Query", nullptr, nullptr, -1);
        return nullptr;
    }
}

bool HistoryDatabaseMap::WriteCheckpoint(const std::string& name, const CheckpointSource& checkpoint) {
    HistoryDatabaseMapEntry* entry = FindOrOpen(name, kWriteFlags);
    return entry != nullptr && entry->WriteCheckpoint(checkpoint);
}

bool HistoryDatabaseMap::WriteLogMark(const Timestamp& time, const std::string& name) {
    HistoryDatabaseMapEntry* entry = FindOrOpen(name, kWriteFlags);
    return entry != nullptr && entry->WriteLogMark(time);
}

} // namespace vq::history
