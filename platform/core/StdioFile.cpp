#include "platform/core/StdioFile.h"

#include <cerrno>

namespace vq {

bool CStdioFile::Open(const std::string& path, unsigned flags) {
    m_Error.reset();
    m_Text = (flags & File::typeBinary) == 0;
    return m_File.Open(path, flags, &m_Error);
}

bool CStdioFile::Fail(const FileException& error) {
    m_Error.emplace(error);
    return false;
}

bool CStdioFile::WriteString(const std::string& text) {
    std::string bytes;
    if (m_Text) {
        bytes.reserve(text.size() + 8);
        for (const char c : text) {
            if (c == '\n') bytes += '\r';
            bytes += c;
        }
    }
    const std::string& out = m_Text ? bytes : text;
    try {
        m_File.Write(out.data(), std::uint32_t(out.size()));
        return true;
    } catch (const FileException& error) {
        return Fail(error);
    }
}

// Every write goes straight to the system, so there is nothing buffered here to push out; the file
// is only asked whether it is still there to be written.
bool CStdioFile::Flush() {
    if (m_File.IsOpen()) return true;
    return Fail(FileErrorFromErrno(EBADF, m_File.GetFilePath()));
}

bool CStdioFile::SeekToEnd() {
    try {
        m_File.Seek(0, File::end);
        return true;
    } catch (const FileException& error) {
        return Fail(error);
    }
}

std::int64_t CStdioFile::GetLength() const {
    try {
        return m_File.GetLength();
    } catch (const FileException&) {
        return -1;
    }
}

void CStdioFile::Close() {
    m_File.Abort();
}

} // namespace vq
