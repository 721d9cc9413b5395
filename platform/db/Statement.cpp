#include "platform/db/Statement.h"

#include "platform/db/Database.h"

#include <limits>
#include <sqlite3.h>
#include <utility>

namespace vq::db {

Statement::Statement(const Database& database, sqlite3_stmt* handle)
    : m_Database(&database), m_Handle(handle) {}

Statement::Statement(Statement&& other) noexcept
    : m_Database(other.m_Database), m_Handle(std::exchange(other.m_Handle, nullptr)),
      m_HasRow(other.m_HasRow) {}

Statement& Statement::operator=(Statement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(m_Handle);
        m_Database = other.m_Database;
        m_Handle = std::exchange(other.m_Handle, nullptr);
        m_HasRow = other.m_HasRow;
    }
    return *this;
}

Statement::~Statement() {
    sqlite3_finalize(m_Handle);
}

void Statement::Check(int result) const {
    if (result != SQLITE_OK) m_Database->ThrowLastError();
}

void Statement::CheckParameter(int parameter) const {
    if (parameter < 1 || parameter > sqlite3_bind_parameter_count(m_Handle))
        m_Database->Throw(SQLITE_RANGE, "parameter " + std::to_string(parameter) + " out of range");
}

Statement& Statement::Bind(int parameter, int64_t value) {
    CheckParameter(parameter);
    Check(sqlite3_bind_int64(m_Handle, parameter, value));
    return *this;
}

Statement& Statement::Bind(int parameter, double value) {
    CheckParameter(parameter);
    Check(sqlite3_bind_double(m_Handle, parameter, value));
    return *this;
}

Statement& Statement::Bind(int parameter, std::string_view text) {
    CheckParameter(parameter);
    Check(sqlite3_bind_text64(m_Handle, parameter, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
    return *this;
}

Statement& Statement::BindNull(int parameter) {
    CheckParameter(parameter);
    Check(sqlite3_bind_null(m_Handle, parameter));
    return *this;
}

bool Statement::Step() {
    int result = sqlite3_step(m_Handle);
    m_HasRow = result == SQLITE_ROW;
    if (result != SQLITE_ROW && result != SQLITE_DONE) {
        // The error stays on the connection only until the next call; take it before resetting.
        try {
            m_Database->ThrowLastError();
        } catch (...) {
            sqlite3_reset(m_Handle);
            throw;
        }
    }
    return m_HasRow;
}

void Statement::Run() {
    while (Step()) {
    }
}

void Statement::Reset() {
    m_HasRow = false;
    sqlite3_reset(m_Handle);
    sqlite3_clear_bindings(m_Handle);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(m_Handle);
}

std::string Statement::ColumnName(int column) const {
    if (column < 0 || column >= ColumnCount())
        m_Database->Throw(SQLITE_RANGE, "column " + std::to_string(column) + " out of range");
    const char* name = sqlite3_column_name(m_Handle, column);
    if (name == nullptr) m_Database->Throw(SQLITE_NOMEM, "out of memory");
    return name;
}

int Statement::ColumnIndex(std::string_view name) const {
    for (int column = 0, count = ColumnCount(); column < count; ++column) {
        if (name == sqlite3_column_name(m_Handle, column)) return column;
    }
    m_Database->Throw(SQLITE_RANGE, "no column named " + std::string(name));
}

void Statement::CheckRowColumn(int column) const {
    if (!m_HasRow) m_Database->Throw(SQLITE_MISUSE, "no current row");
    if (column < 0 || column >= ColumnCount())
        m_Database->Throw(SQLITE_RANGE, "column " + std::to_string(column) + " out of range (the row has " +
                                            std::to_string(ColumnCount()) + ")");
}

bool Statement::IsNull(int column) const {
    CheckRowColumn(column);
    return sqlite3_column_type(m_Handle, column) == SQLITE_NULL;
}

int Statement::GetStorageClass(int column) const {
    CheckRowColumn(column);
    return sqlite3_column_type(m_Handle, column);
}

int32_t Statement::GetInt(int column) const {
    int64_t value = GetInt64(column);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        m_Database->Throw(SQLITE_MISMATCH, "column " + std::string(sqlite3_column_name(m_Handle, column)) +
                                               " holds " + std::to_string(value) + ", beyond 32 bits");
    return static_cast<int32_t>(value);
}

int64_t Statement::GetInt64(int column) const {
    CheckRowColumn(column);
    return sqlite3_column_int64(m_Handle, column);
}

double Statement::GetDouble(int column) const {
    CheckRowColumn(column);
    return sqlite3_column_double(m_Handle, column);
}

std::string Statement::GetText(int column) const {
    CheckRowColumn(column);
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_Handle, column));
    if (text == nullptr) {
        if (sqlite3_column_type(m_Handle, column) != SQLITE_NULL)
            m_Database->Throw(SQLITE_NOMEM, "out of memory");
        return {};
    }
    return std::string(text, static_cast<size_t>(sqlite3_column_bytes(m_Handle, column)));
}

} // namespace vq::db
