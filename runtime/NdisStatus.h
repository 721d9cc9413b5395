#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vq {

struct NdisStatusEntry {
    std::uint32_t status;
    const char* text;
};

// The known adapter status codes with their texts, in the order they are searched.
std::span<const NdisStatusEntry> NdisStatusTable();

// The text of the status, or "unknown NDIS status".
const char* NdisStatusText(std::uint32_t status);

// NdisStatusText framed as FrameText frames a text.
std::string FormatNdisStatus(std::uint32_t status, std::string_view prefix, std::string_view suffix,
                             bool spaced, bool newline);

} // namespace vq
