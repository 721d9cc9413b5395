#include "platform/gui/CommonDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace vq {

namespace {

QString ToQt(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}

QColor ToQt(COLORREF c) {
    return QColor(int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c)));
}

COLORREF FromQt(const QColor& c) {
    return RGB(unsigned(c.red()), unsigned(c.green()), unsigned(c.blue()));
}

class QtDialogs : public CommonDialogProvider {
public:
    std::optional<std::string> PickFile(HWND, const FileRequest& r) override {
        QFileDialog dialog(nullptr, ToQt(r.title), ToQt(r.folder));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        QStringList filters;
        for (const FileFilter& f : r.filters) {
            QStringList patterns;
            for (const std::string& p : f.patterns)
                patterns << ToQt(p);
            filters << ToQt(f.name) + " (" + patterns.join(' ') + ")";
        }
        dialog.setNameFilters(filters);
        if (r.filterIndex >= 0 && r.filterIndex < filters.size())
            dialog.selectNameFilter(filters[r.filterIndex]);
        if (!r.fileName.empty()) dialog.selectFile(ToQt(r.fileName));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }

    std::optional<COLORREF> PickColour(HWND, ColourRequest& r) override {
        // The dialog always shows its custom colours; they are shared by every colour dialog.
        for (std::size_t i = 0; i < r.custom.size(); ++i)
            QColorDialog::setCustomColor(int(i), ToQt(r.custom[i]));
        const QColor c = QColorDialog::getColor(ToQt(r.initial), nullptr, QString(), QColorDialog::DontUseNativeDialog);
        for (std::size_t i = 0; i < r.custom.size(); ++i)
            r.custom[i] = FromQt(QColorDialog::customColor(int(i)));
        if (!c.isValid()) return std::nullopt;
        return FromQt(c);
    }

    std::optional<std::string> PickFolder(HWND, const std::string& title, const std::string& start) override {
        const QString folder = QFileDialog::getExistingDirectory(
            nullptr, ToQt(title), ToQt(start), QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (folder.isEmpty()) return std::nullopt;
        return folder.toStdString();
    }
};

QtDialogs qtDialogs;
CommonDialogProvider* provider = &qtDialogs;
DWORD lastError = 0;

// The owner is disabled while the picker is up, as under any modal window.
template <typename Ask> auto Modal(HWND owner, Ask ask) {
    const bool disable = owner && IsWindowEnabled(owner);
    if (disable) EnableWindow(owner, FALSE);
    auto answer = ask();
    if (disable) EnableWindow(owner, TRUE);
    return answer;
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

BOOL PickFile(OPENFILENAME* ofn, bool save) {
    lastError = 0;
    if (!ofn) return FALSE;
    FileRequest r;
    r.save = save;
    r.title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
    r.filters = ParseFileFilters(ofn->lpstrFilter);
    r.filterIndex = ofn->nFilterIndex > 0 ? int(ofn->nFilterIndex) - 1 : 0;
    const std::string given = ofn->lpstrFile ? ofn->lpstrFile : "";
    // A given folder is where to start; a given path starts in its folder with its name chosen.
    if (IsFolder(given)) {
        r.folder = given;
    } else {
        const std::filesystem::path p(given);
        r.fileName = p.filename().string();
        if (IsFolder(p.parent_path().string())) r.folder = p.parent_path().string();
    }
    if (r.folder.empty() && ofn->lpstrInitialDir) r.folder = ofn->lpstrInitialDir;
    // The process's current folder never moves: nothing here changes it.
    auto chosen = Modal(ofn->hwndOwner, [&] { return provider->PickFile(ofn->hwndOwner, r); });
    if (!chosen) return FALSE;
    std::string path = *chosen;
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.find('.', nameStart);
    if (dot == std::string::npos && ofn->lpstrDefExt && *ofn->lpstrDefExt) {
        path += '.';
        path += ofn->lpstrDefExt;
        dot = path.find('.', nameStart);
    }
    if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile || path.size() > 0xFFFF) {
        lastError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    ofn->nFileOffset = std::uint16_t(nameStart);
    ofn->nFileExtension = std::uint16_t(dot == std::string::npos ? path.size() : dot + 1);
    return TRUE;
}

} // namespace

CommonDialogProvider* SetCommonDialogProvider(CommonDialogProvider* replacement) {
    CommonDialogProvider* old = provider;
    provider = replacement ? replacement : &qtDialogs;
    return old;
}

std::vector<FileFilter> ParseFileFilters(const char* filter) {
    std::vector<FileFilter> out;
    if (!filter) return out;
    while (*filter) {
        FileFilter f;
        f.name = filter;
        filter += f.name.size() + 1;
        if (!*filter) break;
        std::istringstream patterns(filter);
        filter += std::strlen(filter) + 1;
        for (std::string p; std::getline(patterns, p, ';');) {
            p.erase(0, p.find_first_not_of(' '));
            if (p.empty()) continue;
            f.patterns.push_back(p == "*.*" ? "*" : p);
        }
        out.push_back(std::move(f));
    }
    return out;
}

BOOL GetOpenFileName(OPENFILENAME* ofn) {
    return PickFile(ofn, false);
}

BOOL GetSaveFileName(OPENFILENAME* ofn) {
    return PickFile(ofn, true);
}

BOOL ChooseColor(CHOOSECOLOR* cc) {
    if (!cc) return FALSE;
    ColourRequest request;
    request.initial = (cc->Flags & CC_RGBINIT) ? cc->rgbResult & 0xFFFFFF : 0;
    request.fullOpen = (cc->Flags & CC_FULLOPEN) != 0;
    if (cc->lpCustColors) std::copy_n(cc->lpCustColors, request.custom.size(), request.custom.begin());
    const auto colour = Modal(cc->hwndOwner, [&] { return provider->PickColour(cc->hwndOwner, request); });
    if (!colour) return FALSE;
    cc->rgbResult = *colour;
    if (cc->lpCustColors) std::copy(request.custom.begin(), request.custom.end(), cc->lpCustColors);
    return TRUE;
}

std::optional<std::string> BrowseForFolder(HWND owner, const std::string& title, const std::string& start) {
    if (!start.empty() && !IsFolder(start)) return std::nullopt;
    auto folder = Modal(owner, [&] { return provider->PickFolder(owner, title, start); });
    if (!folder || folder->empty()) return std::nullopt;
    if (folder->back() != '/') *folder += '/';
    return folder;
}

DWORD CommDlgExtendedError() {
    return lastError;
}

} // namespace vq
