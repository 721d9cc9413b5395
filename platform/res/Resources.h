#pragma once

#include "platform/res/MenuFlags.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vq {

// Resource types; ids are counted per type, so one id may name a menu, an icon and a string.
enum : std::uint16_t {
    RT_CURSOR = 1,
    RT_BITMAP = 2,
    RT_ICON = 3,
    RT_MENU = 4,
    RT_DIALOG = 5,
    RT_STRING = 6,
    RT_ACCELERATOR = 9,
    RT_TOOLBAR = 241,
};

// Accelerator flags; the last entry of a table also has 0x80.
enum : std::uint16_t { FVIRTKEY = 0x01, FNOINVERT = 0x02, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10 };

inline constexpr std::uint32_t DS_SETFONT = 0x40;

// One compiled resource: string tables hold each string's bytes, without a terminator; menus and
// dialogs hold the binary templates; bitmaps the packed DIB.
struct ResourceEntry {
    std::uint16_t type;
    std::uint32_t id;
    const unsigned char* data;
    std::size_t size;
    // Named resources: the name, and the type's name for types other than the numbered ones.
    const char* name = nullptr;
    const char* typeName = nullptr;
};

// Made by the generated source of each compiled resource script, during static initialisation.
class ResourceRegistration {
public:
    explicit ResourceRegistration(std::span<const ResourceEntry> entries);
};

// The bytes of a resource, empty when there is none of that type and id.
std::span<const unsigned char> FindResource(std::uint16_t type, std::uint32_t id);

// A resource by name (any case) and type name, or a named resource of a numbered type (a named
// bitmap); empty when there is none.
std::span<const unsigned char> FindResource(std::string_view typeName, std::string_view name);
std::span<const unsigned char> FindResource(std::uint16_t type, std::string_view name);

// Copies the string (cut to fit) and a terminator; answers the bytes copied, 0 when there is no
// such string or no room.
int LoadString(std::uint32_t id, char* buffer, int size);

} // namespace vq
