#pragma once

#include "history/FieldSupport.h"

#include <cstdint>
#include <vector>

namespace vq::history {

// Engine types of the creation binding's columns, kept as the file format's design numbers them.
// The SQL types are chosen by the value type, so these only travel with the columns.
enum EngineTypeDAO : int32_t {
    ByteEngine = 2,
    ShortEngine = 3,
    IntEngine = 4,
    DoubleEngine = 7,
    DateEngine = 8,
    TextEngine = 10,
};

class FieldSupportDAO {
public:
    virtual ~FieldSupportDAO() = default;
};

// The column leaves of the creation binding hold their value in the object itself.
template <typename Kind, typename Slot, EngineTypeDAO Engine, const char* const& Format>
class FixedFieldDAO : public Kind, public FieldSupportDAO {
public:
    FixedFieldDAO(int ordinal, const char* name) : Kind(ordinal, name, Engine, Format, &m_Storage) {}

private:
    Slot m_Storage{};
};

using ShortFieldDAO = FixedFieldDAO<ShortFieldSupport, int16_t, ShortEngine, kShortFormat>;
using IntFieldDAO = FixedFieldDAO<IntFieldSupport, int64_t, IntEngine, kIntFormat>;
using DoubleFieldDAO = FixedFieldDAO<DoubleFieldSupport, double, DoubleEngine, kDoubleFormat>;
using DateFieldDAO = FixedFieldDAO<DateFieldSupport, double, DateEngine, kDoubleFormat>;
using ByteFieldDAO = FixedFieldDAO<ByteFieldSupport, uint8_t, ByteEngine, kByteFormat>;

class TextFieldDAO : public TextFieldSupport, public FieldSupportDAO {
public:
    TextFieldDAO(int ordinal, const char* name, int capacity)
        : TextFieldSupport(ordinal, name, capacity, TextEngine, kTextFormat, nullptr, &m_Length),
          m_Buffer(static_cast<size_t>(capacity), '\0') {
        m_Value = m_Buffer.data();
    }

private:
    int32_t m_Length = 0;
    std::vector<char> m_Buffer;
};

} // namespace vq::history
