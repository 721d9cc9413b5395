#pragma once

#include "platform/core/File.h"
#include "platform/core/RuntimeClass.h"
#include "platform/gui/GdiTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vq {

using TkStringList = std::vector<std::string>;

// File, directory, path-string and drive services of the toolkit. Paths are separated by "/"
// only ("\" and ":" are characters of names); a wildcard's "*.*" means every name. "/" is the
// one drive. An object holds one enumeration at a time and belongs to one thread.
class TkFileSystem : public Object {
    VQ_DECLARE_RUNTIME_CLASS(TkFileSystem)
public:
    // Attribute filters of the enumeration: every entry, or plain entries.
    static constexpr int32_t kEveryEntry = -1;
    static constexpr int32_t kPlainEntries = 0;

    TkFileSystem() = default;

    bool GetFileStatus(const std::string& path, FileStatus& status);
    bool GetFileCreateTime(const std::string& path, CalendarTime& time);
    bool GetFileModifyTime(const std::string& path, CalendarTime& time);
    bool GetFileAccessTime(const std::string& path, CalendarTime& time);
    bool GetFileSize(const std::string& path, int64_t& size);
    bool GetFileAttribute(const std::string& path, uint8_t& attribute);

    bool FileExists(const std::string& path);
    bool DirectoryExists(const std::string& path);
    bool DriveExists(const std::string& drive);

    // A non-empty wildcard starts a new enumeration, an empty one continues it. False with an
    // empty name at the end; an entry the filter refuses gives true with an empty name.
    bool GetADirectoryEntry(std::string& name, const std::string& wildcard, int32_t filter = kEveryEntry);
    std::unique_ptr<std::string> GetDirectoryEntry(const std::string& wildcard, int32_t filter = kEveryEntry);
    std::unique_ptr<TkStringList> GetFileListFromDirectory(const std::string& pattern, int32_t filter);
    std::unique_ptr<TkStringList> GetSubdirList(const std::string& directory, bool fullPaths);
    std::unique_ptr<TkStringList> GetFileList(const std::string& pattern, int32_t filter, bool recursive,
                                              std::unique_ptr<TkStringList> list = nullptr);
    static void Sort(TkStringList& list, bool caseSensitive);
    static void FillListBox(HWND listBox, const TkStringList& list);
    static void FillComboBox(HWND comboBox, const TkStringList& list);

    // The current directory, or with a path that path's own full name; empty on failure. Only
    // ChangeDirectory changes the process's current directory.
    void GetCurrentDirectory(std::string& directory, const std::string& path = {});
    bool ChangeDirectory(const std::string& path);
    bool MakeDirectory(const std::string& path);
    bool MakePath(const std::string& path);
    // A recursive delete removes symbolic links as they are, never what they point to.
    bool DeleteDirectory(const std::string& path, bool recursive);
    int64_t GetDirectorySize(const std::string& path, const std::string& wildcard, bool recursive);
    bool RenameDirectory(const std::string& oldName, const std::string& newName);
    bool IsReadOnlyDirectory(const std::string& directory);

    bool RenameFile(const std::string& oldName, const std::string& newName);
    bool DeleteFile(const std::string& path);
    bool DeleteFiles(const std::string& pattern, int32_t filter);
    static bool CloseFile(File& file);
    // Never replaces a file; a copy that cannot be completed is removed.
    bool CopyFile(const std::string& source, const std::string& destination, uint32_t bufferSize);
    bool CopyFiles(const std::string& pattern, const std::string& destination, bool continueOnError,
                   int32_t filter);
    bool CompareFiles(const std::string& first, const std::string& second, uint32_t bufferSize);
    bool CompareDirectories(const std::string& first, const std::string& second, bool recursive,
                            bool compareContents, int32_t filter);

    std::string GetCurrentDrive();
    bool ChangeDrive(char letter);
    std::unique_ptr<TkStringList> GetDriveList();
    std::string GetVolumeLabel(const std::string& root);
    // 1 for a missing path, 4 for a network file system, 6 for memory, else 3.
    uint32_t GetDriveType(const std::string& root);
    // Bytes, −1 on failure.
    int64_t GetFreeSpace(const std::string& root);
    int64_t GetTotalSpace(const std::string& root);

    static std::string GetFullPathName(const std::string& path);
    static std::string GetFileName(const std::string& path);
    static std::string GetPath(const std::string& path, bool withDrive = true);
    static std::string GetExtension(const std::string& path);
    static std::string GetBaseFileName(const std::string& path);
    static std::string GetDrive(const std::string& path);
    static std::string AppendPaths(const std::string& path, const std::string& name);

private:
    struct Entry {
        std::string name;
        uint8_t attribute = 0;
        int64_t size = 0;
    };
    static bool Accepts(uint8_t attribute, int32_t filter);
    void CloseEnumeration();

    Entry m_FindData;
    std::vector<Entry> m_Entries;
    size_t m_Next = 0;
    bool m_Enumerating = false;
};

} // namespace vq
