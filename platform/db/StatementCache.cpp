#include "platform/db/StatementCache.h"

#include "platform/db/Database.h"

namespace vq::db {

Statement& StatementCache::Get(const std::string& sql) {
    auto found = m_Statements.find(sql);
    if (found != m_Statements.end()) return *found->second;
    auto statement = std::make_unique<Statement>(m_Database.Prepare(sql));
    ++m_Preparations;
    return *m_Statements.emplace(sql, std::move(statement)).first->second;
}

} // namespace vq::db
