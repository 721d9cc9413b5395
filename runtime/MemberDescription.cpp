#include "runtime/MemberDescription.h"

#include "platform/core/Format.h"
#include "platform/time/CalendarTime.h"
#include "platform/time/OleDateTime.h"
#include "runtime/TimeSpan.h"
#include "runtime/Timestamp.h"

#include <vector>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(Describable, Object)
VQ_IMPLEMENT_RUNTIME_CLASS(DescribableCollection, Describable)

namespace {

bool NamedValues(uint32_t flags) {
    const uint32_t naming = flags & DescribeNamingMask;
    return naming == 0 || naming == 3;
}

bool BlockMode(uint32_t flags) {
    return (flags & DescribeBlockMode) == DescribeBlockMode;
}

void AppendIndent(std::string& text, int depth) {
    if (depth > 0) AppendRepeated(text, depth, "    ");
}

void AppendPadding(std::string& text, int32_t width, size_t length) {
    const int64_t blanks = int64_t(width) - int64_t(length);
    AppendRepeated(text, blanks > 1 ? int(blanks) : 1, " ");
}

void AppendSeparator(std::string& text, uint32_t flags, int32_t width, size_t length) {
    switch (flags & DescribeSeparatorMask) {
    case 0:
        text += '\n';
        break;
    case 4:
        text += ' ';
        break;
    case 8:
        text += ',';
        break;
    default:
        AppendPadding(text, width, length);
        break;
    }
}

std::string FormatText(const char* text, const char* format) {
    return format == nullptr ? std::string(text) : Format(format, text);
}

// Hosts and tuples describe themselves through a second base, so the address shown is that of the
// whole object, the one every other dump shows for them.
const void* WholeObject(const Describable* object) {
    return object != nullptr ? dynamic_cast<const void*>(object) : nullptr;
}

// The rows of the classes a table extends first, then its own.
void CollectRows(const MemberTable& table, std::vector<const MemberRow*>& rows) {
    if (table.inherited) CollectRows(table.inherited(), rows);
    for (const MemberRow& row : table.rows)
        rows.push_back(&row);
}

std::vector<const MemberRow*> AllRows(const MemberTable& table) {
    std::vector<const MemberRow*> rows;
    CollectRows(table, rows);
    return rows;
}

} // namespace

std::string Describable::DescribeObject(uint32_t flags, int depth) const {
    const bool withClassName = (flags & DescribeNamingMask) != 1;
    std::string text;
    if (withClassName) text += DescribeClassName(flags) + "\n";
    text += DescribeBody(flags, depth);
    if (withClassName) text += "\n";
    return text;
}

std::string Describable::DescribeBody(uint32_t flags, int depth) const {
    std::string text;
    const bool block = BlockMode(flags);
    if (block) {
        text += "\n";
        AppendIndent(text, depth);
        const auto address = reinterpret_cast<uintptr_t>(DescribedAddress());
        text += Format("[addr $%lx]", static_cast<unsigned long>(address));
    }
    text += DescribeMembers(flags, depth, false);
    if (block) {
        text += "\n";
        if (depth > 1) AppendIndent(text, depth - 1);
    }
    return text;
}

const void* Describable::DescribedAddress() const {
    return WholeObject(this);
}

std::string Describable::DescribeClassName(uint32_t) const {
    return GetRuntimeClass().name;
}

std::string Describable::DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const {
    const MemberTable table = DescribedMembers();
    if (!IsKindOf(table.describedClass)) return FormatObjectPointer(DescribedAddress());
    const std::vector<const MemberRow*> rows = AllRows(table);
    std::string text;
    const bool named = NamedValues(flags);
    if (named) {
        text += "\n";
        if (BlockMode(flags)) AppendIndent(text, depth);
        text += "[class " + DescribeClassName(flags) + " members]\n";
        flags |= DescribeBlockMode;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        const MemberRow& row = *rows[i];
        if (BlockMode(flags)) AppendIndent(text, depth);
        if (named) text += std::string(row.name) + "=<";
        const std::string value = row.format(*this, flags, depth + 1);
        text += value;
        if (named) text += ">";
        if (i + 1 < rows.size() || trailingSeparator) AppendSeparator(text, flags, row.width, value.size());
    }
    return text;
}

std::string Describable::DescribeColumns(uint32_t flags, bool trailingSeparator) const {
    const std::vector<const MemberRow*> rows = AllRows(DescribedMembers());
    std::string text;
    for (size_t i = 0; i < rows.size(); ++i) {
        const MemberRow& row = *rows[i];
        const std::string label = row.label;
        text += label;
        if (i + 1 == rows.size() && !trailingSeparator) break;
        const uint32_t separator = flags & DescribeSeparatorMask;
        if (separator == 0 || separator == 12)
            AppendPadding(text, row.width, label.size());
        else
            AppendSeparator(text, flags, row.width, label.size());
    }
    return text;
}

std::string DescribableCollection::DescribeMembers(uint32_t flags, int depth, bool trailingSeparator) const {
    std::string text = Describable::DescribeMembers(flags, depth, trailingSeparator);
    const std::size_t count = DescribedCount();
    text += DescribeCount(count);
    if (count == 0) return text;
    text += "\n";
    // Bare values leave the element's description without a line end of its own.
    const bool ownLine = (flags & DescribeNamingMask) != 1;
    for (std::size_t i = 0; i < count; ++i) {
        text += DescribedElement(i).DescribeObject(flags, depth + 1);
        if (!ownLine) text += "\n";
    }
    return text;
}

std::string FormatObjectPointer(const void* object) {
    return object == nullptr ? std::string(NullObjectText) : Format("$%p(invalid)", object);
}

std::string DescribeCount(std::size_t count) {
    return count == 0 ? std::string(" (empty)") : Format(" (%d elements)", int(count));
}

void AppendRepeated(std::string& text, int count, const char* piece) {
    for (int i = 0; i < count; ++i)
        text += piece;
}

std::string FormatMember(uint8_t value, const char* format) {
    return Format(format != nullptr ? format : "%u", value);
}

std::string FormatMember(int value, const char* format) {
    return Format(format != nullptr ? format : "%d", value);
}

std::string FormatMember(uint32_t value, const char* format) {
    return Format(format != nullptr ? format : "%u", value);
}

std::string FormatMember(int64_t value, const char* format) {
    return Format(format != nullptr ? format : "%lld", static_cast<long long>(value));
}

std::string FormatMember(double value, const char* format) {
    return Format(format != nullptr ? format : "%g", value);
}

std::string FormatMember(const void* pointer, const char* format) {
    return Format(format != nullptr ? format : "$%p", pointer);
}

std::string FormatMember(bool value, const char* format) {
    return FormatText(value ? "true" : "false", format);
}

std::string FormatMember(const char* text, const char* format) {
    return FormatText(text != nullptr ? text : "", format);
}

std::string FormatMember(const std::string& text, const char* format) {
    return FormatText(text.c_str(), format);
}

std::string FormatMember(const Timestamp& value, const char* format) {
    return value.Format(format);
}

std::string FormatMember(const TimeSpan& value, const char* format) {
    return value.Format(format);
}

std::string FormatMember(const OleDateTime& value, const char* format) {
    return value.Format(format);
}

std::string FormatMember(const OleDateTimeSpan& value, const char* format) {
    return value.Format(format);
}

std::string FormatMember(const CalendarTime& value, const char* format) {
    return value.Format(format);
}

std::string FormatMember(const CalendarTimeSpan& value, const char* format) {
    return value.Format(format);
}

std::string FormatMember(const Describable* object, uint32_t flags, int depth) {
    return object == nullptr ? std::string(NullObjectText) : object->DescribeBody(flags, depth);
}

std::string FormatMember(const Describable* object, const RuntimeClass& expected, uint32_t flags, int depth) {
    if (object == nullptr || !object->IsKindOf(expected)) return FormatObjectPointer(WholeObject(object));
    return object->DescribeBody(flags, depth);
}

} // namespace vq
