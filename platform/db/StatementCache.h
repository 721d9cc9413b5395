#pragma once

#include "platform/db/Statement.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace vq::db {

class Database;

// The statements of one connection, each prepared once on first use and reused, so writing a row
// costs no parse. Destroy the cache before its connection: the statements are finalized then.
class StatementCache {
public:
    explicit StatementCache(Database& database) : m_Database(database) {}
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The statement for this text, ready to bind; prepared now when it is new.
    Statement& Get(const std::string& sql);
    // How many statements were prepared since the cache was made.
    int64_t Preparations() const { return m_Preparations; }

private:
    Database& m_Database;
    std::unordered_map<std::string, std::unique_ptr<Statement>> m_Statements;
    int64_t m_Preparations = 0;
};

// Resets a statement when the scope ends, on every path, so a failed step never leaves it holding
// a read or write lock on the file.
class StatementReset {
public:
    explicit StatementReset(Statement& statement) : m_Statement(statement) {}
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;
    ~StatementReset() { m_Statement.Reset(); }

private:
    Statement& m_Statement;
};

} // namespace vq::db
