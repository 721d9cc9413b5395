#include "platform/core/RuntimeClass.h"

#include <vector>

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

namespace {

// Made on first use, so registering from any static initialiser finds it ready.
std::vector<const RuntimeClass& (*)()>& Registered() {
    static std::vector<const RuntimeClass& (*)()> records;
    return records;
}

} // namespace

bool RegisterRuntimeClass(const RuntimeClass& (*record)()) {
    Registered().push_back(record);
    return true;
}

const RuntimeClass* FindRuntimeClass(std::string_view name) {
    for (const auto record : Registered()) {
        const RuntimeClass& cls = record();
        if (cls.IsCreatable() && name == cls.name) return &cls;
    }
    return nullptr;
}

const RuntimeClass& Object::Class() {
    static const RuntimeClass record{"Object", nullptr, nullptr};
    return record;
}

} // namespace vq
