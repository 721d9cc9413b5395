#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vq {

// A hash map in one array, for look-ups that run on every frame: open addressing with linear
// probing, no node per entry, at most three quarters full. Values move when the map grows or an
// entry is erased, so nobody keeps a pointer to one across an Emplace or an Erase.
template <typename Key, typename Value, typename Hash> class FlatMap {
public:
    Value* Find(const Key& key) { return const_cast<Value*>(std::as_const(*this).Find(key)); }
    const Value* Find(const Key& key) const {
        if (m_Count == 0) return nullptr;
        const size_t mask = m_Slots.size() - 1;
        for (size_t i = Hash{}(key)&mask;; i = (i + 1) & mask) {
            const Slot& slot = m_Slots[i];
            if (!slot.used) return nullptr;
            if (slot.key == key) return &slot.value;
        }
    }
    // The value under the key, default-made when new (true). Growing may run out of memory, before
    // anything has changed.
    std::pair<Value*, bool> Emplace(const Key& key) {
        if (Value* found = Find(key)) return {found, false};
        if (4 * (m_Count + 1) > 3 * m_Slots.size()) Grow();
        Slot& slot = m_Slots[FreeSlotFor(key)];
        slot.key = key;
        slot.value = Value();
        slot.used = true;
        ++m_Count;
        return {&slot.value, true};
    }
    // Room for `count` entries in all, so that filling up to them never grows the map.
    void Reserve(size_t count) {
        size_t size = m_Slots.empty() ? 16 : m_Slots.size();
        while (4 * count > 3 * size)
            size *= 2;
        if (size > m_Slots.size()) Rehash(size);
    }
    bool Erase(const Key& key) {
        if (m_Count == 0) return false;
        const size_t mask = m_Slots.size() - 1;
        for (size_t i = Hash{}(key)&mask;; i = (i + 1) & mask) {
            if (!m_Slots[i].used) return false;
            if (m_Slots[i].key == key) {
                EraseAt(i);
                return true;
            }
        }
    }
    // Keeps the room, for maps emptied and filled again.
    void Clear() {
        for (Slot& slot : m_Slots)
            slot = Slot();
        m_Count = 0;
    }
    size_t Size() const { return m_Count; }
    bool IsEmpty() const { return m_Count == 0; }
    // `visit(key, value)` for every entry, in no particular order.
    template <typename Visit> void ForEach(Visit&& visit) const {
        for (const Slot& slot : m_Slots)
            if (slot.used) visit(slot.key, slot.value);
    }
    template <typename Visit> void ForEach(Visit&& visit) {
        for (Slot& slot : m_Slots)
            if (slot.used) visit(slot.key, slot.value);
    }

private:
    // The flag sits in the key's padding where there is some.
    struct Slot {
        Key key{};
        bool used = false;
        Value value{};
    };

    size_t FreeSlotFor(const Key& key) const {
        const size_t mask = m_Slots.size() - 1;
        size_t i = Hash{}(key)&mask;
        while (m_Slots[i].used)
            i = (i + 1) & mask;
        return i;
    }
    void Grow() { Rehash(m_Slots.empty() ? 16 : 2 * m_Slots.size()); }
    void Rehash(size_t size) {
        std::vector<Slot> slots(size);
        slots.swap(m_Slots);
        for (Slot& slot : slots)
            if (slot.used) m_Slots[FreeSlotFor(slot.key)] = std::move(slot);
    }
    // Backward shift: later entries of the run move up, so that no search stops early at the gap.
    void EraseAt(size_t index) {
        const size_t mask = m_Slots.size() - 1;
        size_t gap = index;
        for (size_t i = (index + 1) & mask; m_Slots[i].used; i = (i + 1) & mask) {
            const size_t home = Hash{}(m_Slots[i].key) & mask;
            if (((i - home) & mask) >= ((i - gap) & mask)) {
                m_Slots[gap] = std::move(m_Slots[i]);
                gap = i;
            }
        }
        m_Slots[gap] = Slot();
        --m_Count;
    }

    std::vector<Slot> m_Slots;
    size_t m_Count = 0;
};

// Pointers as hash keys: the low bits of heap addresses repeat, so they are mixed first.
struct PointerHash {
    size_t operator()(const void* pointer) const noexcept {
        uint64_t x = reinterpret_cast<uintptr_t>(pointer);
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<size_t>(x ^ (x >> 31));
    }
};

} // namespace vq
