#include "platform/sys/WaveFile.h"

#include <cstring>

namespace vq {
namespace {

constexpr std::uint16_t kPcm = 1;
constexpr std::size_t kChunkHeader = 8;
constexpr std::size_t kFormatSize = 16;

std::uint32_t Read32(const std::uint8_t* at) {
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

std::uint16_t Read16(const std::uint8_t* at) {
    return std::uint16_t(at[0] | at[1] << 8);
}

bool Is(const std::uint8_t* at, const char* tag) {
    return std::memcmp(at, tag, 4) == 0;
}

} // namespace

std::optional<WaveSound> ReadWave(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 12 || !Is(bytes.data(), "RIFF") || !Is(bytes.data() + 8, "WAVE")) return std::nullopt;
    WaveSound sound;
    bool haveFormat = false;
    std::size_t at = 12;
    while (bytes.size() - at >= kChunkHeader) {
        const std::uint8_t* chunk = bytes.data() + at;
        const std::size_t size = Read32(chunk + 4);
        const std::size_t left = bytes.size() - at - kChunkHeader;
        if (size > left) return std::nullopt;
        const std::uint8_t* body = chunk + kChunkHeader;
        if (Is(chunk, "fmt ")) {
            if (size < kFormatSize || Read16(body) != kPcm) return std::nullopt;
            sound.channels = Read16(body + 2);
            sound.rate = Read32(body + 4);
            sound.bits = Read16(body + 14);
            if ((sound.channels != 1 && sound.channels != 2) || (sound.bits != 8 && sound.bits != 16) ||
                sound.rate == 0)
                return std::nullopt;
            haveFormat = true;
        } else if (Is(chunk, "data")) {
            if (!haveFormat) return std::nullopt;
            const std::size_t frame = std::size_t(sound.channels) * sound.bits / 8;
            sound.data.assign(body, body + size - size % frame);
            return sound;
        }
        // Chunks are padded to an even length.
        at += kChunkHeader + size + (size % 2);
        if (at > bytes.size()) return std::nullopt;
    }
    return std::nullopt;
}

} // namespace vq
