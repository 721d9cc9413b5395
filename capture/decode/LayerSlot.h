#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace vq {

// Room inside a packet for one decoded layer of any class of one layer family, so decoding a
// frame allocates nothing. Each family states a size that holds its largest class; a class that
// outgrows it fails to compile where it is made.
template <typename Base, std::size_t Size> class LayerSlot {
public:
    LayerSlot() = default;
    ~LayerSlot() { Reset(); }
    LayerSlot(const LayerSlot&) = delete;
    LayerSlot& operator=(const LayerSlot&) = delete;

    template <typename T, typename... Args> T& Emplace(Args&&... args) {
        static_assert(std::is_base_of_v<Base, T>, "a slot holds layers of its own family");
        static_assert(sizeof(T) <= Size, "the layer family's slot is too small for this class");
        static_assert(alignof(T) <= alignof(std::max_align_t));
        Reset();
        T* made = ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
        object_ = made;
        return *made;
    }

    void Reset() {
        if (!object_) return;
        // The layers' destructors are virtual: the family's base ends whichever class was made.
        object_->~Base();
        object_ = nullptr;
    }

    Base* get() const { return object_; }
    Base& operator*() const { return *object_; }
    Base* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    alignas(std::max_align_t) std::byte storage_[Size];
    Base* object_ = nullptr;
};

} // namespace vq
