#include "platform/db/StagedDatabase.h"

#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <system_error>
#include <unistd.h>

namespace vq::db {
namespace {

StagedFile MakeStagedFile(const std::string& path) {
    try {
        return StagedFile(path);
    } catch (const std::system_error& error) {
        throw DatabaseError(SQLITE_CANTOPEN,
                            path + ": cannot create database file (" + error.code().message() + ")");
    }
}

// Makes the removal of the temporary name durable, as the link already is.
void SyncFolderOf(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

} // namespace

StagedDatabase::StagedDatabase(const std::string& path)
    : m_Path(path), m_File(MakeStagedFile(path)), m_Database(Database::Open(m_File.TemporaryPath())) {}

StagedDatabase::~StagedDatabase() {
    m_Database.reset();
    RemoveSideFiles();
}

void StagedDatabase::RemoveSideFiles() const {
    for (const char* suffix : {"-wal", "-shm", "-journal"})
        ::unlink((m_File.TemporaryPath() + suffix).c_str());
}

void StagedDatabase::CommitNew() {
    // Closing checkpoints the log into the file; a log left behind (a full disk, say) holds data
    // the file lacks, and linking the file alone would lose it.
    m_Database->Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    m_Database.reset();
    if (::access((m_File.TemporaryPath() + "-wal").c_str(), F_OK) == 0)
        throw DatabaseError(SQLITE_IOERR, m_Path + ": the new database's log could not be written into it");
    try {
        m_File.CommitNew();
    } catch (const std::system_error& error) {
        throw DatabaseError(SQLITE_CANTOPEN,
                            m_Path + ": cannot place the new database (" + error.code().message() + ")");
    }
    ::unlink(m_File.TemporaryPath().c_str());
    SyncFolderOf(m_Path);
}

} // namespace vq::db
