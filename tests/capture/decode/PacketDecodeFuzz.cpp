// Decodes one frame of arbitrary bytes on a medium chosen by the first input byte and asks every
// layer every question a caller may ask. The frame sits in a block of exactly its size, so any
// read past the captured bytes is a sanitizer report.

#include "FuzzAnswers.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    static constexpr int32_t media[] = {0, 5, 3, 10, 19, 8};
    vq::fuzz::Adapter adapter(media[data[0] % std::size(media)]);
    size_t length = size - 1;
    std::unique_ptr<uint8_t[]> frame(length ? new uint8_t[length] : nullptr);
    if (length) std::memcpy(frame.get(), data + 1, length);
    vq::Packet packet(std::move(frame), uint32_t(length), adapter, 0, vq::Timestamp(), 1);
    packet.Decode();
    vq::fuzz::AskEverything(packet);
    return 0;
}
