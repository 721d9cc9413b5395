#pragma once

#include <cstddef>
#include <cstdint>

namespace vq {

// The record a completed read fills, laid out as the receive ring reads it (little-endian words).
struct DriverRecord {
    static constexpr uint32_t kDataCapacity = 1536;

    uint8_t header[24];      // belongs to the driver
    uint32_t status;         // 0 good frame, otherwise an NDIS status
    uint64_t sequence;       // from 1, +1 per frame plus the frames lost before it
    uint64_t time;           // 100-ns ticks since 1601 (UTC)
    uint32_t capturedLength; // bytes in data, at most the capacity
    uint32_t originalLength; // the frame's length on the wire
    uint32_t capacity;       // set by the reader of the ring before the first read
    uint8_t data[kDataCapacity];
    uint32_t spare;
} __attribute__((packed));

static_assert(offsetof(DriverRecord, status) == 24);
static_assert(offsetof(DriverRecord, sequence) == 28);
static_assert(offsetof(DriverRecord, time) == 36);
static_assert(offsetof(DriverRecord, capturedLength) == 44);
static_assert(offsetof(DriverRecord, originalLength) == 48);
static_assert(offsetof(DriverRecord, capacity) == 52);
static_assert(offsetof(DriverRecord, data) == 56);
static_assert(sizeof(DriverRecord) == 1596);

// An NDIS request as the adapters hand it to the driver.
struct NdisRequest {
    static constexpr uint32_t kQuery = 0;
    static constexpr uint32_t kSet = 1;

    uint32_t type = kQuery;
    uint32_t oid = 0;
    void* buffer = nullptr;
    uint32_t bufferLength = 0;
    uint32_t bytesWritten = 0;
    uint32_t bytesNeeded = 0;
};

namespace ndis {

constexpr uint32_t kOidMediumInUse = 0x00010104;
constexpr uint32_t kOidLinkSpeed = 0x00010107;
constexpr uint32_t kOidVendorDescription = 0x0001010D;
constexpr uint32_t kOidCurrentPacketFilter = 0x0001010E;
constexpr uint32_t kOidMaximumTotalSize = 0x00010111;
constexpr uint32_t kOid8023CurrentAddress = 0x01010102;

constexpr uint32_t kStatusSuccess = 0;
constexpr uint32_t kStatusNotSupported = 0xC00000BB;
constexpr uint32_t kStatusAdapterNotOpen = 0xC0010012;
constexpr uint32_t kStatusBufferTooShort = 0xC0010016;
constexpr uint32_t kStatusInvalidOid = 0xC0010017;

constexpr uint32_t kFilterNone = 0;
constexpr uint32_t kFilterDirectedPromiscuous = 0x21;

constexpr uint32_t kMedium8023 = 0;

} // namespace ndis
} // namespace vq
