#pragma once

#include "platform/core/StdioFile.h"
#include "platform/time/OleDateTime.h"

#include <string>

namespace vq {

// The writer of the dated comma-separated log files. A writer opens its file, writes a header into
// an empty one, and suspends (closes) the file after every record; the next record opens it again
// at the same path, so a file deleted meanwhile comes back with its header. A write that fails
// leaves the writer suspended as well, so the file is tried again at the next record.
class CLogBaseFile {
public:
    static constexpr int kReopenLimit = 5;

    CLogBaseFile() = default;
    virtual ~CLogBaseFile() = default;
    CLogBaseFile(const CLogBaseFile&) = delete;
    CLogBaseFile& operator=(const CLogBaseFile&) = delete;

    // Opens basePath + "_YYYY_MM_DD.txt" of today for appending, creating it when missing.
    bool Open(const std::string& basePath);
    // Keeps the header for files made again later and writes it now.
    void WriteHeader(const std::string& text);
    // Writes the text and a line end; false when the line was not written.
    bool WriteLine(const std::string& text);
    // Closes the file until the next line.
    void Suspend();
    bool IsOpen() const { return m_Open; }
    const std::string& GetPath() const { return m_Path; }
    std::int64_t GetLength() const { return m_File.GetLength(); }
    // Why the last line was not written, with the file's path.
    const std::string& GetLastError() const { return m_LastError; }

    // "Dec-08-2026,22:15:03," for the record's time.
    static std::string FormatDateTime(const OleDateTime& time);
    static std::string ReplaceCommas(std::string text);

private:
    bool OpenPath();
    bool Reopen();
    void NoteFailure();

    CStdioFile m_File;
    bool m_Open = false;
    bool m_Suspended = false;
    int m_LineCount = 0;
    std::string m_Header;
    std::string m_Path;
    std::string m_LastError;
};

} // namespace vq
