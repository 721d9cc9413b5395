#include "platform/core/File.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vq {

namespace {} // namespace

uint8_t FileAttributeOf(const struct stat& info, const std::string& path) {
    uint8_t attribute = 0;
    if (S_ISDIR(info.st_mode)) attribute |= FileAttribute::Directory;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode))
        attribute |= FileAttribute::Device;
    if (!(info.st_mode & S_IWUSR)) attribute |= FileAttribute::ReadOnly;
    size_t slash =
        path.find_last_of('/', path.size() > 1 && path.back() == '/' ? path.size() - 2 : std::string::npos);
    std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.starts_with('.') && name != "." && name != ".." && name != "./" && name != "../")
        attribute |= FileAttribute::Hidden;
    return attribute ? attribute : FileAttribute::Normal;
}

namespace {

void FillStatus(const struct stat& info, const std::string& path, const std::string& fullName,
                FileStatus& status) {
    status.m_ctime = CalendarTime(info.st_ctim.tv_sec);
    status.m_mtime = CalendarTime(info.st_mtim.tv_sec);
    status.m_atime = CalendarTime(info.st_atim.tv_sec);
    status.m_size = int64_t(info.st_size);
    status.m_attribute = FileAttributeOf(info, path);
    status.m_szFullName = fullName;
}

std::string FullName(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) return resolved;
    return path;
}

} // namespace

FileException FileErrorFromErrno(int error, const std::string& path) {
    FileException::Cause cause = FileException::Cause::Generic;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        cause = FileException::Cause::NotFound;
        break;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        cause = FileException::Cause::AccessDenied;
        break;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
        cause = FileException::Cause::DiskFull;
        break;
    default:
        break;
    }
    return FileException(cause, path, path + ": " + std::strerror(error));
}

File::File(const std::string& path, unsigned flags) {
    std::optional<FileException> error;
    if (!Open(path, flags, &error)) throw *error;
}

File::~File() {
    Abort();
}

bool File::Open(const std::string& path, unsigned flags, std::optional<FileException>* error) {
    Abort();
    int mode = (flags & modeReadWrite) ? O_RDWR : (flags & modeWrite) ? O_WRONLY : O_RDONLY;
    mode |= O_CLOEXEC;
    if (flags & modeCreate) mode |= O_CREAT | ((flags & modeNoTruncate) ? 0 : O_TRUNC);
    int descriptor = ::open(path.c_str(), mode, 0666);
    int failure = descriptor < 0 ? errno : 0;
    if (descriptor >= 0) {
        // A folder opens for reading on Linux; as a file it is refused.
        struct stat info {};
        if (::fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) failure = EISDIR;
    }
    if (failure) {
        if (descriptor >= 0) ::close(descriptor);
        if (error) error->emplace(FileErrorFromErrno(failure, path));
        return false;
    }
    m_Descriptor = descriptor;
    m_Path = path;
    return true;
}

void File::Raise(int error) const {
    throw FileErrorFromErrno(error, m_Path);
}

uint32_t File::Read(void* buffer, uint32_t count) {
    if (m_Descriptor < 0) Raise(EBADF);
    uint32_t done = 0;
    while (done < count) {
        ssize_t read = ::read(m_Descriptor, static_cast<char*>(buffer) + done, count - done);
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) Raise(errno);
        if (read == 0) break;
        done += uint32_t(read);
    }
    return done;
}

void File::Write(const void* buffer, uint32_t count) {
    if (m_Descriptor < 0) Raise(EBADF);
    uint32_t done = 0;
    while (done < count) {
        ssize_t written = ::write(m_Descriptor, static_cast<const char*>(buffer) + done, count - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) Raise(errno);
        if (written == 0) Raise(ENOSPC);
        done += uint32_t(written);
    }
}

int64_t File::Seek(int64_t offset, SeekPosition from) {
    if (m_Descriptor < 0) Raise(EBADF);
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t position = ::lseek(m_Descriptor, off_t(offset), whence);
    if (position < 0) Raise(errno);
    return int64_t(position);
}

int64_t File::GetPosition() const {
    if (m_Descriptor < 0) Raise(EBADF);
    off_t position = ::lseek(m_Descriptor, 0, SEEK_CUR);
    if (position < 0) Raise(errno);
    return int64_t(position);
}

int64_t File::GetLength() const {
    if (m_Descriptor < 0) Raise(EBADF);
    struct stat info {};
    if (::fstat(m_Descriptor, &info) != 0) Raise(errno);
    return int64_t(info.st_size);
}

void File::SetLength(int64_t length) {
    if (m_Descriptor < 0) Raise(EBADF);
    if (::ftruncate(m_Descriptor, off_t(length)) != 0) Raise(errno);
}

void File::Flush() {
    if (m_Descriptor < 0) Raise(EBADF);
    if (::fsync(m_Descriptor) != 0 && errno != EINVAL) Raise(errno);
}

void File::Close() {
    if (m_Descriptor < 0) return;
    int descriptor = m_Descriptor;
    m_Descriptor = -1;
    if (::close(descriptor) != 0 && errno != EINTR) Raise(errno);
}

void File::Abort() {
    if (m_Descriptor >= 0) ::close(m_Descriptor);
    m_Descriptor = -1;
}

bool File::GetStatus(FileStatus& status) const {
    struct stat info {};
    if (m_Descriptor < 0 || ::fstat(m_Descriptor, &info) != 0) return false;
    FillStatus(info, m_Path, FullName(m_Path), status);
    return true;
}

bool File::GetStatus(const std::string& path, FileStatus& status) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
    FillStatus(info, path, FullName(path), status);
    return true;
}

void File::Rename(const std::string& oldName, const std::string& newName) {
    if (::renameat2(AT_FDCWD, oldName.c_str(), AT_FDCWD, newName.c_str(), RENAME_NOREPLACE) != 0)
        throw FileErrorFromErrno(errno, oldName);
}

void File::Remove(const std::string& path) {
    if (::unlink(path.c_str()) != 0) throw FileErrorFromErrno(errno, path);
}

} // namespace vq
