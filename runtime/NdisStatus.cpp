#include "runtime/NdisStatus.h"

#include "runtime/SystemText.h"

#include <algorithm>
#include <array>

namespace vq {
namespace {

constexpr std::array<NdisStatusEntry, 50> kTable = {{
    {0x00000000, "success"},
    {0x00000103, "pending"},
    {0x00010001, "not recognized"},
    {0x00010002, "not copied"},
    {0x00010003, "not accepted"},
    {0x00010004, "may close"},
    {0x40010003, "online"},
    {0x40010004, "reset start"},
    {0x40010005, "reset end"},
    {0x40010006, "ring status"},
    {0x40010007, "closed"},
    {0x40010008, "WAN line_up"},
    {0x40010009, "WAN line_down"},
    {0x4001000A, "WAN fragment"},
    {0x80010001, "not resettable"},
    {0x80010003, "soft errors"},
    {0x80010004, "hard errors"},
    {0xC0000001, "failure"},
    {0xC000009A, "resources"},
    {0xC0010002, "closing"},
    {0xC0010004, "bad version"},
    {0xC0010005, "bad characteristics"},
    {0xC0010006, "adapter not found"},
    {0xC0010007, "open failed"},
    {0xC0010008, "device failed"},
    {0xC0010009, "multicast full"},
    {0xC001000A, "multicast exists"},
    {0xC001000B, "multicast not found"},
    {0xC001000C, "request aborted"},
    {0xC001000D, "reset in progress"},
    {0xC001000E, "closing indicating"},
    {0xC00000BB, "not supported"},
    {0xC001000F, "invalid packet"},
    {0xC0010010, "open list full"},
    {0xC0010011, "adapter not ready"},
    {0xC0010012, "adapter not open"},
    {0xC0010013, "not indicating"},
    {0xC0010014, "invalid length"},
    {0xC0010015, "invalid data"},
    {0xC0010016, "buffer too short"},
    {0xC0010017, "invalid OID"},
    {0xC0010018, "adapter removed"},
    {0xC0010019, "unsupported media"},
    {0xC001001A, "group address in use"},
    {0xC001001B, "file not found"},
    {0xC001001C, "error reading file"},
    {0xC001001D, "already mapped"},
    {0xC001001E, "resource conflict"},
    {0xC001001F, "no cable"},
    {0xC0011000, "Token Ring open error"},
}};

} // namespace

std::span<const NdisStatusEntry> NdisStatusTable() {
    return kTable;
}

const char* NdisStatusText(std::uint32_t status) {
    const auto found = std::find_if(kTable.begin(), kTable.end(),
                                    [status](const auto& entry) { return entry.status == status; });
    return found != kTable.end() ? found->text : "unknown NDIS status";
}

std::string FormatNdisStatus(std::uint32_t status, std::string_view prefix, std::string_view suffix,
                             bool spaced, bool newline) {
    return FrameText(NdisStatusText(status), prefix, suffix, spaced, newline);
}

} // namespace vq
