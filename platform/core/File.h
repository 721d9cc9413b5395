#pragma once

#include "platform/core/Exceptions.h"
#include "platform/time/CalendarTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace vq {

// What a path's status says. The attribute byte: 0x10 a directory, 0x02 a name starting with
// ".", 0x01 no write permission for the owner, 0x40 a device, FIFO or socket, 0x80 none of these.
struct FileStatus {
    CalendarTime m_ctime; // the last status change: Linux keeps no creation time everywhere
    CalendarTime m_mtime;
    CalendarTime m_atime;
    int64_t m_size = 0;
    uint8_t m_attribute = 0;
    std::string m_szFullName;
};

namespace FileAttribute {
inline constexpr uint8_t ReadOnly = 0x01;
inline constexpr uint8_t Hidden = 0x02;
inline constexpr uint8_t Directory = 0x10;
inline constexpr uint8_t Device = 0x40;
inline constexpr uint8_t Normal = 0x80;
} // namespace FileAttribute

// A file opened by path over the system's descriptors. Share flags are accepted and ignored;
// failures raise FileException, except where a call says it answers false.
class File {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    File() = default;
    // Opens or raises FileException.
    File(const std::string& path, unsigned flags);
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    virtual ~File();

    // False when the file cannot be opened, with the reason in `error` when given.
    virtual bool Open(const std::string& path, unsigned flags, std::optional<FileException>* error = nullptr);
    // The bytes read: fewer than asked only at the end of the file.
    virtual uint32_t Read(void* buffer, uint32_t count);
    virtual void Write(const void* buffer, uint32_t count);
    virtual int64_t Seek(int64_t offset, SeekPosition from);
    virtual int64_t GetPosition() const;
    virtual int64_t GetLength() const;
    virtual void SetLength(int64_t length);
    virtual void Flush();
    virtual void Close();
    // Closes without raising.
    virtual void Abort();
    bool IsOpen() const { return m_Descriptor >= 0; }
    const std::string& GetFilePath() const { return m_Path; }

    bool GetStatus(FileStatus& status) const;
    static bool GetStatus(const std::string& path, FileStatus& status);
    // Renames without replacing: an existing new name raises FileException.
    static void Rename(const std::string& oldName, const std::string& newName);
    static void Remove(const std::string& path);

protected:
    // For files over descriptors that others open and close (sockets): the descriptor is taken
    // or given up without opening or closing anything.
    int GetDescriptor() const { return m_Descriptor; }
    void SetDescriptor(int descriptor) { m_Descriptor = descriptor; }
    void SetFilePath(std::string path) { m_Path = std::move(path); }

private:
    [[noreturn]] void Raise(int error) const;

    int m_Descriptor = -1;
    std::string m_Path;
};

// The attribute byte of a status that stat or lstat gave for `path`.
uint8_t FileAttributeOf(const struct stat& info, const std::string& path);

// The exception for a system error number on a path.
FileException FileErrorFromErrno(int error, const std::string& path);

} // namespace vq
