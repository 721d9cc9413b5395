// Feeds arbitrary masks and texts to the masked edit without a window, then arbitrary edits at
// arbitrary positions, and checks that the text keeps the mask's shape: one character per
// position, every literal in place, every placeholder empty or holding a character its class takes.

#include "toolkit/controls/TkMaskEdit.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::u32string Characters(const std::string& text) {
    const QList<uint> codes = QString::fromStdString(text).toUcs4();
    return std::u32string(codes.begin(), codes.end());
}

void CheckShape(const vq::TkMaskEdit& edit, const std::u32string& empty) {
    const std::u32string text = Characters(edit.GetText());
    Check(int(text.size()) == edit.GetMaskLength());
    Check(text.size() == empty.size());
    for (int p = 0; p < edit.GetMaskLength(); ++p) {
        if (edit.IsLiteral(p)) {
            Check(text[std::size_t(p)] == empty[std::size_t(p)]);
            continue;
        }
        char32_t c = text[std::size_t(p)];
        Check(c == edit.GetPromptChar() || edit.IsValidChar(p, c));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The mask runs to the first NUL, the data to the second; the bytes after are edits of three
    // bytes each: the operation and a signed position.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t maskEnd = std::min(input.find('\0'), input.size());
    const std::size_t dataEnd = std::min(input.find('\0', maskEnd + 1), input.size());
    vq::TkMaskEdit edit;
    edit.SetMask(input.substr(0, maskEnd));
    edit.ClearText();
    const std::u32string empty = Characters(edit.GetText());
    CheckShape(edit, empty);
    if (maskEnd < input.size())
        edit.SetData(input.substr(maskEnd + 1, dataEnd - maskEnd - 1), 0, vq::FALSE, vq::TRUE);
    CheckShape(edit, empty);

    for (std::size_t k = dataEnd + 1; k + 2 < input.size(); k += 3) {
        const int position = int(static_cast<std::int8_t>(input[k + 1]));
        const int other = int(static_cast<std::int8_t>(input[k + 2]));
        switch (static_cast<unsigned char>(input[k]) % 6) {
        case 1:
            edit.DeleteRange(position, other);
            break;
        case 2: {
            const int end = edit.GetInputEnd(position);
            Check(end >= -1 && end <= edit.GetMaskLength());
            break;
        }
        case 3:
            edit.SetData(input.substr(k + 1, 2), position, other & 1, other & 2);
            break;
        case 4:
            edit.Undo();
            break;
        case 5:
            edit.SetPromptChar(char32_t(static_cast<unsigned char>(input[k + 1])));
            break;
        default: {
            // Callers check a character before they insert it.
            char32_t c = char32_t(static_cast<unsigned char>(input[k + 2]));
            if (edit.IsValidChar(position, c)) edit.InsertChar(position, c, vq::FALSE);
            break;
        }
        }
        // A new prompt changes the empty text's placeholders, never its literals.
        CheckShape(edit, empty);
        std::string data2;
        edit.GetData(data2, vq::TRUE);
    }
    return 0;
}
