#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vq {

// The toolkit's bitmaps and strings live in one registration inside the toolkit's library. A
// static library leaves out an object nobody calls into, so every toolkit class that uses them
// finds them through these functions rather than through the resource registry directly.
std::span<const unsigned char> FindToolkitResource(std::uint16_t type, std::uint32_t id);
// As LoadString: the string cut to fit with its terminator; 0 when there is none or no room.
int LoadToolkitString(std::uint32_t id, char* buffer, int size);
// The string whole; empty when there is none.
std::string LoadToolkitText(std::uint32_t id);

} // namespace vq
