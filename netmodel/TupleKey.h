#pragma once

#include <cstdint>

namespace vq {

// The key bits: the key kind of a tuple, the fields a tuple carries and the masks of matches.
enum TupleKey : int32_t {
    KEY_NONE = 0,
    KEY_Source = 1,
    KEY_Destination = 2,
    KEY_Interface = 4,
    KEY_DataLinkProtocol = 8,
    KEY_NetworkProtocol = 16,
    KEY_TransportProtocol = 32,
    KEY_SessionProtocol = 64,
    KEY_PresentationProtocol = 128,
    KEY_ApplicationProtocol = 256,
    KEY_ReferenceSession = 512,
    KEY_INVALID = 1024,
};

// The eight 16-bit fields of a tuple in key-bit order, from KEY_Interface on.
enum TupleField : int {
    FieldInterface = 0,
    FieldDataLink,
    FieldNetwork,
    FieldTransport,
    FieldSession,
    FieldPresentation,
    FieldApplication,
    FieldReferenceSession,
    FieldCount
};

// The field of a key bit from KEY_Interface to KEY_ReferenceSession; -1 for any other value.
inline int FieldOfKey(int32_t bit) {
    for (int field = 0; field < FieldCount; ++field)
        if (bit == (KEY_Interface << field)) return field;
    return -1;
}

inline constexpr uint16_t NoInterface = 0xFFFF;

} // namespace vq
