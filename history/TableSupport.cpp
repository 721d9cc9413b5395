#include "history/TableSupport.h"

#include <algorithm>

namespace vq::history {

bool TableSupport::Init(bool visible) {
    m_System = !visible;
    m_Count = GetFieldCount();
    m_Fields.assign(static_cast<size_t>(m_Count), nullptr);
    return CreateFields();
}

void TableSupport::ClearFields() {
    for (FieldSupport* field : m_Fields)
        field->Clear();
}

bool TableSupport::AllValid() const {
    return !m_Fields.empty() &&
           std::all_of(m_Fields.begin(), m_Fields.end(), [](auto* f) { return f->m_Valid; });
}

std::string TableSupport::ToString(const char* prefix, const char* separator, const char* suffix,
                                   bool lineFeed) const {
    auto text = [](const char* part) { return part != nullptr ? part : ""; };
    std::string result;
    for (const FieldSupport* field : m_Fields) {
        result += text(prefix);
        result += field->m_Name;
        result += text(separator);
        result += field->ToString();
        result += text(suffix);
        if (lineFeed) result += '\n';
    }
    return result;
}

} // namespace vq::history
