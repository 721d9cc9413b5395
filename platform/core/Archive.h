#pragma once

#include "platform/core/Types.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Binary archives of records: integers little-endian, a flag in a 32-bit slot, texts with a
// length prefix of 1, 3 or 7 bytes, date-times as a status and a day count. Reading checks every
// length against the bytes left, so a short or hostile stream raises ArchiveException and never
// reads past its end or allocates what a corrupt length claims.
namespace vq {

// A date-time as archives hold it: its status and its days since 1899-12-30.
struct ArchiveDateTime {
    enum Status : i32 { Valid = 0, Invalid = 1, Null = 2 };

    Status status = Valid;
    double days = 0.0;

    bool operator==(const ArchiveDateTime&) const = default;
};

class ArchiveWriter {
public:
    void WriteInt32(i32 value) { WriteUInt32(static_cast<u32>(value)); }
    void WriteUInt32(u32 value);
    void WriteInt64(i64 value) { WriteUInt64(static_cast<u64>(value)); }
    void WriteUInt64(u64 value);
    void WriteFlag(bool value) { WriteUInt32(value ? 1 : 0); }
    void WriteDouble(double value);
    // Raises ArchiveException for a text of 2^32 - 1 bytes or more, which the format cannot hold.
    void WriteText(std::string_view text);
    // Raises ArchiveException for an unknown status or a day count that is not finite.
    void WriteDateTime(const ArchiveDateTime& value);
    // A block of bytes as they are, without a length: the reader must know it.
    void WriteBytes(std::span<const u8> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }

    const std::vector<u8>& Data() const { return bytes_; }

    void WriteUInt16(u16 value);

private:
    void WriteUInt8(u8 value) { bytes_.push_back(value); }

    std::vector<u8> bytes_;
};

// Reads from bytes the caller keeps alive for the reader's lifetime.
class ArchiveReader {
public:
    explicit ArchiveReader(std::span<const u8> data) : data_(data) {}

    i32 ReadInt32() { return static_cast<i32>(ReadUInt32()); }
    u32 ReadUInt32();
    i64 ReadInt64() { return static_cast<i64>(ReadUInt64()); }
    u64 ReadUInt64();
    // Only the lowest byte of the slot counts.
    bool ReadFlag() { return (ReadUInt32() & 0xFF) != 0; }
    double ReadDouble();
    std::string ReadText();
    ArchiveDateTime ReadDateTime();
    // The next `size` bytes as they are; raises the end-of-file error when fewer are left.
    std::span<const u8> ReadBytes(std::size_t size) { return Take(size); }

    std::size_t Remaining() const { return data_.size() - position_; }
    bool AtEnd() const { return Remaining() == 0; }

    u16 ReadUInt16();

private:
    u8 ReadUInt8();
    // The next size bytes; raises the end-of-file error when fewer are left.
    std::span<const u8> Take(std::size_t size);

    std::span<const u8> data_;
    std::size_t position_ = 0;
};

} // namespace vq
