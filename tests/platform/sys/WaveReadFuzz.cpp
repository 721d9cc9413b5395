#include "platform/sys/WaveFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto sound = vq::ReadWave({data, size})) {
        const std::size_t frame = std::size_t(sound->channels) * sound->bits / 8;
        if (frame == 0 || sound->data.size() % frame != 0 || sound->data.size() > size) __builtin_trap();
    }
    return 0;
}
