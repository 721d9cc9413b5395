#include "netmodel/SafeObject.h"

#include <array>
#include <cstddef>

namespace vq {

namespace {

template <size_t N> const char* EnumText(const std::array<const char*, N>& texts, int value) {
    if (value < 0 || static_cast<size_t>(value) >= N) return "error";
    return texts[static_cast<size_t>(value)];
}

} // namespace

const char* ObjectStateText(int state) {
    static constexpr std::array<const char*, 4> texts{"ObjectNormal", "ObjectReadOnly", "ObjectGlobal",
                                                      "ObjectConstant"};
    return EnumText(texts, state);
}

const char* CopyModeText(int mode) {
    static constexpr std::array<const char*, 5> texts{"InvalidCopyMode", "ShallowCopy", "DeepCopy",
                                                      "NullCopy", "PointerAssignment"};
    return EnumText(texts, mode);
}

const char* UpdateModeText(int mode) {
    static constexpr std::array<const char*, 3> texts{"InvalidUpdateMode", "ShallowUpdate", "DeepUpdate"};
    return EnumText(texts, mode);
}

void SafeObject::Adopt(const void* holder) {
    if (!IsShared() && owner_ == nullptr) owner_ = holder;
}

} // namespace vq
