#include "platform/db/Database.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vq::db {
namespace {

std::string ErrorText(const std::string& path, std::string_view message) {
    std::string text = path;
    text += ": ";
    text += message;
    return text;
}

// SQLite's "unable to open database file" does not say why; the system's reason does.
std::string HandleMessage(sqlite3* handle) {
    std::string message = sqlite3_errmsg(handle);
    int code = sqlite3_extended_errcode(handle);
    int system = sqlite3_system_errno(handle);
    if (system != 0 && ((code & 0xff) == SQLITE_CANTOPEN || (code & 0xff) == SQLITE_IOERR)) {
        message += " (";
        message += std::strerror(system);
        message += ")";
    }
    return message;
}

// Without the check SQLite would open a private temporary database for "" and a memory database
// for ":memory:", and would make a new file for a missing path in read-write mode.
void RequireRegularFile(const std::string& path) {
    struct stat info {};
    if (path.empty()) throw DatabaseError(SQLITE_CANTOPEN, "No database file name given.");
    if (::stat(path.c_str(), &info) != 0)
        throw DatabaseError(SQLITE_CANTOPEN, ErrorText(path, std::string("unable to open database file (") +
                                                                 std::strerror(errno) + ")"));
    if (!S_ISREG(info.st_mode)) throw DatabaseError(SQLITE_CANTOPEN, ErrorText(path, "not a regular file"));
}

// A relative name SQLite could read as special (":memory:", or "file:h.db", which Debian's build
// takes as a URI) is made an ordinary relative path.
std::string FileName(const std::string& path) {
    return path.starts_with('/') ? path : "./" + path;
}

} // namespace

Database::Database(sqlite3* handle, std::string path) : m_Handle(handle), m_Path(std::move(path)) {}

Database::~Database() {
    sqlite3_close_v2(m_Handle);
}

std::unique_ptr<Database> Database::OpenHandle(const std::string& path, int flags) {
    sqlite3* handle = nullptr;
    int result = sqlite3_open_v2(FileName(path).c_str(), &handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        std::string message = handle ? HandleMessage(handle) : sqlite3_errstr(result);
        sqlite3_close_v2(handle);
        throw DatabaseError(result, ErrorText(path, message));
    }
    sqlite3_extended_result_codes(handle, 1);
    std::unique_ptr<Database> database(new Database(handle, path));
    database->SetBusyTimeout(kDefaultBusyTimeout);
    // SQLite reads nothing of the file until the first query; reading the schema now turns junk,
    // a foreign file or a damaged first page into a failure of the open.
    database->Prepare("SELECT count(*) FROM sqlite_schema").Run();
    return database;
}

std::unique_ptr<Database> Database::Open(const std::string& path, OpenMode mode) {
    RequireRegularFile(path);
    return OpenHandle(path, mode == OpenMode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
}

std::unique_ptr<Database> Database::Create(const std::string& path) {
    if (path.empty()) throw DatabaseError(SQLITE_CANTOPEN, "No database file name given.");
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw DatabaseError(SQLITE_CANTOPEN, ErrorText(path, std::string("cannot create database file (") +
                                                                 std::strerror(errno) + ")"));
    ::close(fd);
    return OpenHandle(path, SQLITE_OPEN_READWRITE);
}

bool Database::IsReadOnly() const {
    return sqlite3_db_readonly(m_Handle, "main") == 1;
}

Statement Database::Prepare(std::string_view sql) {
    sqlite3_stmt* handle = nullptr;
    int result = sqlite3_prepare_v2(m_Handle, sql.data(), static_cast<int>(sql.size()), &handle, nullptr);
    if (result != SQLITE_OK) ThrowLastError();
    if (handle == nullptr) Throw(SQLITE_MISUSE, "empty statement");
    return Statement(*this, handle);
}

void Database::Execute(const std::string& sql) {
    if (sqlite3_exec(m_Handle, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) ThrowLastError();
}

int64_t Database::LastInsertId() const {
    return sqlite3_last_insert_rowid(m_Handle);
}

int64_t Database::Changes() const {
    return sqlite3_changes64(m_Handle);
}

void Database::SetBusyTimeout(std::chrono::milliseconds timeout) {
    sqlite3_busy_timeout(m_Handle, static_cast<int>(timeout.count()));
}

void Database::ThrowLastError() const {
    throw DatabaseError(sqlite3_extended_errcode(m_Handle), ErrorText(m_Path, HandleMessage(m_Handle)));
}

void Database::Throw(int code, std::string_view message) const {
    throw DatabaseError(code, ErrorText(m_Path, message));
}

} // namespace vq::db
