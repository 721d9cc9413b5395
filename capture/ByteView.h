#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vq {

// A read-only window on captured frame bytes. It is the only way a decoder reads a frame: a read
// that would pass the end touches no memory and answers "absent", so a header that claims more
// than was captured can never make a decoder read outside the capture buffer.
class ByteView {
public:
    ByteView() = default;
    ByteView(const uint8_t* data, size_t size) : data_(size ? data : nullptr), size_(data ? size : 0) {}

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const uint8_t* data() const { return data_; }

    // True when the n bytes starting at offset at were captured.
    bool has(size_t at, size_t n) const { return at <= size_ && size_ - at >= n; }

    std::optional<uint8_t> u8(size_t at) const {
        if (!has(at, 1)) return std::nullopt;
        return data_[at];
    }
    std::optional<uint16_t> be16(size_t at) const {
        if (!has(at, 2)) return std::nullopt;
        return uint16_t(data_[at] << 8 | data_[at + 1]);
    }
    std::optional<uint16_t> le16(size_t at) const {
        if (!has(at, 2)) return std::nullopt;
        return uint16_t(data_[at + 1] << 8 | data_[at]);
    }
    std::optional<uint32_t> be32(size_t at) const {
        if (!has(at, 4)) return std::nullopt;
        return uint32_t(data_[at]) << 24 | uint32_t(data_[at + 1]) << 16 | uint32_t(data_[at + 2]) << 8 |
               uint32_t(data_[at + 3]);
    }

    // Pointer to n captured bytes at offset at, or null when they were not all captured.
    const uint8_t* bytes(size_t at, size_t n) const { return has(at, n) ? data_ + at : nullptr; }

    // The bytes from offset at to the end; empty when at is past the end.
    ByteView from(size_t at) const { return at <= size_ ? ByteView(data_ + at, size_ - at) : ByteView(); }

    // At most n bytes from the start.
    ByteView first(size_t n) const { return ByteView(data_, n < size_ ? n : size_); }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace vq
