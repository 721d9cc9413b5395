#pragma once

#include "platform/core/File.h"

#include <optional>
#include <string>

namespace vq {

// A text file written line by line. In text mode every line feed is written as carriage return and
// line feed. Failures answer false and leave their exception to be read, never thrown.
class CStdioFile {
public:
    CStdioFile() = default;
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // With File's flags; modeCreate with modeNoTruncate creates a missing file and keeps an existing
    // one.
    bool Open(const std::string& path, unsigned flags);
    bool WriteString(const std::string& text);
    bool Flush();
    bool SeekToEnd();
    // The length in bytes; -1 when it cannot be read.
    std::int64_t GetLength() const;
    void Close();
    bool IsOpen() const { return m_File.IsOpen(); }
    // The failure of the last call that failed; empty after a success of Open.
    const std::optional<FileException>& GetError() const { return m_Error; }

private:
    bool Fail(const FileException& error);

    File m_File;
    bool m_Text = false;
    std::optional<FileException> m_Error;
};

} // namespace vq
