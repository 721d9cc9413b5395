#include "platform/core/RuntimeClass.h"

namespace vq {

bool RuntimeClass::IsDerivedFrom(const RuntimeClass& other) const {
    for (const RuntimeClass* cls = this; cls != nullptr; cls = cls->base) {
        if (cls == &other) return true;
    }
    return false;
}

std::unique_ptr<Object> RuntimeClass::CreateObject() const {
    return factory ? factory() : nullptr;
}

const RuntimeClass& Object::Class() {
    static const RuntimeClass record{"Object", nullptr, nullptr};
    return record;
}

} // namespace vq
