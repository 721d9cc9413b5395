#include "Frames.h"

#include <arpa/inet.h>
#include <cctype>
#include <stdexcept>
#include <string>

namespace vq::test {

namespace {

void Put16(Bytes& bytes, size_t at, uint16_t value) {
    bytes[at] = uint8_t(value >> 8);
    bytes[at + 1] = uint8_t(value);
}

void PutIp(Bytes& bytes, size_t at, std::string_view text) {
    in_addr address{};
    if (inet_pton(AF_INET, std::string(text).c_str(), &address) != 1)
        throw std::invalid_argument("bad IPv4 text");
    auto raw = reinterpret_cast<const uint8_t*>(&address.s_addr);
    std::copy(raw, raw + 4, bytes.begin() + at);
}

} // namespace

Bytes Hex(std::string_view text) {
    Bytes bytes;
    int high = -1;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == '.' || c == '-') continue;
        if (!std::isxdigit(static_cast<unsigned char>(c))) throw std::invalid_argument("bad hex text");
        int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(uint8_t(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) throw std::invalid_argument("odd number of hex digits");
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes bytes;
    for (const auto& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

Bytes Ethernet(std::string_view destination, std::string_view source, uint16_t lengthType) {
    Bytes bytes = Concat({Hex(destination), Hex(source), Bytes(2)});
    Put16(bytes, 12, lengthType);
    return bytes;
}

Bytes Ipv4(uint8_t protocol, std::string_view source, std::string_view destination, uint16_t payloadLength,
           uint16_t flagsAndOffset, uint8_t versionAndLength) {
    size_t headerLength = (versionAndLength & 0x0F) * 4u;
    Bytes bytes(std::max<size_t>(headerLength, 20));
    bytes[0] = versionAndLength;
    Put16(bytes, 2, uint16_t(headerLength + payloadLength));
    Put16(bytes, 4, 0x1234);
    Put16(bytes, 6, flagsAndOffset);
    bytes[8] = 64;
    bytes[9] = protocol;
    PutIp(bytes, 12, source);
    PutIp(bytes, 16, destination);
    return bytes;
}

Bytes Tcp(uint16_t sourcePort, uint16_t destinationPort, uint8_t flags, uint8_t dataOffsetWords) {
    Bytes bytes(std::max<size_t>(dataOffsetWords * 4u, 20));
    Put16(bytes, 0, sourcePort);
    Put16(bytes, 2, destinationPort);
    bytes[4] = 0x01, bytes[5] = 0x02, bytes[6] = 0x03, bytes[7] = 0x04;
    bytes[12] = uint8_t(dataOffsetWords << 4);
    bytes[13] = flags;
    Put16(bytes, 14, 8192);
    return bytes;
}

Bytes Udp(uint16_t sourcePort, uint16_t destinationPort, uint16_t payloadLength) {
    Bytes bytes(8);
    Put16(bytes, 0, sourcePort);
    Put16(bytes, 2, destinationPort);
    Put16(bytes, 4, uint16_t(8 + payloadLength));
    return bytes;
}

Bytes Dns(uint16_t flags) {
    Bytes bytes(12);
    Put16(bytes, 0, 0xBEEF);
    Put16(bytes, 2, flags);
    Put16(bytes, 4, 1);
    return bytes;
}

Bytes Arp(uint16_t operation, std::string_view sender, std::string_view target, uint16_t hardwareType) {
    Bytes bytes(28);
    Put16(bytes, 0, hardwareType);
    Put16(bytes, 2, 0x0800);
    bytes[4] = 6;
    bytes[5] = 4;
    Put16(bytes, 6, operation);
    std::fill(bytes.begin() + 8, bytes.begin() + 14, 0x02);
    PutIp(bytes, 14, sender);
    PutIp(bytes, 24, target);
    return bytes;
}

} // namespace vq::test
