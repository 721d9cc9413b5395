#include "platform/registry/WriteBatch.h"

#include "platform/registry/PrivateProfile.h"
#include "platform/registry/Registry.h"

#include <utility>

namespace vq {

WriteBatch::WriteBatch(Store store, std::string file, bool open)
    : m_Store(store), m_File(std::move(file)), m_Open(open) {}

WriteBatch WriteBatch::UserRegistry() {
    return WriteBatch(Store::UserRegistry, {}, RegBeginUserBatch() == kRegistrySuccess);
}

WriteBatch WriteBatch::Profile(const std::string& file) {
    return WriteBatch(Store::Profile, file, BeginPrivateProfileBatch(file));
}

WriteBatch WriteBatch::Refused() {
    return WriteBatch(Store::Profile, {}, false);
}

WriteBatch::WriteBatch(WriteBatch&& other) noexcept
    : m_Store(other.m_Store), m_File(std::move(other.m_File)), m_Open(std::exchange(other.m_Open, false)) {}

WriteBatch::~WriteBatch() {
    Abandon();
}

bool WriteBatch::Commit() {
    if (!std::exchange(m_Open, false)) return false;
    if (m_Store == Store::UserRegistry) return RegCommitUserBatch() == kRegistrySuccess;
    return CommitPrivateProfileBatch(m_File);
}

void WriteBatch::Abandon() {
    if (!std::exchange(m_Open, false)) return;
    if (m_Store == Store::UserRegistry)
        RegAbandonUserBatch();
    else
        AbandonPrivateProfileBatch(m_File);
}

} // namespace vq
