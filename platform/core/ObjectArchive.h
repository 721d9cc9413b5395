#pragma once

#include "platform/core/Archive.h"
#include "platform/core/Exceptions.h"
#include "platform/core/RuntimeClass.h"

#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

// Archives of objects: each object is written with its class record (the class name and schema
// word the first time a class appears, its index afterwards), so a reader makes the right class
// by its record. Reading trusts nothing: an unknown name, a bad index, an object of the wrong base
// or a count the bytes left cannot hold raises ArchiveException before anything is allocated for it.
namespace vq {

class ObjectWriter;
class ObjectReader;

// Bit 31 of a schema word: the class reads older schemas itself, so the stored number is handed
// to its Load instead of being refused.
inline constexpr u32 kVersionableSchema = 0x80000000;

// An object that archives itself. Each class stores its base's data before its own.
class Serializable : public Object {
    VQ_DECLARE_RUNTIME_CLASS(Serializable)

public:
    // The schema word stored with the class record.
    virtual u32 GetSchema() const = 0;
    virtual void Store(ObjectWriter& archive) const = 0;
    // The schema is the stored number without the versionable bit.
    virtual void Load(ObjectReader& archive, u32 schema) = 0;
};

class ObjectWriter : public ArchiveWriter {
public:
    // A null object is written as a null reference.
    void WriteObject(const Serializable* object);
    template <typename List> void WriteObjectList(const List& objects) {
        WriteUInt32(static_cast<u32>(objects.size()));
        for (const auto& object : objects)
            WriteObject(&*object);
    }

private:
    std::unordered_map<const RuntimeClass*, u32> m_classIndex;
};

class ObjectReader : public ArchiveReader {
public:
    // Only the classes named here are made; the span must outlive the reader.
    ObjectReader(std::span<const u8> data, std::span<const RuntimeClass* const> knownClasses)
        : ArchiveReader(data), m_known(knownClasses) {}

    // An object whose class derives from base, or null for a null reference.
    std::unique_ptr<Serializable> ReadObject(const RuntimeClass& base);
    template <typename T> std::unique_ptr<T> ReadObject() {
        return std::unique_ptr<T>(static_cast<T*>(ReadObject(T::Class()).release()));
    }
    // A list never holds a null object.
    template <typename T> std::vector<std::unique_ptr<T>> ReadObjectList() {
        const u32 count = ReadCount(kSmallestObject);
        std::vector<std::unique_ptr<T>> objects;
        objects.reserve(count);
        for (u32 i = 0; i < count; ++i) {
            objects.push_back(ReadObject<T>());
            if (!objects.back())
                throw ArchiveException(ArchiveException::Cause::BadFormat, "null object in a list");
        }
        return objects;
    }
    // A 32-bit count of items of at least bytesEach bytes; refused when the bytes left cannot
    // hold that many.
    u32 ReadCount(std::size_t bytesEach);

    // The fewest bytes an archived object takes: its class tag.
    static constexpr std::size_t kSmallestObject = 4;

private:
    struct ClassRecord {
        const RuntimeClass* cls;
        u32 schema;
    };
    const RuntimeClass* FindKnown(const std::string& name) const;
    ClassRecord ReadClassRecord();

    std::span<const RuntimeClass* const> m_known;
    std::vector<ClassRecord> m_classes;
    int m_depth = 0;
};

} // namespace vq
