#include "platform/classlib/WinApp.h"

#include "platform/classlib/CommandLineInfo.h"
#include "platform/classlib/ControlBar.h"
#include "platform/classlib/DocManager.h"
#include "platform/classlib/Wnd.h"
#include "platform/registry/PrivateProfile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace vq {

namespace {
CWinApp* application = nullptr;
}

VQ_IMPLEMENT_RUNTIME_CLASS(CWinApp, CCmdTarget)

CWinApp::CWinApp() {
    application = this;
    m_PreviousThreadHandler = SetThreadMessageHandler(&CWinApp::OnThreadMessage);
}

CWinApp::~CWinApp() {
    SetThreadMessageHandler(m_PreviousThreadHandler);
    if (application == this) application = nullptr;
}

void CWinApp::OnThreadMessage(const MSG& msg) {
    if (CWinApp* app = AfxGetApp()) app->DispatchThreadMessage(msg);
}

BOOL CWinApp::DispatchThreadMessage(const MSG& msg) {
    const MessageMapEntry* entry = FindEntry(msg.message, CN_THREAD_MESSAGE, 0);
    if (!entry) return FALSE;
    entry->handler(*this, msg.wParam, msg.lParam, nullptr);
    return TRUE;
}

CWinApp* AfxGetApp() {
    return application;
}

void CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
    if (!m_pDocManager) m_pDocManager = std::make_unique<CDocManager>();
    m_pDocManager->AddDocTemplate(std::move(docTemplate));
}

CDocument* CWinApp::OpenDocumentFile(const char* path) {
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info, int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        // Paths begin with '/' here, so only '-' marks a flag.
        const BOOL flag = word[0] == '-';
        info.ParseParam(flag ? word + 1 : word, flag, i + 1 == argc);
    }
}

void CWinApp::LoadStdProfileSettings(UINT maxFiles) {
    m_RecentFiles.clear();
    for (UINT i = 1; i <= maxFiles; ++i) {
        std::string entry = "File" + std::to_string(i);
        std::string path = GetProfileString("Recent File List", entry.c_str(), "");
        if (!path.empty()) m_RecentFiles.push_back(std::move(path));
    }
}

namespace {

// Reads a text of any length: the profile calls answer how much fitted, so a longer buffer is
// tried until the text is shorter than the room given.
std::string ReadProfileText(const char* section, const char* entry, const char* defaultValue,
                            const std::string& file) {
    for (uint32_t size = 256;; size *= 2) {
        std::vector<char> buffer(size);
        uint32_t count = GetPrivateProfileString(section, entry, defaultValue, buffer.data(), size, file);
        if (count < size - 2 || size >= (1u << 24)) return std::string(buffer.data(), count);
    }
}

std::string HexText(const std::uint8_t* data, UINT size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (UINT i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

} // namespace

void CWinApp::SetRegistryKey(const char* key) {
    m_pszRegistryKey = key ? key : "";
    m_pszProfileName = m_pszAppName;
}

std::string CWinApp::ProfileFile() const {
    if (m_pszProfileName.find('/') != std::string::npos) return m_pszProfileName;
    std::filesystem::path folder = std::filesystem::path(UserRegistryFile()).parent_path().parent_path();
    return (folder / (m_pszProfileName + ".ini")).string();
}

RegistryKey CWinApp::GetSectionKey(const char* section) {
    if (m_pszRegistryKey.empty() || !section) return nullptr;
    RegistryKey key = nullptr;
    std::string path = "Software\\" + m_pszRegistryKey + "\\" + m_pszProfileName + "\\" + section;
    if (RegCreateKeyEx(kRegistryCurrentUser, path, "", 0, kKeyAllAccess, &key, nullptr) != kRegistrySuccess)
        return nullptr;
    return key;
}

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    if (m_pszRegistryKey.empty()) return GetPrivateProfileInt(section, entry, defaultValue, ProfileFile());
    RegistryKey key = GetSectionKey(section);
    uint32_t value = uint32_t(defaultValue), type = 0, size = sizeof value;
    uint8_t bytes[4] = {};
    if (key && entry && RegQueryValueEx(key, entry, &type, bytes, &size) == kRegistrySuccess &&
        type == kRegistryDword && size == sizeof bytes)
        std::memcpy(&value, bytes, sizeof value);
    if (key) RegCloseKey(key);
    return value;
}

BOOL CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    if (m_pszRegistryKey.empty())
        return WritePrivateProfileString(section, entry, std::to_string(value).c_str(), ProfileFile());
    RegistryKey key = GetSectionKey(section);
    if (!key || !entry) return FALSE;
    uint8_t bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);
    long result = RegSetValueEx(key, entry, kRegistryDword, bytes, sizeof bytes);
    RegCloseKey(key);
    return result == kRegistrySuccess;
}

std::string CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
    std::string fallback = defaultValue ? defaultValue : "";
    if (m_pszRegistryKey.empty()) return ReadProfileText(section, entry, fallback.c_str(), ProfileFile());
    RegistryKey key = GetSectionKey(section);
    if (!key || !entry) {
        if (key) RegCloseKey(key);
        return fallback;
    }
    uint32_t type = 0, size = 0;
    std::string value = fallback;
    if (RegQueryValueEx(key, entry, &type, nullptr, &size) == kRegistrySuccess &&
        (type == kRegistryString || type == kRegistryExpandString)) {
        std::vector<uint8_t> bytes(size + 1);
        if (RegQueryValueEx(key, entry, &type, bytes.data(), &size) == kRegistrySuccess)
            value.assign(reinterpret_cast<const char*>(bytes.data()),
                         strnlen(reinterpret_cast<const char*>(bytes.data()), size));
    }
    RegCloseKey(key);
    return value;
}

BOOL CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
    if (m_pszRegistryKey.empty()) return WritePrivateProfileString(section, entry, value, ProfileFile());
    if (!section) return FALSE;
    if (!entry) {
        std::string path = "Software\\" + m_pszRegistryKey + "\\" + m_pszProfileName;
        RegistryKey programKey = nullptr;
        if (RegOpenKeyEx(kRegistryCurrentUser, path, kKeyAllAccess, &programKey) != kRegistrySuccess)
            return FALSE;
        long result = RegDeleteKey(programKey, section);
        RegCloseKey(programKey);
        return result == kRegistrySuccess || result == kRegistryFileNotFound;
    }
    RegistryKey key = GetSectionKey(section);
    if (!key) return FALSE;
    long result = value ? RegSetValueEx(key, entry, kRegistryString, reinterpret_cast<const uint8_t*>(value),
                                        uint32_t(std::strlen(value) + 1))
                        : RegDeleteValue(key, entry);
    RegCloseKey(key);
    return result == kRegistrySuccess || (!value && result == kRegistryFileNotFound);
}

BOOL CWinApp::GetProfileBinary(const char* section, const char* entry, std::vector<std::uint8_t>& data) {
    if (m_pszRegistryKey.empty()) {
        std::string text = ReadProfileText(section, entry, "", ProfileFile());
        if (text.empty() || text.size() % 2 != 0) return FALSE;
        std::vector<std::uint8_t> bytes;
        for (size_t i = 0; i < text.size(); i += 2) {
            int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
            if (high < 0 || low < 0) return FALSE;
            bytes.push_back(std::uint8_t(high << 4 | low));
        }
        data = std::move(bytes);
        return TRUE;
    }
    RegistryKey key = GetSectionKey(section);
    if (!key || !entry) {
        if (key) RegCloseKey(key);
        return FALSE;
    }
    uint32_t type = 0, size = 0;
    BOOL found = FALSE;
    if (RegQueryValueEx(key, entry, &type, nullptr, &size) == kRegistrySuccess && type == kRegistryBinary) {
        std::vector<std::uint8_t> bytes(std::max<uint32_t>(size, 1));
        if (RegQueryValueEx(key, entry, &type, bytes.data(), &size) == kRegistrySuccess) {
            bytes.resize(size);
            data = std::move(bytes);
            found = TRUE;
        }
    }
    RegCloseKey(key);
    return found;
}

BOOL CWinApp::WriteProfileBinary(const char* section, const char* entry, const std::uint8_t* data,
                                 UINT size) {
    if (!data && size) return FALSE;
    if (m_pszRegistryKey.empty())
        return WritePrivateProfileString(section, entry, HexText(data, size).c_str(), ProfileFile());
    RegistryKey key = GetSectionKey(section);
    if (!key || !entry) {
        if (key) RegCloseKey(key);
        return FALSE;
    }
    static const std::uint8_t none = 0;
    long result = RegSetValueEx(key, entry, kRegistryBinary, data ? data : &none, size);
    RegCloseKey(key);
    return result == kRegistrySuccess;
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    return CWnd::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : 0, msg);
}

BOOL CWinApp::OnIdle(int) {
    if (m_pMainWnd && m_pMainWnd->m_hWnd && IsWindowVisible(m_pMainWnd->m_hWnd)) {
        m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
        m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0);
    }
    return FALSE;
}

BOOL CWinApp::PumpMessage() {
    MSG msg;
    if (!GetMessage(&msg, 0, 0, 0)) {
        m_QuitCode = int(msg.wParam);
        return FALSE;
    }
    if (!PreTranslateMessage(&msg)) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    return TRUE;
}

int CWinApp::Run() {
    for (;;) {
        MSG msg;
        for (int count = 0; !PeekMessage(&msg, 0, 0, 0, PM_NOREMOVE) && OnIdle(count); ++count) {
        }
        if (!PumpMessage()) return ExitInstance();
    }
}

int CWinApp::ExitInstance() {
    return m_QuitCode;
}

} // namespace vq
