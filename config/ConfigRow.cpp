#include "config/ConfigRow.h"

namespace vq {

OleDateTime RowReader::Date(int column) const {
    if (m_Row.IsNull(column)) {
        OleDateTime date;
        date.SetStatus(m_NullDate);
        return date;
    }
    return OleDateTime(m_Row.GetDouble(column));
}

void RowWriter::Date(int column, const OleDateTime& value) {
    if (value.GetStatus() == OleDateTime::valid)
        m_Statement.Bind(column + 1, value.Value());
    else
        m_Statement.BindNull(column + 1);
}

} // namespace vq
