#pragma once

#include "history/Variant.h"

#include <cstdint>
#include <string>

namespace vq::history {

// Value type codes of the column kinds; the creation binding keys its SQL types on them.
enum ValueType : int32_t {
    ShortValue = 2,
    IntValue = 3,
    DoubleValue = 5,
    DateValue = 7,
    ByteValue = 17,
    TextValue = 129,
};

// One column of a history table: its position, name, kind and where its value lives. The value slot
// belongs to the table's row buffer or to the column itself; callers read and write it through
// `m_Value` and set `m_Valid`, the database bindings move it only through GetVariant and SetVariant.
class FieldSupport {
public:
    virtual ~FieldSupport() = default;
    FieldSupport(const FieldSupport&) = delete;
    FieldSupport& operator=(const FieldSupport&) = delete;

    virtual void Clear() = 0;
    virtual Variant GetVariant() const = 0;
    // Stores the value converted to the kind; a value the kind cannot hold exactly enough (NULL, a
    // blob, a text that is not wholly a number, a number out of the kind's range) throws a
    // DatabaseError naming the column and leaves the slot as it was.
    virtual void SetVariant(const Variant& value) = 0;
    // False when the value cannot be rendered, or when the format does not fit the kind (which
    // would make printf read the wrong type).
    virtual bool FormatValue(std::string& text, const char* format) const = 0;

    // The value in the given format, or in the column's own; "<<invalid>>" when it cannot be rendered.
    std::string ToString(const char* format = nullptr) const;

    bool m_Valid = false;
    int32_t m_Ordinal;
    int32_t m_Size;
    int32_t m_ValueType;
    int32_t m_EngineType;
    const char* m_Name;
    const char* m_Format;

protected:
    FieldSupport(int ordinal, const char* name, int size, int valueType, int engineType, const char* format);

    [[noreturn]] void ThrowConversion(const std::string& why) const;
};

template <typename T> class FixedFieldSupport : public FieldSupport {
public:
    Variant GetVariant() const override;
    void SetVariant(const Variant& value) override;
    bool FormatValue(std::string& text, const char* format) const override;
    void Clear() override {
        *m_Value = T{};
        m_Valid = false;
    }

    T* m_Value;

protected:
    FixedFieldSupport(int ordinal, const char* name, int valueType, int engineType, const char* format,
                      T* value)
        : FieldSupport(ordinal, name, sizeof(T), valueType, engineType, format), m_Value(value) {}
};

extern template class FixedFieldSupport<int16_t>;
extern template class FixedFieldSupport<int64_t>;
extern template class FixedFieldSupport<double>;
extern template class FixedFieldSupport<uint8_t>;

// A text column: a buffer of `m_Capacity` bytes holding at most capacity - 1 bytes of UTF-8 and a
// terminating zero.
class VariableFieldSupport : public FieldSupport {
public:
    Variant GetVariant() const override { return Variant(std::string(m_Value)); }
    bool FormatValue(std::string& text, const char* format) const override;
    void Clear() override {
        m_Value[0] = '\0';
        m_Valid = false;
    }

    char* m_Value;
    int32_t* m_Length; // kept beside the buffer for the table's use; this layer leaves it alone
    int32_t m_Capacity;

protected:
    VariableFieldSupport(int ordinal, const char* name, int capacity, int engineType, const char* format,
                         char* value, int32_t* length);
};

class ShortFieldSupport : public FixedFieldSupport<int16_t> {
protected:
    ShortFieldSupport(int ordinal, const char* name, int engineType, const char* format, int16_t* value)
        : FixedFieldSupport(ordinal, name, ShortValue, engineType, format, value) {}
};

// 64 bits in memory, so row keys past 2^31 store and read back exactly.
class IntFieldSupport : public FixedFieldSupport<int64_t> {
protected:
    IntFieldSupport(int ordinal, const char* name, int engineType, const char* format, int64_t* value)
        : FixedFieldSupport(ordinal, name, IntValue, engineType, format, value) {}
};

// An OLE automation date (days since 30 December 1899, the fraction the time of day).
class DateFieldSupport : public FixedFieldSupport<double> {
protected:
    DateFieldSupport(int ordinal, const char* name, int engineType, const char* format, double* value)
        : FixedFieldSupport(ordinal, name, DateValue, engineType, format, value) {}
};

class DoubleFieldSupport : public FixedFieldSupport<double> {
protected:
    DoubleFieldSupport(int ordinal, const char* name, int engineType, const char* format, double* value)
        : FixedFieldSupport(ordinal, name, DoubleValue, engineType, format, value) {}
};

class ByteFieldSupport : public FixedFieldSupport<uint8_t> {
protected:
    ByteFieldSupport(int ordinal, const char* name, int engineType, const char* format, uint8_t* value)
        : FixedFieldSupport(ordinal, name, ByteValue, engineType, format, value) {}
};

class TextFieldSupport : public VariableFieldSupport {
public:
    // Takes a text as it is, a number as its decimal text; cuts a text longer than capacity - 1
    // bytes at the last UTF-8 character boundary that fits.
    void SetVariant(const Variant& value) override;

protected:
    TextFieldSupport(int ordinal, const char* name, int capacity, int engineType, const char* format,
                     char* value, int32_t* length)
        : VariableFieldSupport(ordinal, name, capacity, engineType, format, value, length) {}
};

// The default formats of the kinds; the int kind's is 64-bit.
inline constexpr const char* kShortFormat = "%hd";
inline constexpr const char* kIntFormat = "%lld";
inline constexpr const char* kDoubleFormat = "%g";
inline constexpr const char* kByteFormat = "%#02hx";
inline constexpr const char* kTextFormat = "%s";

} // namespace vq::history
