#include "shell/MonitorOwnerRecord.h"

#include <set>

namespace vq {
namespace {

std::set<const void*>& LiveRecords() {
    static std::set<const void*> records;
    return records;
}

} // namespace

MonitorOwnerRecord::MonitorOwnerRecord(CDisplayDoc* document, int key) : m_Document(document), m_Key(key) {
    LiveRecords().insert(this);
}

MonitorOwnerRecord::~MonitorOwnerRecord() {
    LiveRecords().erase(this);
}

const MonitorOwnerRecord* MonitorOwnerRecord::Find(const void* identifier) {
    return LiveRecords().count(identifier) ? static_cast<const MonitorOwnerRecord*>(identifier) : nullptr;
}

} // namespace vq
