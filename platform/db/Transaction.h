#pragma once

namespace vq::db {

class Database;

// BEGIN IMMEDIATE on construction, so the write lock is taken before the first change and a busy
// database fails here, not half-way; rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Database& database);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void Commit();

private:
    Database& m_Database;
    bool m_Open = true;
};

} // namespace vq::db
