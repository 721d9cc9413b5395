#pragma once

#include <memory>
#include <string_view>

namespace vq {

class Object;

// The record of one class for run-time questions: its name, its base, and, for classes that can
// be made by their record, a factory of a default object.
struct RuntimeClass {
    const char* name;
    const RuntimeClass* base;
    std::unique_ptr<Object> (*factory)();

    bool IsDerivedFrom(const RuntimeClass& other) const;
    bool IsCreatable() const { return factory != nullptr; }
    // A new default object, or null for a class without a factory.
    std::unique_ptr<Object> CreateObject() const;
};

// The record of the creatable class of exactly that name (case counts), among those linked into
// the program; null for none.
const RuntimeClass* FindRuntimeClass(std::string_view name);
// Enters a creatable class's record in the table FindRuntimeClass searches; VQ_IMPLEMENT_DYNCREATE
// calls it as the class's file is linked. The record is asked for only when searched, so the order
// of static initialisation does not matter.
bool RegisterRuntimeClass(const RuntimeClass& (*record)());

// Root of the classes that carry a run-time class record.
class Object {
public:
    virtual ~Object() = default;

    static const RuntimeClass& Class();
    virtual const RuntimeClass& GetRuntimeClass() const { return Class(); }
    bool IsKindOf(const RuntimeClass& cls) const { return GetRuntimeClass().IsDerivedFrom(cls); }
};

} // namespace vq

// In the class body: declares the record of the class.
#define VQ_DECLARE_RUNTIME_CLASS(cls)                                                                        \
public:                                                                                                      \
    static const ::vq::RuntimeClass& Class();                                                                \
    const ::vq::RuntimeClass& GetRuntimeClass() const override {                                             \
        return Class();                                                                                      \
    }

// In the source file: defines the record of a class that cannot be made by its record. The record
// is a function-local static, so it never depends on the order of static initialisation.
#define VQ_IMPLEMENT_RUNTIME_CLASS(cls, basecls)                                                             \
    const ::vq::RuntimeClass& cls::Class() {                                                                 \
        static const ::vq::RuntimeClass record{#cls, &basecls::Class(), nullptr};                            \
        return record;                                                                                       \
    }

// As above, for a class whose record makes default objects.
#define VQ_IMPLEMENT_DYNCREATE(cls, basecls)                                                                 \
    const ::vq::RuntimeClass& cls::Class() {                                                                 \
        static const ::vq::RuntimeClass record{                                                              \
            #cls, &basecls::Class(),                                                                         \
            []() -> std::unique_ptr<::vq::Object> { return std::make_unique<cls>(); }};                      \
        return record;                                                                                       \
    }                                                                                                        \
    [[maybe_unused]] static const bool vqRegistered##cls = ::vq::RegisterRuntimeClass(&cls::Class);
