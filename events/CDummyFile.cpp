#include "events/CDummyFile.h"

int64_t CDummyFile::Seek(int64_t, SeekPosition) {
    return 0;
}

int64_t CDummyFile::GetPosition() const {
    return 0;
}

int64_t CDummyFile::GetLength() const {
    return 0;
}

void CDummyFile::SetLength(int64_t) {}

void CDummyFile::Flush() {}

void CDummyFile::Abort() {
    Close();
}

void CDummyFile::WriteString(const std::string& text) {
    Write(text.data(), uint32_t(text.size()));
}
