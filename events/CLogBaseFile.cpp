#include "events/CLogBaseFile.h"

#include <algorithm>

namespace vq {
namespace {

constexpr unsigned kOpenMode =
    File::modeWrite | File::modeCreate | File::modeNoTruncate | File::shareDenyNone | File::typeText;

} // namespace

bool CLogBaseFile::Open(const std::string& basePath) {
    m_Path = basePath + OleDateTime::GetCurrentTime().Format("_%Y_%m_%d.txt");
    m_Open = OpenPath();
    if (!m_Open) NoteFailure();
    return m_Open;
}

bool CLogBaseFile::OpenPath() {
    return m_File.Open(m_Path, kOpenMode) && m_File.SeekToEnd();
}

void CLogBaseFile::WriteHeader(const std::string& text) {
    m_Header = text;
    WriteLine(text);
}

bool CLogBaseFile::WriteLine(const std::string& text) {
    if (m_Suspended && !Reopen()) return false;
    if (!m_Open) return false;
    const bool written = m_File.WriteString(text + "\n") && m_File.Flush();
    if (!written) {
        NoteFailure();
        m_File.Close();
        m_Suspended = true;
        m_LineCount = 0;
        return false;
    }
    if (m_LineCount++ >= kReopenLimit) Reopen();
    return true;
}

void CLogBaseFile::Suspend() {
    if (!m_Open || m_Suspended) return;
    m_File.Close();
    m_Suspended = true;
}

bool CLogBaseFile::Reopen() {
    m_File.Close();
    m_Open = false;
    if (!OpenPath()) {
        NoteFailure();
        return false;
    }
    m_Open = true;
    m_Suspended = false;
    m_LineCount = 0;
    if (m_File.GetLength() == 0) WriteLine(m_Header);
    m_LineCount = 0;
    return true;
}

void CLogBaseFile::NoteFailure() {
    const auto& error = m_File.GetError();
    m_LastError = m_Path + ": " + (error ? error->what() : "the file cannot be written");
}

std::string CLogBaseFile::FormatDateTime(const OleDateTime& time) {
    return time.Format("%b-%d-%Y,%H:%M:%S,");
}

std::string CLogBaseFile::ReplaceCommas(std::string text) {
    std::replace(text.begin(), text.end(), ',', '_');
    return text;
}

} // namespace vq
