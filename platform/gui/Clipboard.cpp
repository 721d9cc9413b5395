#include "platform/gui/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vq {

namespace {

constexpr UINT FirstRegisteredFormat = 0xC000;
// Text as this program wrote it: bytes that are not UTF-8 survive the trip.
const QString ExactTextType = QStringLiteral("application/x-vorquel-text");

struct ClipboardState {
    bool open = false;
    std::vector<std::string> names; // registered formats, by id − 0xC000
    std::unordered_map<std::string, UINT> ids;
};

ClipboardState& State() {
    static ClipboardState state;
    return state;
}

QString MimeTypeOf(UINT format) {
    if (format == CF_TEXT) return ExactTextType;
    const auto& names = State().names;
    if (format < FirstRegisteredFormat || format - FirstRegisteredFormat >= names.size()) return {};
    return QStringLiteral("application/x-vorquel-format;name=") +
           QString::fromUtf8(names[format - FirstRegisteredFormat]);
}

QClipboard* SystemClipboard() {
    return qGuiApp ? QGuiApplication::clipboard() : nullptr;
}

} // namespace

BOOL OpenClipboard(HWND) {
    if (State().open || !SystemClipboard()) return FALSE;
    State().open = true;
    return TRUE;
}

BOOL CloseClipboard() {
    if (!State().open) return FALSE;
    State().open = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!State().open) return FALSE;
    SystemClipboard()->clear();
    return TRUE;
}

UINT RegisterClipboardFormat(const char* name) {
    if (!name || !*name) return 0;
    ClipboardState& s = State();
    if (const auto it = s.ids.find(name); it != s.ids.end()) return it->second;
    const UINT id = FirstRegisteredFormat + UINT(s.names.size());
    s.names.emplace_back(name);
    s.ids.emplace(name, id);
    return id;
}

BOOL SetClipboardData(UINT format, const std::string& data) {
    const QString type = MimeTypeOf(format);
    if (!State().open || type.isEmpty()) return FALSE;
    QClipboard* clipboard = SystemClipboard();
    // The toolkit replaces everything at once, so the formats already set are carried over.
    auto mime = std::make_unique<QMimeData>();
    if (const QMimeData* current = clipboard->mimeData())
        for (const QString& existing : current->formats())
            mime->setData(existing, current->data(existing));
    mime->setData(type, QByteArray(data.data(), qsizetype(data.size())));
    if (format == CF_TEXT) mime->setText(QString::fromUtf8(data.data(), qsizetype(data.size())));
    clipboard->setMimeData(mime.release());
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    return GetClipboardData(format).has_value();
}

std::optional<std::string> GetClipboardData(UINT format) {
    const QString type = MimeTypeOf(format);
    QClipboard* clipboard = SystemClipboard();
    const QMimeData* mime = clipboard ? clipboard->mimeData() : nullptr;
    if (type.isEmpty() || !mime) return std::nullopt;
    if (mime->hasFormat(type)) {
        const QByteArray bytes = mime->data(type);
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }
    if (format == CF_TEXT && mime->hasText()) return mime->text().toStdString();
    return std::nullopt;
}

} // namespace vq
