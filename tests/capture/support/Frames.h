#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace vq::test {

using Bytes = std::vector<uint8_t>;

// Bytes from hexadecimal text; spaces, colons and dots between digits are ignored.
Bytes Hex(std::string_view text);
Bytes Concat(std::initializer_list<Bytes> parts);

// Headers with the fields that tests vary; every other field holds a plain valid value.
Bytes Ethernet(std::string_view destination, std::string_view source, uint16_t lengthType);
Bytes Ipv4(uint8_t protocol, std::string_view source, std::string_view destination, uint16_t payloadLength,
           uint16_t flagsAndOffset = 0, uint8_t versionAndLength = 0x45);
Bytes Tcp(uint16_t sourcePort, uint16_t destinationPort, uint8_t flags, uint8_t dataOffsetWords = 5);
Bytes Udp(uint16_t sourcePort, uint16_t destinationPort, uint16_t payloadLength);
Bytes Dns(uint16_t flags);
Bytes Arp(uint16_t operation, std::string_view sender, std::string_view target, uint16_t hardwareType = 1);

} // namespace vq::test
