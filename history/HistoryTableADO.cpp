#include "history/HistoryTableADO.h"

namespace vq::history {
namespace {

std::unique_ptr<FieldSupport> MakeField(const ColumnSpec& column, int ordinal, auto& entry) {
    auto& value = entry.value;
    switch (column.kind) {
    case ShortValue:
        return std::make_unique<ShortFieldADO>(ordinal, column.name, kShortFormat, &value.shortValue,
                                               &entry.status);
    case IntValue:
        return std::make_unique<IntFieldADO>(ordinal, column.name, kIntFormat, &value.intValue,
                                             &entry.status);
    case DoubleValue:
        return std::make_unique<DoubleFieldADO>(ordinal, column.name, kDoubleFormat, &value.doubleValue,
                                                &entry.status);
    case DateValue:
        return std::make_unique<DateFieldADO>(ordinal, column.name, kDoubleFormat, &value.doubleValue,
                                              &entry.status);
    case ByteValue:
        return std::make_unique<ByteFieldADO>(ordinal, column.name, kByteFormat, &value.byteValue,
                                              &entry.status);
    case TextValue:
        entry.text.assign(static_cast<size_t>(column.capacity), '\0');
        return std::make_unique<TextFieldADO>(ordinal, column.name, column.capacity, kTextFormat,
                                              entry.text.data(), &entry.length, &entry.status);
    }
    return nullptr;
}

} // namespace

bool HistoryTableADO::CreateFields() {
    // Sized once: the columns keep pointers into the entries.
    m_Row = std::vector<RowEntry>(m_Spec.columns.size());
    m_Columns.clear();
    for (size_t i = 0; i < m_Spec.columns.size(); ++i) {
        m_Columns.push_back(MakeField(m_Spec.columns[i], static_cast<int>(i) + 1, m_Row[i]));
        m_Fields[i] = m_Columns.back().get();
        m_Fields[i]->Clear();
    }
    return true;
}

} // namespace vq::history
