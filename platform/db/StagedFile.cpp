#include "platform/db/StagedFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace vq::db {
namespace {

[[noreturn]] void ThrowSystemError(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

std::string FolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

} // namespace

StagedFile::StagedFile(std::string path) : m_Path(std::move(path)) {
    std::string stem = FolderOf(m_Path) + "/." + std::filesystem::path(m_Path).filename().string() + ".";
    std::random_device seed;
    std::mt19937 random(seed());
    // Created as an ordinary new file is (0666 less the umask), unlike mkstemp's 0600.
    for (int attempt = 0; m_Descriptor < 0; ++attempt) {
        m_TemporaryPath = stem + std::to_string(random() % 1'000'000'000);
        m_Descriptor = ::open(m_TemporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_Descriptor < 0 && (errno != EEXIST || attempt == 100)) ThrowSystemError(errno, m_Path);
    }
}

StagedFile::~StagedFile() {
    if (m_Descriptor >= 0) ::close(m_Descriptor);
    if (!m_Renamed) ::unlink(m_TemporaryPath.c_str());
}

void StagedFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(m_Descriptor, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            ThrowSystemError(errno, m_Path);
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

void StagedFile::Sync() {
    if (::fsync(m_Descriptor) != 0) ThrowSystemError(errno, m_Path);
    int descriptor = std::exchange(m_Descriptor, -1);
    if (::close(descriptor) != 0) ThrowSystemError(errno, m_Path);
}

// Without it the new name may not survive a crash even though the data does.
void StagedFile::SyncFolder() const {
    int folder = ::open(FolderOf(m_Path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    ::fsync(folder);
    ::close(folder);
}

void StagedFile::CommitNew() {
    Sync();
    // link() fails when the target exists, where rename() would replace it.
    if (::link(m_TemporaryPath.c_str(), m_Path.c_str()) != 0) ThrowSystemError(errno, m_Path);
    SyncFolder();
}

void StagedFile::CommitReplace() {
    Sync();
    if (::rename(m_TemporaryPath.c_str(), m_Path.c_str()) != 0) ThrowSystemError(errno, m_Path);
    m_Renamed = true;
    SyncFolder();
}

} // namespace vq::db
