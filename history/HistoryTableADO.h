#pragma once

#include "history/FieldSupportADO.h"
#include "history/HistorySchema.h"
#include "history/TableSupportADO.h"

#include <memory>
#include <vector>

namespace vq::history {

// A history table on the access side, its columns made from the table list and bound to a row
// buffer inside the table object.
class HistoryTableADO : public TableSupportADO {
public:
    explicit HistoryTableADO(HistoryTableNumber number) : m_Spec(HistoryTables()[number]) {}

    const char* GetName() const override { return m_Spec.name; }
    int GetFieldCount() const override { return static_cast<int>(m_Spec.columns.size()); }
    bool CreateFields() override;

protected:
    // Points a named column member at the column in the given position; the kinds must agree.
    template <typename Field> void Bind(Field*& member, int position) {
        member = &dynamic_cast<Field&>(*m_Fields.at(static_cast<size_t>(position)));
    }

private:
    // One column's value slot (for text a buffer of its capacity and a length word) and status word.
    struct RowEntry {
        union {
            int16_t shortValue;
            int64_t intValue;
            double doubleValue;
            uint8_t byteValue;
        } value{};
        std::vector<char> text;
        int32_t length = 0;
        int32_t status = 0;
    };

    const TableSpec& m_Spec;
    std::vector<RowEntry> m_Row;
    std::vector<std::unique_ptr<FieldSupport>> m_Columns;
};

} // namespace vq::history
