#pragma once

#include "platform/core/Exceptions.h"

#include <string>

namespace vq::db {

// Every failure of the database layer: the text names the file and carries SQLite's message, so a
// caller can show it as it is.
class DatabaseError : public Exception {
public:
    DatabaseError(int code, const std::string& text) : Exception(text), m_Code(code) {}

    // SQLite's extended result code (SQLITE_BUSY, SQLITE_READONLY, SQLITE_NOTADB, ...).
    int Code() const { return m_Code; }

private:
    int m_Code;
};

} // namespace vq::db
