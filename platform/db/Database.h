#pragma once

#include "platform/db/DatabaseError.h"
#include "platform/db/Statement.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct sqlite3;

namespace vq::db {

enum class OpenMode { ReadWrite, ReadOnly };

// One connection to one SQLite file. Statements and transactions made from it keep a reference to
// it, so it lives at a fixed address (see Open and Create) and must outlive them.
class Database {
public:
    static constexpr std::chrono::milliseconds kDefaultBusyTimeout{5000};

    // Opens an existing database file and never creates one: a missing path, a folder or a file
    // that is not a database fails here with a DatabaseError, not at the first query.
    static std::unique_ptr<Database> Open(const std::string& path, OpenMode mode = OpenMode::ReadWrite);
    // Creates a new, empty database file; fails when anything already exists at the path.
    static std::unique_ptr<Database> Create(const std::string& path);

    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    const std::string& Path() const { return m_Path; }
    // True when the file was opened read-only, by request or because it cannot be written.
    bool IsReadOnly() const;

    Statement Prepare(std::string_view sql);
    // Runs one or more statements that take no parameters.
    void Execute(const std::string& sql);

    int64_t LastInsertId() const;
    // Rows changed by the most recent INSERT, UPDATE or DELETE.
    int64_t Changes() const;
    void SetBusyTimeout(std::chrono::milliseconds timeout);

    // Throws the error of the connection's last failed call as "<path>: <SQLite's message>".
    [[noreturn]] void ThrowLastError() const;
    [[noreturn]] void Throw(int code, std::string_view message) const;

private:
    Database(sqlite3* handle, std::string path);
    static std::unique_ptr<Database> OpenHandle(const std::string& path, int flags);

    sqlite3* m_Handle;
    std::string m_Path;
};

} // namespace vq::db
