#include "toolkit/controls/TkFileSystem.h"

#include "platform/gui/ControlTypes.h"
#include "platform/gui/WindowSystem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkFileSystem, Object)

namespace {

constexpr uint8_t kUnplainBits = 0x5E;
constexpr uint32_t kCopyBufferSize = 10240;

bool IsDots(const std::string& name) {
    return name == "." || name == "..";
}

bool IsSymbolicLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// Reads and writes whole buffers through a descriptor that closes itself.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : m_Descriptor(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Close(); }

    bool IsOpen() const { return m_Descriptor >= 0; }
    int Get() const { return m_Descriptor; }
    bool Close() {
        if (m_Descriptor < 0) return true;
        int result = ::close(m_Descriptor);
        m_Descriptor = -1;
        return result == 0;
    }
    // The bytes read, fewer only at the end; −1 on an error.
    ssize_t ReadFull(char* buffer, size_t size) {
        size_t done = 0;
        while (done < size) {
            ssize_t count = ::read(m_Descriptor, buffer + done, size - done);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) return -1;
            if (count == 0) break;
            done += size_t(count);
        }
        return ssize_t(done);
    }
    bool WriteFull(const char* buffer, size_t size) {
        size_t done = 0;
        while (done < size) {
            ssize_t count = ::write(m_Descriptor, buffer + done, size - done);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) return false;
            done += size_t(count);
        }
        return true;
    }
    int64_t Length() const {
        struct stat info {};
        return ::fstat(m_Descriptor, &info) == 0 ? int64_t(info.st_size) : -1;
    }

private:
    int m_Descriptor;
};

} // namespace

bool TkFileSystem::GetFileStatus(const std::string& path, FileStatus& status) {
    return File::GetStatus(path, status);
}

bool TkFileSystem::GetFileCreateTime(const std::string& path, CalendarTime& time) {
    FileStatus status;
    if (!GetFileStatus(path, status)) return false;
    time = status.m_ctime;
    return true;
}

bool TkFileSystem::GetFileModifyTime(const std::string& path, CalendarTime& time) {
    FileStatus status;
    if (!GetFileStatus(path, status)) return false;
    time = status.m_mtime;
    return true;
}

bool TkFileSystem::GetFileAccessTime(const std::string& path, CalendarTime& time) {
    FileStatus status;
    if (!GetFileStatus(path, status)) return false;
    time = status.m_atime;
    return true;
}

bool TkFileSystem::GetFileSize(const std::string& path, int64_t& size) {
    FileStatus status;
    if (!GetFileStatus(path, status)) return false;
    size = status.m_size;
    return true;
}

bool TkFileSystem::GetFileAttribute(const std::string& path, uint8_t& attribute) {
    FileStatus status;
    if (!GetFileStatus(path, status)) return false;
    attribute = status.m_attribute;
    return true;
}

bool TkFileSystem::FileExists(const std::string& path) {
    FileStatus status;
    return GetFileStatus(path, status);
}

bool TkFileSystem::DirectoryExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool TkFileSystem::DriveExists(const std::string& drive) {
    return drive == "/";
}

bool TkFileSystem::Accepts(uint8_t attribute, int32_t filter) {
    if (filter == kEveryEntry) return true;
    if (filter == 0 || filter == FileAttribute::Normal)
        return (attribute & kUnplainBits) == 0 ||
               (filter == FileAttribute::Normal && (attribute & FileAttribute::Normal));
    return (attribute & uint32_t(filter)) != 0;
}

void TkFileSystem::CloseEnumeration() {
    m_Entries.clear();
    m_Next = 0;
    m_Enumerating = false;
}

bool TkFileSystem::GetADirectoryEntry(std::string& name, const std::string& wildcard, int32_t filter) {
    name.clear();
    if (!wildcard.empty()) {
        CloseEnumeration();
        std::string directory = GetPath(wildcard);
        std::string pattern = GetFileName(wildcard);
        if (pattern == "*.*") pattern = "*";
        DIR* folder = ::opendir(directory.empty() ? "." : directory.c_str());
        if (!folder) return false;
        while (const dirent* entry = ::readdir(folder)) {
            if (::fnmatch(pattern.c_str(), entry->d_name, 0) != 0) continue;
            Entry found{entry->d_name, FileAttribute::Normal, 0};
            struct stat info {};
            // The link's own status: a link to a folder is no folder to descend into.
            if (::lstat((directory + found.name).c_str(), &info) == 0) {
                found.attribute = FileAttributeOf(info, found.name);
                found.size = S_ISREG(info.st_mode) ? int64_t(info.st_size) : 0;
            }
            m_Entries.push_back(std::move(found));
        }
        ::closedir(folder);
        std::sort(m_Entries.begin(), m_Entries.end(),
                  [](const Entry& a, const Entry& b) { return a.name < b.name; });
        m_Enumerating = true;
    }
    if (!m_Enumerating || m_Next >= m_Entries.size()) return false;
    m_FindData = m_Entries[m_Next++];
    if (Accepts(m_FindData.attribute, filter)) name = m_FindData.name;
    return true;
}

std::unique_ptr<std::string> TkFileSystem::GetDirectoryEntry(const std::string& wildcard, int32_t filter) {
    std::string name;
    for (bool more = GetADirectoryEntry(name, wildcard, filter); more;
         more = GetADirectoryEntry(name, {}, filter))
        if (!name.empty()) return std::make_unique<std::string>(name);
    return nullptr;
}

std::unique_ptr<TkStringList> TkFileSystem::GetFileListFromDirectory(const std::string& pattern,
                                                                     int32_t filter) {
    auto list = std::make_unique<TkStringList>();
    const std::string directory = GetPath(pattern);
    std::string name;
    for (bool more = GetADirectoryEntry(name, pattern, filter); more;
         more = GetADirectoryEntry(name, {}, filter))
        if (!name.empty() && !IsDots(name)) list->push_back(directory + name);
    CloseEnumeration();
    return list;
}

std::unique_ptr<TkStringList> TkFileSystem::GetSubdirList(const std::string& directory, bool fullPaths) {
    auto list = std::make_unique<TkStringList>();
    std::string name;
    const std::string pattern = AppendPaths(directory, "*.*");
    for (bool more = GetADirectoryEntry(name, pattern, FileAttribute::Directory); more;
         more = GetADirectoryEntry(name, {}, FileAttribute::Directory)) {
        if (name.empty() || IsDots(name) || !(m_FindData.attribute & FileAttribute::Directory)) continue;
        list->push_back(fullPaths ? AppendPaths(directory, name) : name);
    }
    CloseEnumeration();
    return list;
}

std::unique_ptr<TkStringList> TkFileSystem::GetFileList(const std::string& pattern, int32_t filter,
                                                        bool recursive, std::unique_ptr<TkStringList> list) {
    if (!list) list = std::make_unique<TkStringList>();
    auto files = GetFileListFromDirectory(pattern, filter);
    list->insert(list->end(), files->begin(), files->end());
    if (!recursive) return list;
    const std::string fileName = GetFileName(pattern);
    const auto subdirectories = GetSubdirList(GetPath(pattern), true);
    for (const auto& subdirectory : *subdirectories)
        list = GetFileList(AppendPaths(subdirectory, fileName), filter, true, std::move(list));
    return list;
}

void TkFileSystem::Sort(TkStringList& list, bool caseSensitive) {
    std::stable_sort(list.begin(), list.end(), [caseSensitive](const std::string& a, const std::string& b) {
        return (caseSensitive ? std::strcmp(a.c_str(), b.c_str()) : strcasecmp(a.c_str(), b.c_str())) < 0;
    });
}

void TkFileSystem::FillListBox(HWND listBox, const TkStringList& list) {
    for (const auto& text : list)
        SendMessage(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TkFileSystem::FillComboBox(HWND comboBox, const TkStringList& list) {
    for (const auto& text : list)
        SendMessage(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TkFileSystem::GetCurrentDirectory(std::string& directory, const std::string& path) {
    directory.clear();
    char buffer[PATH_MAX];
    if (path.empty()) {
        if (::getcwd(buffer, sizeof buffer)) directory = buffer;
        return;
    }
    if (DirectoryExists(path) && ::realpath(path.c_str(), buffer)) directory = buffer;
}

bool TkFileSystem::ChangeDirectory(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

bool TkFileSystem::MakeDirectory(const std::string& path) {
    return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}

bool TkFileSystem::MakePath(const std::string& path) {
    if (path.empty()) return false;
    std::string rest = path.ends_with('/') ? path : path + "/";
    std::string prefix;
    bool result = true;
    for (size_t separator = rest.find('/'); separator != std::string::npos; separator = rest.find('/')) {
        prefix += rest.substr(0, separator);
        rest.erase(0, separator + 1);
        if (!prefix.empty() && !prefix.ends_with('/')) result = MakeDirectory(prefix);
        prefix += '/';
    }
    return result;
}

bool TkFileSystem::DeleteDirectory(const std::string& path, bool recursive) {
    if (path.empty()) return false;
    if (IsSymbolicLink(path)) return ::unlink(path.c_str()) == 0;
    if (recursive) {
        const auto subdirectories = GetSubdirList(path, true);
        for (const auto& subdirectory : *subdirectories)
            DeleteDirectory(subdirectory, true);
        const auto files = GetFileListFromDirectory(AppendPaths(path, "*.*"), kEveryEntry);
        for (const auto& file : *files)
            ::unlink(file.c_str());
    }
    return ::rmdir(path.c_str()) == 0;
}

int64_t TkFileSystem::GetDirectorySize(const std::string& path, const std::string& wildcard, bool recursive) {
    int64_t total = 0;
    std::string name;
    for (bool more = GetADirectoryEntry(name, AppendPaths(path, wildcard), kEveryEntry); more;
         more = GetADirectoryEntry(name, {}, kEveryEntry))
        total += m_FindData.size;
    CloseEnumeration();
    if (recursive) {
        const auto subdirectories = GetSubdirList(path, true);
        for (const auto& subdirectory : *subdirectories)
            total += GetDirectorySize(subdirectory, wildcard, true);
    }
    return total;
}

bool TkFileSystem::RenameDirectory(const std::string& oldName, const std::string& newName) {
    if (oldName == newName) return true;
    if (!DirectoryExists(oldName) || DirectoryExists(newName)) return false;
    try {
        File::Rename(oldName, newName);
    } catch (const FileException&) {
        return false;
    }
    return true;
}

bool TkFileSystem::IsReadOnlyDirectory(const std::string& directory) {
    // A name of our own making, so that no file of the user's is touched.
    std::string probe = AppendPaths(directory, ".xxxxtest-XXXXXX");
    int descriptor = ::mkostemp(probe.data(), O_CLOEXEC);
    if (descriptor < 0) return true;
    ::close(descriptor);
    return ::unlink(probe.c_str()) != 0;
}

bool TkFileSystem::RenameFile(const std::string& oldName, const std::string& newName) {
    if (oldName == newName) return true;
    if (!FileExists(oldName) || FileExists(newName)) return false;
    try {
        File::Rename(oldName, newName);
    } catch (const FileException&) {
        return false;
    }
    return true;
}

bool TkFileSystem::DeleteFile(const std::string& path) {
    try {
        File::Remove(path);
    } catch (const FileException&) {
        return false;
    }
    return true;
}

bool TkFileSystem::DeleteFiles(const std::string& pattern, int32_t filter) {
    bool all = true;
    const auto files = GetFileList(pattern, filter, false);
    for (const auto& file : *files)
        all = DeleteFile(file) && all;
    return all;
}

bool TkFileSystem::CloseFile(File& file) {
    try {
        file.Close();
    } catch (const FileException&) {
        return false;
    }
    return true;
}

bool TkFileSystem::CopyFile(const std::string& source, const std::string& destination, uint32_t bufferSize) {
    if (bufferSize == 0) return false;
    Descriptor input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input.IsOpen() || DirectoryExists(source)) return false;
    Descriptor output(::open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!output.IsOpen()) return false;
    std::vector<char> buffer(bufferSize);
    bool complete = true;
    while (true) {
        ssize_t count = input.ReadFull(buffer.data(), buffer.size());
        if (count < 0 || !output.WriteFull(buffer.data(), size_t(count))) {
            complete = false;
            break;
        }
        if (size_t(count) < buffer.size()) break;
    }
    if (!output.Close()) complete = false;
    if (!complete) ::unlink(destination.c_str());
    return complete;
}

bool TkFileSystem::CopyFiles(const std::string& pattern, const std::string& destination, bool continueOnError,
                             int32_t filter) {
    bool all = true;
    const auto files = GetFileList(pattern, filter, false);
    for (const auto& file : *files) {
        if (CopyFile(file, AppendPaths(destination, GetFileName(file)), kCopyBufferSize)) continue;
        all = false;
        if (!continueOnError) break;
    }
    return all;
}

bool TkFileSystem::CompareFiles(const std::string& first, const std::string& second, uint32_t bufferSize) {
    if (bufferSize == 0) return false;
    Descriptor a(::open(first.c_str(), O_RDONLY | O_CLOEXEC));
    Descriptor b(::open(second.c_str(), O_RDONLY | O_CLOEXEC));
    if (!a.IsOpen() || !b.IsOpen()) return false;
    int64_t length = a.Length();
    if (length < 0 || length != b.Length()) return false;
    std::vector<char> bufferA(bufferSize), bufferB(bufferSize);
    for (int64_t compared = 0; compared < length;) {
        ssize_t countA = a.ReadFull(bufferA.data(), bufferSize);
        ssize_t countB = b.ReadFull(bufferB.data(), bufferSize);
        if (countA <= 0 || countA != countB) return false;
        if (std::memcmp(bufferA.data(), bufferB.data(), size_t(countA)) != 0) return false;
        compared += countA;
    }
    return true;
}

bool TkFileSystem::CompareDirectories(const std::string& first, const std::string& second, bool recursive,
                                      bool compareContents, int32_t filter) {
    if (first == second) return true;
    // Names relative to each pattern's folder, found without changing the current directory.
    auto relativeList = [&](const std::string& pattern) -> std::unique_ptr<TkStringList> {
        const std::string directory = GetPath(pattern);
        if (!directory.empty() && !DirectoryExists(directory)) return nullptr;
        auto list = GetFileList(pattern, filter, recursive);
        for (auto& name : *list)
            name.erase(0, directory.size());
        Sort(*list, true);
        return list;
    };
    auto firstList = relativeList(first);
    auto secondList = relativeList(second);
    if (!firstList || !secondList || firstList->size() != secondList->size()) return false;
    for (size_t i = 0; i < firstList->size(); ++i) {
        if ((*firstList)[i] != (*secondList)[i]) return false;
        if (compareContents && !CompareFiles(GetPath(first) + (*firstList)[i],
                                             GetPath(second) + (*secondList)[i], kCopyBufferSize))
            return false;
    }
    return true;
}

// Linux has one tree under "/": it is the only drive, and no other can be made current.
std::string TkFileSystem::GetCurrentDrive() {
    return "/";
}

bool TkFileSystem::ChangeDrive(char) {
    return false;
}

std::unique_ptr<TkStringList> TkFileSystem::GetDriveList() {
    return std::make_unique<TkStringList>(TkStringList{"/"});
}

std::string TkFileSystem::GetVolumeLabel(const std::string&) {
    return {};
}

uint32_t TkFileSystem::GetDriveType(const std::string& root) {
    struct statfs info {};
    if (root.empty() || ::statfs(root.c_str(), &info) != 0) return 1;
    switch (uint64_t(info.f_type)) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
        return 4;
    case 0x01021994: // tmpfs
        return 6;
    default:
        return 3;
    }
}

int64_t TkFileSystem::GetFreeSpace(const std::string& root) {
    struct statvfs info {};
    if (root.empty() || ::statvfs(root.c_str(), &info) != 0) return -1;
    return int64_t(info.f_bavail) * int64_t(info.f_frsize);
}

int64_t TkFileSystem::GetTotalSpace(const std::string& root) {
    struct statvfs info {};
    if (root.empty() || ::statvfs(root.c_str(), &info) != 0) return -1;
    return int64_t(info.f_blocks) * int64_t(info.f_frsize);
}

std::string TkFileSystem::GetFullPathName(const std::string& path) {
    std::string absolute = path;
    if (!path.starts_with('/')) {
        char buffer[PATH_MAX];
        absolute = std::string(::getcwd(buffer, sizeof buffer) ? buffer : "") + "/" + path;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string full;
    for (const auto& part : parts)
        full += "/" + part;
    if (full.empty()) return "/";
    if (path.ends_with('/') || path.ends_with("/.") || path.ends_with("/..")) full += '/';
    return full;
}

std::string TkFileSystem::GetFileName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Without drives the path is the same with or without one.
std::string TkFileSystem::GetPath(const std::string& path, bool) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TkFileSystem::GetExtension(const std::string& path) {
    std::string name = GetFileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string TkFileSystem::GetBaseFileName(const std::string& path) {
    std::string name = GetFileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string TkFileSystem::GetDrive(const std::string& path) {
    return path.starts_with('/') ? "/" : "";
}

std::string TkFileSystem::AppendPaths(const std::string& path, const std::string& name) {
    if (!path.empty() && !path.ends_with('/')) return path + "/" + name;
    return path + name;
}

} // namespace vq
