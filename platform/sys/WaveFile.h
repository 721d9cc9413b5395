#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vq {

// The samples of a RIFF/WAVE file: uncompressed PCM, 8 or 16 bits, one or two channels, any rate.
struct WaveSound {
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;
    std::uint16_t bits = 0;
    std::vector<std::uint8_t> data;
};

// Reads a WAVE file's bytes; nothing for anything else, a truncated file or another encoding. Every
// size the file states is checked against the bytes there are.
std::optional<WaveSound> ReadWave(std::span<const std::uint8_t> bytes);

} // namespace vq
