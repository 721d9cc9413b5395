#pragma once

#include "history/FieldSupport.h"

#include <cstdint>
#include <string>

namespace vq::history {

// The access side of a column: its status word in the table's row buffer, zero when the value is
// present. The binding never sets it; nothing but a test makes it non-zero.
class FieldSupportADO {
public:
    explicit FieldSupportADO(int32_t* status) : m_Status(status) {}
    virtual ~FieldSupportADO() = default;

    int32_t* m_Status;
};

// The column leaves of the access binding: a kind whose rendering also answers to the status word.
// Their engine type repeats the value type.
template <typename Kind, typename Slot, ValueType Type>
class FixedFieldADO : public Kind, public FieldSupportADO {
public:
    FixedFieldADO(int ordinal, const char* name, const char* format, Slot* value, int32_t* status)
        : Kind(ordinal, name, Type, format, value), FieldSupportADO(status) {}
    bool FormatValue(std::string& text, const char* format) const override {
        return *m_Status == 0 && Kind::FormatValue(text, format);
    }
};

using ShortFieldADO = FixedFieldADO<ShortFieldSupport, int16_t, ShortValue>;
using IntFieldADO = FixedFieldADO<IntFieldSupport, int64_t, IntValue>;
using DateFieldADO = FixedFieldADO<DateFieldSupport, double, DateValue>;
using DoubleFieldADO = FixedFieldADO<DoubleFieldSupport, double, DoubleValue>;
using ByteFieldADO = FixedFieldADO<ByteFieldSupport, uint8_t, ByteValue>;

class TextFieldADO : public TextFieldSupport, public FieldSupportADO {
public:
    TextFieldADO(int ordinal, const char* name, int capacity, const char* format, char* value,
                 int32_t* length, int32_t* status)
        : TextFieldSupport(ordinal, name, capacity, TextValue, format, value, length),
          FieldSupportADO(status) {}
    bool FormatValue(std::string& text, const char* format) const override {
        return *m_Status == 0 && TextFieldSupport::FormatValue(text, format);
    }
};

} // namespace vq::history
