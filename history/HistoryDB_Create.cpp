#include "history/HistoryDB_Create.h"

#include "history/FieldSupportDAO.h"
#include "platform/db/Database.h"
#include "platform/db/StatementCache.h"

#include <cstring>
#include <sys/stat.h>

namespace vq::history {
namespace {

std::unique_ptr<FieldSupport> MakeField(const ColumnSpec& column, int ordinal) {
    switch (column.kind) {
    case ShortValue:
        return std::make_unique<ShortFieldDAO>(ordinal, column.name);
    case IntValue:
        return std::make_unique<IntFieldDAO>(ordinal, column.name);
    case DoubleValue:
        return std::make_unique<DoubleFieldDAO>(ordinal, column.name);
    case DateValue:
        return std::make_unique<DateFieldDAO>(ordinal, column.name);
    case ByteValue:
        return std::make_unique<ByteFieldDAO>(ordinal, column.name);
    case TextValue:
        return std::make_unique<TextFieldDAO>(ordinal, column.name, column.capacity);
    }
    return nullptr;
}

} // namespace

bool HistoryTableDAO::CreateFields() {
    m_Columns.clear();
    for (size_t i = 0; i < m_Spec.columns.size(); ++i) {
        m_Columns.push_back(MakeField(m_Spec.columns[i], static_cast<int>(i) + 1));
        m_Fields[i] = m_Columns.back().get();
        m_Fields[i]->Clear();
    }
    return true;
}

bool HistoryTableDAO::Init(bool visible) {
    m_Schema = std::strcmp(GetName(), kSchemaTableName) == 0;
    return TableSupportDAO::Init(visible);
}

void HistoryDB_Create::Data_Table::Create(db::Database& database) {
    HistoryTableDAO::Create(database);
    database.Execute(db::CreateIndexSql("Data_TimeIndex", GetName(), "TimeIndex"));
}

void HistoryDB_Create::VorquelSchema_Table::Create(db::Database& database) {
    HistoryTableDAO::Create(database);
    const int64_t version[] = {1, 0, 0};
    auto insert = database.Prepare(DeclarationOf(*this).InsertSql());
    for (int i = 0; i < m_Count; ++i) {
        m_Fields[i]->SetVariant(Variant(version[i]));
        insert.Bind(i + 1, m_Fields[i]->GetVariant().Integer());
    }
    insert.Run();
}

HistoryDB_Create::HistoryDB_Create(std::string path) : DatabaseSupportDAO(std::move(path)) {
    Init(HistoryTableCount);
    for (TableSupportDAO* table : m_Tables)
        table->Init(table != &m_VorquelSchema);
}

HistoryDB_Create::~HistoryDB_Create() = default;

void HistoryDB_Create::Init(int count) {
    DatabaseSupportDAO::Init(count);
    m_Tables = {&m_TimeLine, &m_Data,     &m_Tuple,   &m_Interface, &m_Host,  &m_MAC,          &m_IP,
                &m_IPX,      &m_MAC_Name, &m_IP_Name, &m_IPX_Name,  &m_Event, &m_VorquelSchema};
}

bool DatabaseCreate(const std::string& path, bool /*deleteFirst*/,
                    const std::function<void(const TableSupportDAO&)>& tableCreated) {
    struct stat info {};
    if (path.empty() || ::lstat(path.c_str(), &info) == 0) return false;
    try {
        HistoryDB_Create creator(path);
        creator.m_TableCreated = tableCreated;
        creator.Create();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace vq::history
