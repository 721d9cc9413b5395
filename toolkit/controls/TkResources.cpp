#include "toolkit/controls/TkResources.h"

#include "platform/res/Resources.h"
#include "toolkit/controls/TkImages.h"

#include <array>
#include <string_view>

namespace vq {

namespace {

// A packed 1-bit DIB: light grey (the button face once recoloured) with the black arrow.
template <int W, int H>
constexpr std::array<unsigned char, 40 + 8 + 4 * H> ArrowDib(const char (&rows)[H][W + 1]) {
    std::array<unsigned char, 40 + 8 + 4 * H> dib{};
    const auto put32 = [&](int at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k)
            dib[std::size_t(at + k)] = static_cast<unsigned char>(v >> (8 * k));
    };
    put32(0, 40);
    put32(4, W);
    put32(8, H);
    dib[12] = 1;  // planes
    dib[14] = 1;  // bits per pixel
    put32(32, 2); // colours used
    put32(40, 0xC0C0C0);
    put32(44, 0x000000);
    // Rows run bottom-up, each padded to 4 bytes, the leftmost pixel in the highest bit.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (rows[H - 1 - y][x] == '#')
                dib[std::size_t(48 + 4 * y + x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    return dib;
}

constexpr const char downRows[4][8] = {"#######", ".#####.", "..###..", "...#..."};
constexpr const char rightRows[7][5] = {"#...", "##..", "###.", "####", "###.", "##..", "#..."};
constexpr auto downArrow = ArrowDib<7, 4>(downRows);
constexpr auto rightArrow = ArrowDib<4, 7>(rightRows);

// String resources hold the text's bytes without a terminator.
constexpr std::string_view rotateUnsupported = "Rotate90: Error, unsupported format.";
constexpr std::string_view selectDirectory = "Select Directory";
constexpr std::string_view selectFile = "Select File";
constexpr std::string_view otherColour = "&Other...";

const unsigned char* Bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

const ResourceEntry entries[] = {
    {RT_BITMAP, IDB_TK_DOWN_ARROW, downArrow.data(), downArrow.size()},
    {RT_BITMAP, IDB_TK_RIGHT_ARROW, rightArrow.data(), rightArrow.size()},
    {RT_STRING, IDS_TK_ROTATE_UNSUPPORTED, Bytes(rotateUnsupported), rotateUnsupported.size()},
    {RT_STRING, IDS_TK_SELECT_DIRECTORY, Bytes(selectDirectory), selectDirectory.size()},
    {RT_STRING, IDS_TK_SELECT_FILE, Bytes(selectFile), selectFile.size()},
    {RT_STRING, IDS_TK_LIST_SELECT_DIRECTORY, Bytes(selectDirectory), selectDirectory.size()},
    {RT_STRING, IDS_TK_OTHER_COLOUR, Bytes(otherColour), otherColour.size()},
};
const ResourceRegistration registration{entries};

} // namespace

std::span<const unsigned char> FindToolkitResource(std::uint16_t type, std::uint32_t id) {
    return FindResource(type, id);
}

int LoadToolkitString(std::uint32_t id, char* buffer, int size) {
    return LoadString(id, buffer, size);
}

std::string LoadToolkitText(std::uint32_t id) {
    const auto bytes = FindToolkitResource(RT_STRING, id);
    if (bytes.empty()) return {};
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace vq
