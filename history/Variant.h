#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace vq::history {

// A value as it travels between a column and the database: SQLite's storage classes. A blob's bytes
// are not carried, since no column kind accepts one.
class Variant {
public:
    enum class Type { Null, Integer, Real, Text, Blob };

    Variant() = default;
    Variant(int64_t value) : m_Value(value) {}
    Variant(int value) : m_Value(int64_t{value}) {}
    Variant(double value) : m_Value(value) {}
    Variant(std::string value) : m_Value(std::move(value)) {}
    Variant(const char* value) : m_Value(std::string(value)) {}
    static Variant Blob() {
        Variant blob;
        blob.m_Value = BlobTag{};
        return blob;
    }

    Type GetType() const { return static_cast<Type>(m_Value.index()); }
    int64_t Integer() const { return std::get<int64_t>(m_Value); }
    double Real() const { return std::get<double>(m_Value); }
    const std::string& Text() const { return std::get<std::string>(m_Value); }

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    struct BlobTag {
        friend bool operator==(BlobTag, BlobTag) = default;
    };
    std::variant<std::monostate, int64_t, double, std::string, BlobTag> m_Value;
};

} // namespace vq::history
