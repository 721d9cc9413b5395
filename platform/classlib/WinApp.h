#pragma once

#include "platform/classlib/CmdTarget.h"
#include "platform/registry/Registry.h"

#include <cstdint>
#include <string>
#include <vector>

#include <memory>

namespace vq {

class CCommandLineInfo;
class CDocManager;
class CDocTemplate;
class CDocument;
class CWnd;

// The application object: the last command target of every frame, and the message pump that
// gives windows their PreTranslateMessage before dispatch.
class CWinApp : public CCmdTarget {
    VQ_DECLARE_RUNTIME_CLASS(CWinApp)
public:
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    CWnd* m_pMainWnd = nullptr;
    // Made with the first template; closes the documents still open when the application goes.
    std::unique_ptr<CDocManager> m_pDocManager;

    void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    // Through the document manager; null without templates.
    CDocument* OpenDocumentFile(const char* path);

    // Settings go to HKEY_CURRENT_USER\Software\<key>\<profile name>\<section> once a key is set,
    // to the INI file of the profile name before (beside the registry folder unless a path).
    void SetRegistryKey(const char* key);
    // The section's key, created when missing, for the caller to close; null without a registry key.
    RegistryKey GetSectionKey(const char* section);
    UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
    BOOL WriteProfileInt(const char* section, const char* entry, int value);
    std::string GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
    // A null entry deletes the section, a null value the entry.
    BOOL WriteProfileString(const char* section, const char* entry, const char* value);
    BOOL GetProfileBinary(const char* section, const char* entry, std::vector<std::uint8_t>& data);
    BOOL WriteProfileBinary(const char* section, const char* entry, const std::uint8_t* data, UINT size);

    std::string m_pszAppName = "Vorquel";
    std::string m_pszRegistryKey;
    std::string m_pszProfileName = "Vorquel";

    // Hands each word after the program's name to the record's ParseParam.
    void ParseCommandLine(CCommandLineInfo& info, int argc, const char* const* argv);
    // Reads the recent-file list ("Recent File List", "File1"...) of at most `maxFiles` entries.
    void LoadStdProfileSettings(UINT maxFiles = 4);
    const std::vector<std::string>& GetRecentFiles() const { return m_RecentFiles; }

    virtual BOOL PreTranslateMessage(MSG* msg);
    // A message posted to the thread: the entry of the message map for it runs; FALSE when there
    // is none.
    virtual BOOL DispatchThreadMessage(const MSG& msg);
    // With the queue empty: the main window and its windows bring their layouts and command
    // states up to date (WM_IDLEUPDATECMDUI). FALSE: no further idle work wanted.
    virtual BOOL OnIdle(int count);
    // Takes one message from the queue and dispatches it; FALSE on WM_QUIT.
    BOOL PumpMessage();
    // The message loop: whenever the queue is empty, OnIdle with counts 0, 1, ... until it wants
    // no more or a message arrives; then the next message, waiting for one. Ends at WM_QUIT with
    // ExitInstance's answer.
    virtual int Run();
    // Called when the loop ends; answers the exit code, by default the one WM_QUIT carried.
    virtual int ExitInstance();

private:
    std::string ProfileFile() const;
    static void OnThreadMessage(const MSG& msg);

    ThreadMessageHandler m_PreviousThreadHandler = nullptr;

    std::vector<std::string> m_RecentFiles;
    int m_QuitCode = 0;
};

// The application object, or null when none exists.
CWinApp* AfxGetApp();

} // namespace vq
