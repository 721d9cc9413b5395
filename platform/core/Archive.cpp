#include "platform/core/Archive.h"

#include "platform/core/Exceptions.h"

#include <bit>
#include <cmath>

namespace vq {
namespace {

// Text length prefixes: one byte below 0xFF; else 0xFF and 16 bits below 0xFFFE; else 0xFF,
// 0xFFFF and 32 bits. A 16-bit 0xFFFE marks a text of 16-bit characters, which we never write.
constexpr u8 kLongerLength = 0xFF;
constexpr u16 kWideTextTag = 0xFFFE;
constexpr u16 kLength32 = 0xFFFF;
// A 32-bit 0xFFFFFFFF announces a 64-bit length in the wider format, so it is never a length here.
constexpr u64 kTextLimit = 0xFFFFFFFF;

template <typename T> T Decode(std::span<const u8> bytes) {
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<T>(bytes[i]) << (8 * i);
    return value;
}

bool IsKnownStatus(i32 status) {
    return status == ArchiveDateTime::Valid || status == ArchiveDateTime::Invalid ||
           status == ArchiveDateTime::Null;
}

} // namespace

void ArchiveWriter::WriteUInt16(u16 value) {
    WriteUInt8(static_cast<u8>(value));
    WriteUInt8(static_cast<u8>(value >> 8));
}

void ArchiveWriter::WriteUInt32(u32 value) {
    for (int i = 0; i < 4; ++i)
        WriteUInt8(static_cast<u8>(value >> (8 * i)));
}

void ArchiveWriter::WriteUInt64(u64 value) {
    for (int i = 0; i < 8; ++i)
        WriteUInt8(static_cast<u8>(value >> (8 * i)));
}

void ArchiveWriter::WriteDouble(double value) {
    WriteUInt64(std::bit_cast<u64>(value));
}

void ArchiveWriter::WriteText(std::string_view text) {
    const u64 size = text.size();
    if (size >= kTextLimit) throw ArchiveException(ArchiveException::Cause::Generic, "text too long");
    if (size < kLongerLength) {
        WriteUInt8(static_cast<u8>(size));
    } else if (size < kWideTextTag) {
        WriteUInt8(kLongerLength);
        WriteUInt16(static_cast<u16>(size));
    } else {
        WriteUInt8(kLongerLength);
        WriteUInt16(kLength32);
        WriteUInt32(static_cast<u32>(size));
    }
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void ArchiveWriter::WriteDateTime(const ArchiveDateTime& value) {
    if (!IsKnownStatus(value.status) || !std::isfinite(value.days))
        throw ArchiveException(ArchiveException::Cause::BadFormat, "date-time out of range");
    WriteInt32(value.status);
    WriteDouble(value.days);
}

std::span<const u8> ArchiveReader::Take(std::size_t size) {
    if (size > Remaining()) throw ArchiveException(ArchiveException::Cause::EndOfFile);
    std::span<const u8> bytes = data_.subspan(position_, size);
    position_ += size;
    return bytes;
}

u8 ArchiveReader::ReadUInt8() {
    return Take(1)[0];
}
u16 ArchiveReader::ReadUInt16() {
    return Decode<u16>(Take(2));
}
u32 ArchiveReader::ReadUInt32() {
    return Decode<u32>(Take(4));
}
u64 ArchiveReader::ReadUInt64() {
    return Decode<u64>(Take(8));
}

double ArchiveReader::ReadDouble() {
    return std::bit_cast<double>(ReadUInt64());
}

std::string ArchiveReader::ReadText() {
    std::size_t size = ReadUInt8();
    if (size == kLongerLength) {
        const u16 size16 = ReadUInt16();
        if (size16 == kWideTextTag)
            throw ArchiveException(ArchiveException::Cause::BadFormat, "text of 16-bit characters");
        size = size16 == kLength32 ? ReadUInt32() : size16;
    }
    std::span<const u8> bytes = Take(size);
    return std::string(bytes.begin(), bytes.end());
}

ArchiveDateTime ArchiveReader::ReadDateTime() {
    const i32 status = ReadInt32();
    if (!IsKnownStatus(status))
        throw ArchiveException(ArchiveException::Cause::BadFormat, "unknown date-time status");
    const double days = ReadDouble();
    if (!std::isfinite(days))
        throw ArchiveException(ArchiveException::Cause::BadFormat, "date-time out of range");
    return {static_cast<ArchiveDateTime::Status>(status), days};
}

} // namespace vq
