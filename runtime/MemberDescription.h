#pragma once

#include "platform/core/RuntimeClass.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vq {

class Timestamp;
class TimeSpan;
class OleDateTime;
class OleDateTimeSpan;
class CalendarTime;
class CalendarTimeSpan;

// Description flags.
inline constexpr uint32_t DescribeNamingMask = 3;     // 0, 3: named values; 1: bare; 2: bare with class name
inline constexpr uint32_t DescribeSeparatorMask = 12; // 0 newline, 4 blank, 8 comma, 12 pad to the width
inline constexpr uint32_t DescribeBlockMode = 48;     // both bits: indented block with address line

inline constexpr const char* NullObjectText = "NULL";
// How the member tables print points in time and spans.
inline constexpr const char* TimeDumpFormat = "%Y/%m/%d/%H:%M:%S";
inline constexpr const char* SpanDumpFormat = "%#Hh %#Mm %#Ss";

class Describable;

// One member of a class as it appears in dumps.
struct MemberRow {
    const char* name;
    const char* label;
    int32_t width;
    // Called only with an object of the table's class.
    std::string (*format)(const Object& object, uint32_t flags, int depth);
};

struct MemberTable {
    const RuntimeClass& describedClass;
    std::span<const MemberRow> rows;
    // The table of the class this one extends, whose rows come first; null where no base class
    // describes members of its own.
    MemberTable (*inherited)() = nullptr;
};

// Base of the value classes that print themselves member by member for traces and dumps.
class Describable : public Object {
    VQ_DECLARE_RUNTIME_CLASS(Describable)

public:
    // The class-name line, the body and a closing newline; naming mode 1 gives the body alone.
    virtual std::string DescribeObject(uint32_t flags, int depth) const;
    // In block mode the address line and indentation around the members.
    virtual std::string DescribeBody(uint32_t flags, int depth) const;
    virtual std::string DescribeClassName(uint32_t flags) const;
    virtual std::string DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const;
    virtual std::string DescribeColumns(uint32_t flags, bool trailingSeparator) const;

protected:
    virtual MemberTable DescribedMembers() const = 0;
    // The address block mode shows: the whole object's, also where it describes itself through a
    // second base. A view describing a plain value gives the value's.
    virtual const void* DescribedAddress() const;
};

// A describable that holds elements: after its own members come " (empty)" or " (N elements)" and
// then the description of every element, one level deeper.
class DescribableCollection : public Describable {
    VQ_DECLARE_RUNTIME_CLASS(DescribableCollection)

public:
    std::string DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const override;

protected:
    virtual std::size_t DescribedCount() const = 0;
    virtual const Describable& DescribedElement(std::size_t index) const = 0;
};

// "NULL" for a null pointer, otherwise the address marked as not what was expected.
std::string FormatObjectPointer(const void* object);
void AppendRepeated(std::string& text, int count, const char* piece);
// How the description of a collection gives its size: " (empty)" or " (%d elements)".
std::string DescribeCount(std::size_t count);

// Value formatters for member rows. A null format falls back to the plain text of the value.
std::string FormatMember(uint8_t value, const char* format);
std::string FormatMember(int value, const char* format);
std::string FormatMember(uint32_t value, const char* format);
std::string FormatMember(int64_t value, const char* format);
std::string FormatMember(double value, const char* format);
std::string FormatMember(const void* pointer, const char* format);
std::string FormatMember(bool value, const char* format);
std::string FormatMember(const char* text, const char* format);
std::string FormatMember(const std::string& text, const char* format);
std::string FormatMember(const Timestamp& value, const char* format);
std::string FormatMember(const TimeSpan& value, const char* format);
std::string FormatMember(const OleDateTime& value, const char* format);
std::string FormatMember(const OleDateTimeSpan& value, const char* format);
std::string FormatMember(const CalendarTime& value, const char* format);
std::string FormatMember(const CalendarTimeSpan& value, const char* format);
// A member that refers to another object: "NULL" or that object's own body.
std::string FormatMember(const Describable* object, uint32_t flags, int depth);
// A member that should point to an object of `expected`: an object of another class prints as an
// address marked invalid.
std::string FormatMember(const Describable* object, const RuntimeClass& expected, uint32_t flags, int depth);

} // namespace vq
