#pragma once

#include "platform/gui/WindowSystem.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vq {

// The file, colour and folder pickers. What the user is asked goes through a provider: the
// program's default shows Qt's own (never the desktop's native) dialogs; tests install one that
// answers from a script. The calls here prepare the question and check the answer.
struct FileFilter {
    std::string name;
    // Shell patterns; "*" is every file.
    std::vector<std::string> patterns;
    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

struct FileRequest {
    bool save = false;
    std::string title;
    std::string folder;
    std::string fileName;
    std::vector<FileFilter> filters;
    // Of the filters, from 0.
    int filterIndex = 0;
};

// What the colour picker is asked: the colour it starts on, whether it opens with its custom part
// shown, and the 16 custom colours, which it may change.
struct ColourRequest {
    COLORREF initial = 0;
    bool fullOpen = false;
    std::array<COLORREF, 16> custom{};
};

class CommonDialogProvider {
public:
    virtual ~CommonDialogProvider() = default;
    // A full path, or nothing when the user cancels.
    virtual std::optional<std::string> PickFile(HWND owner, const FileRequest& request) = 0;
    // Leaves the custom colours as the user left them.
    virtual std::optional<COLORREF> PickColour(HWND owner, ColourRequest& request) = 0;
    // An existing folder, or nothing when the user cancels.
    virtual std::optional<std::string> PickFolder(HWND owner, const std::string& title,
                                                  const std::string& start) = 0;
};

// Installs a provider (null restores the default); answers the one it replaced.
CommonDialogProvider* SetCommonDialogProvider(CommonDialogProvider* provider);

enum : DWORD {
    OFN_READONLY = 0x1,
    OFN_OVERWRITEPROMPT = 0x2,
    OFN_HIDEREADONLY = 0x4,
    OFN_NOCHANGEDIR = 0x8,
    OFN_PATHMUSTEXIST = 0x800,
    OFN_FILEMUSTEXIST = 0x1000,
};

struct OPENFILENAME {
    HWND hwndOwner = 0;
    // Pairs of name and patterns (";" between patterns), each ended by a NUL, the list by a
    // second NUL.
    const char* lpstrFilter = nullptr;
    // From 1; 0 picks the first.
    DWORD nFilterIndex = 0;
    // In: the initial name (or path); out: the chosen path.
    char* lpstrFile = nullptr;
    DWORD nMaxFile = 0;
    const char* lpstrInitialDir = nullptr;
    const char* lpstrTitle = nullptr;
    DWORD Flags = 0;
    // Added to a chosen name without an extension.
    const char* lpstrDefExt = nullptr;
    // Out: where the name and its extension start in the path.
    std::uint16_t nFileOffset = 0;
    std::uint16_t nFileExtension = 0;
};

// FALSE when cancelled or when the path does not fit the buffer (CommDlgExtendedError says which).
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);

enum : DWORD { CC_RGBINIT = 0x1, CC_FULLOPEN = 0x2 };

struct CHOOSECOLOR {
    HWND hwndOwner = 0;
    // In with CC_RGBINIT: the colour to start on (black without); out: the chosen colour.
    COLORREF rgbResult = 0;
    // In and out when given: 16 custom colours, taken back when the user chooses.
    COLORREF* lpCustColors = nullptr;
    DWORD Flags = 0;
};
BOOL ChooseColor(CHOOSECOLOR* cc);

// A folder ending in "/", or nothing when cancelled. A start folder that is given but is not an
// existing folder fails without asking.
std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, const std::string& start);

inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;
// Why the last file dialog failed; 0 when the user cancelled.
DWORD CommDlgExtendedError();

// The filters of a NUL-separated list ("*.*" becomes "*", which every name matches).
std::vector<FileFilter> ParseFileFilters(const char* filter);

} // namespace vq
