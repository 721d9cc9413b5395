#include "history/FieldSupport.h"

#include "platform/core/Format.h"
#include "platform/db/DatabaseError.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <sqlite3.h>
#include <string_view>

namespace vq::history {
namespace {

// The single conversion of a printf format: its length modifier and conversion letter.
struct Conversion {
    std::string_view length;
    char letter = 0;
};

std::optional<Conversion> SingleConversion(const char* format) {
    std::optional<Conversion> found;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') continue;
        if (*++p == '%') continue;
        if (found) return std::nullopt;
        p += std::strspn(p, "-+ #0'");
        p += std::strspn(p, "0123456789");
        if (*p == '.') p += 1 + std::strspn(p + 1, "0123456789");
        const size_t length = std::strspn(p, "hlLjzt");
        if (p[length] == '\0') return std::nullopt;
        found = Conversion{std::string_view(p, length), p[length]};
        p += length;
    }
    return found;
}

bool Fits(const Conversion& conversion, std::initializer_list<std::string_view> lengths,
          const char* letters) {
    if (std::strchr(letters, conversion.letter) == nullptr) return false;
    for (std::string_view length : lengths) {
        if (conversion.length == length) return true;
    }
    return false;
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseReal(std::string_view text) {
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RoundHalfToEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) return floor + 1.0;
    return floor;
}

const char* TypeName(Variant::Type type) {
    return type == Variant::Type::Null ? "NULL" : "a blob";
}

std::string RealText(double value) {
    char text[32];
    auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

} // namespace

FieldSupport::FieldSupport(int ordinal, const char* name, int size, int valueType, int engineType,
                           const char* format)
    : m_Ordinal(ordinal), m_Size(size), m_ValueType(valueType), m_EngineType(engineType), m_Name(name),
      m_Format(format) {}

std::string FieldSupport::ToString(const char* format) const {
    std::string text;
    if (!FormatValue(text, format != nullptr ? format : m_Format)) return "<<invalid>>";
    return text;
}

void FieldSupport::ThrowConversion(const std::string& why) const {
    throw db::DatabaseError(SQLITE_MISMATCH, std::string("column ") + m_Name + ": " + why);
}

template <typename T> Variant FixedFieldSupport<T>::GetVariant() const {
    if constexpr (std::is_floating_point_v<T>)
        return Variant(*m_Value);
    else
        return Variant(static_cast<int64_t>(*m_Value));
}

template <typename T> void FixedFieldSupport<T>::SetVariant(const Variant& value) {
    switch (value.GetType()) {
    case Variant::Type::Null:
    case Variant::Type::Blob:
        ThrowConversion(std::string("cannot read ") + TypeName(value.GetType()));
    case Variant::Type::Text:
        if constexpr (std::is_integral_v<T>) {
            if (auto integer = ParseInteger(value.Text())) return SetVariant(Variant(*integer));
        }
        if (auto real = ParseReal(value.Text())) return SetVariant(Variant(*real));
        ThrowConversion("\"" + value.Text() + "\" is not a number");
    case Variant::Type::Integer:
        if constexpr (std::is_floating_point_v<T>) {
            *m_Value = static_cast<T>(value.Integer());
        } else {
            const int64_t integer = value.Integer();
            if (integer < std::numeric_limits<T>::min() || integer > std::numeric_limits<T>::max())
                ThrowConversion(std::to_string(integer) + " is out of range");
            *m_Value = static_cast<T>(integer);
        }
        return;
    case Variant::Type::Real:
        if constexpr (std::is_floating_point_v<T>) {
            *m_Value = value.Real();
        } else {
            const double rounded = RoundHalfToEven(value.Real());
            // max + 1 is exact for the narrow kinds and rounds to 2^63, itself out of range, for 64 bits.
            const double low = static_cast<double>(std::numeric_limits<T>::min());
            const double high = static_cast<double>(std::numeric_limits<T>::max()) + 1.0;
            if (!(rounded >= low && rounded < high))
                ThrowConversion(RealText(value.Real()) + " is out of range");
            *m_Value = static_cast<T>(rounded);
        }
        return;
    }
}

template <typename T> bool FixedFieldSupport<T>::FormatValue(std::string& text, const char* format) const {
    auto conversion = SingleConversion(format);
    if (!conversion) return false;
    if constexpr (std::is_same_v<T, double>) {
        if (!Fits(*conversion, {"", "l"}, "eEfFgGaA")) return false;
        text = Format(format, *m_Value);
    } else if constexpr (std::is_same_v<T, int64_t>) {
        if (!Fits(*conversion, {"ll"}, "dioxXu")) return false;
        text = Format(format, static_cast<long long>(*m_Value));
    } else if constexpr (std::is_same_v<T, int16_t>) {
        if (!Fits(*conversion, {"", "h"}, "dioxXu")) return false;
        text = Format(format, static_cast<int>(*m_Value));
    } else {
        if (!Fits(*conversion, {"", "h", "hh"}, "dioxXu")) return false;
        text = Format(format, static_cast<unsigned>(*m_Value));
    }
    return true;
}

template class FixedFieldSupport<int16_t>;
template class FixedFieldSupport<int64_t>;
template class FixedFieldSupport<double>;
template class FixedFieldSupport<uint8_t>;

VariableFieldSupport::VariableFieldSupport(int ordinal, const char* name, int capacity, int engineType,
                                           const char* format, char* value, int32_t* length)
    : FieldSupport(ordinal, name, capacity, TextValue, engineType, format), m_Value(value), m_Length(length),
      m_Capacity(capacity) {}

bool VariableFieldSupport::FormatValue(std::string& text, const char* format) const {
    auto conversion = SingleConversion(format);
    if (!conversion || !Fits(*conversion, {""}, "s")) return false;
    text = Format(format, m_Value);
    return true;
}

void TextFieldSupport::SetVariant(const Variant& value) {
    std::string text;
    switch (value.GetType()) {
    case Variant::Type::Null:
    case Variant::Type::Blob:
        ThrowConversion(std::string("cannot read ") + TypeName(value.GetType()));
    case Variant::Type::Integer:
        text = std::to_string(value.Integer());
        break;
    case Variant::Type::Real:
        text = RealText(value.Real());
        break;
    case Variant::Type::Text:
        text = value.Text();
        break;
    }
    size_t kept = std::min(text.size(), static_cast<size_t>(m_Capacity - 1));
    // The first byte left out must begin a character, or the kept bytes would end in half of one.
    while (kept > 0 && kept < text.size() && (static_cast<unsigned char>(text[kept]) & 0xC0) == 0x80)
        --kept;
    std::memcpy(m_Value, text.data(), kept);
    m_Value[kept] = '\0';
}

} // namespace vq::history
