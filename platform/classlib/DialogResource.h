#pragma once

#include "platform/classlib/Dialog.h"

#include <cstdint>
#include <optional>
#include <span>

namespace vq {

// A binary extended dialog template read into a DialogTemplate: dialog units become pixels by the
// template font's average character size, the controls' class ordinals become class names, and
// the rectangle is the client area. nullopt when the template is malformed.
std::optional<DialogTemplate> ReadDialogTemplate(std::span<const unsigned char> bytes);
// The dialog resource of that id; nullopt when there is none or it is malformed.
std::optional<DialogTemplate> LoadDialogTemplate(std::uint32_t id);

} // namespace vq
