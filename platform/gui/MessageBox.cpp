#include "platform/gui/MessageBox.h"

#include "platform/gui/DialogManager.h"

#include <QMessageBox>

namespace vq {

namespace {

class ToolkitMessageBox : public MessageBoxProvider {
public:
    int Show(HWND, const std::string& text, const std::string& caption, UINT type) override {
        QMessageBox box;
        box.setWindowTitle(QString::fromStdString(caption));
        box.setText(QString::fromStdString(text));
        switch (type & MB_ICONMASK) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        const struct {
            UINT type;
            QMessageBox::StandardButtons buttons;
        } layouts[] = {{MB_OKCANCEL, QMessageBox::Ok | QMessageBox::Cancel},
                       {MB_YESNOCANCEL, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
                       {MB_YESNO, QMessageBox::Yes | QMessageBox::No}};
        box.setStandardButtons(QMessageBox::Ok);
        for (const auto& l : layouts)
            if ((type & MB_TYPEMASK) == l.type) box.setStandardButtons(l.buttons);
        switch (box.exec()) {
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        case QMessageBox::Cancel:
            return IDCANCEL;
        default:
            // Closing a box without Cancel counts as its only way out.
            return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
        case QMessageBox::Ok:
            return IDOK;
        }
    }
};

ToolkitMessageBox toolkitMessageBox;
MessageBoxProvider* provider = &toolkitMessageBox;

} // namespace

MessageBoxProvider* SetMessageBoxProvider(MessageBoxProvider* replacement) {
    MessageBoxProvider* old = provider;
    provider = replacement ? replacement : &toolkitMessageBox;
    return old;
}

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    const bool disable = owner && IsWindowEnabled(owner);
    if (disable) EnableWindow(owner, FALSE);
    const int answer = provider->Show(owner, text ? text : "", caption ? caption : "", type);
    if (disable) EnableWindow(owner, TRUE);
    return answer;
}

} // namespace vq
