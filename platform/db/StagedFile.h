#pragma once

#include <cstddef>
#include <string>

namespace vq::db {

// A file written under a temporary name in its target's folder and moved into place only when
// complete and synced, so the target is either absent (or as it was) or whole, never half-written.
// The temporary file is removed unless it was committed. Failures throw std::system_error with
// the system's error number.
class StagedFile {
public:
    explicit StagedFile(std::string path);
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile();

    void Write(const void* data, std::size_t size);
    // Places the file at its path, which must not exist yet (EEXIST otherwise, target untouched).
    void CommitNew();
    // Places the file at its path, replacing what is there.
    void CommitReplace();

    const std::string& TemporaryPath() const { return m_TemporaryPath; }

private:
    void Sync();
    void SyncFolder() const;

    std::string m_Path;
    std::string m_TemporaryPath;
    int m_Descriptor = -1;
    bool m_Renamed = false;
};

} // namespace vq::db
