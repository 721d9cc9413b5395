#pragma once

#include "platform/db/Database.h"
#include "platform/db/StagedFile.h"

#include <memory>
#include <string>

namespace vq::db {

// A new database file built under a temporary name in its target's folder and linked into place
// only when complete, so the target path either does not exist or holds the whole file. An
// existing file at the path is never replaced. Unless committed, the temporary file and SQLite's
// side files are removed, so a failed build leaves nothing behind.
class StagedDatabase {
public:
    // Fails (DatabaseError) when the temporary file cannot be made, e.g. in an unwritable folder.
    explicit StagedDatabase(const std::string& path);
    StagedDatabase(const StagedDatabase&) = delete;
    StagedDatabase& operator=(const StagedDatabase&) = delete;
    ~StagedDatabase();

    Database& Connection() { return *m_Database; }

    // Closes the connection (which moves a write-ahead log into the file), syncs the file and links
    // it to the path; fails with the target untouched when something exists there by then.
    void CommitNew();

private:
    void RemoveSideFiles() const;

    std::string m_Path;
    StagedFile m_File;
    std::unique_ptr<Database> m_Database;
};

} // namespace vq::db
