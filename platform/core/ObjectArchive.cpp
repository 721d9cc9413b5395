#include "platform/core/ObjectArchive.h"

#include "platform/core/Exceptions.h"

namespace vq {
namespace {

constexpr u32 kNullTag = 0;
constexpr u32 kNewClassTag = 0xFFFFFFFF;
// Objects inside objects recurse; a hostile stream of nested records must not exhaust the stack.
constexpr int kMaxDepth = 64;

[[noreturn]] void BadFormat(const char* detail) {
    throw ArchiveException(ArchiveException::Cause::BadFormat, detail);
}

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(Serializable, Object)

void ObjectWriter::WriteObject(const Serializable* object) {
    if (!object) {
        WriteUInt32(kNullTag);
        return;
    }
    const RuntimeClass* cls = &object->GetRuntimeClass();
    if (auto found = m_classIndex.find(cls); found != m_classIndex.end()) {
        WriteUInt32(found->second);
    } else {
        WriteUInt32(kNewClassTag);
        WriteUInt32(object->GetSchema());
        WriteText(cls->name);
        m_classIndex.emplace(cls, static_cast<u32>(m_classIndex.size() + 1));
    }
    object->Store(*this);
}

u32 ObjectReader::ReadCount(std::size_t bytesEach) {
    const u32 count = ReadUInt32();
    if (bytesEach != 0 && count > Remaining() / bytesEach) BadFormat("count beyond the data");
    return count;
}

const RuntimeClass* ObjectReader::FindKnown(const std::string& name) const {
    for (const RuntimeClass* cls : m_known)
        if (name == cls->name) return cls;
    return nullptr;
}

ObjectReader::ClassRecord ObjectReader::ReadClassRecord() {
    const u32 tag = ReadUInt32();
    if (tag == kNewClassTag) {
        const u32 schema = ReadUInt32();
        const RuntimeClass* cls = FindKnown(ReadText());
        if (!cls || !cls->IsCreatable()) BadFormat("unknown class");
        m_classes.push_back({cls, schema});
        return m_classes.back();
    }
    if (tag == kNullTag) return {nullptr, 0};
    if (tag > m_classes.size()) BadFormat("bad class index");
    return m_classes[tag - 1];
}

std::unique_ptr<Serializable> ObjectReader::ReadObject(const RuntimeClass& base) {
    const ClassRecord record = ReadClassRecord();
    if (!record.cls) return nullptr;
    if (!record.cls->IsDerivedFrom(base)) BadFormat("object of another class");
    if (m_depth >= kMaxDepth) BadFormat("objects nested too deep");

    std::unique_ptr<Object> made = record.cls->CreateObject();
    auto* object = dynamic_cast<Serializable*>(made.get());
    if (!object) BadFormat("class cannot be archived");
    made.release();
    std::unique_ptr<Serializable> result(object);

    // A versionable class reads any schema up to its own; any other must match exactly.
    const u32 current = result->GetSchema();
    const u32 number = record.schema & ~kVersionableSchema;
    if (record.schema & kVersionableSchema) {
        if (!(current & kVersionableSchema) || number > (current & ~kVersionableSchema))
            BadFormat("unknown schema");
    } else if (record.schema != current) {
        BadFormat("unknown schema");
    }
    ++m_depth;
    try {
        result->Load(*this, number);
    } catch (...) {
        --m_depth;
        throw;
    }
    --m_depth;
    return result;
}

} // namespace vq
