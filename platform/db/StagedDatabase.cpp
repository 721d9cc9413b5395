#include "platform/db/StagedDatabase.h"

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
}

} // namespace vq::db
