#pragma once

#include "platform/core/ObjectArchive.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vq {

// One text of an item, a group or the chart, by annotation index; index 1 is the label.
class ChartAnnotation : public Serializable {
    VQ_DECLARE_RUNTIME_CLASS(ChartAnnotation)

public:
    ChartAnnotation() = default;
    ChartAnnotation(int index, std::string_view text) : m_index(index), m_text(text) {}

    int GetIndex() const { return m_index; }
    void SetIndex(int index) { m_index = index; }
    const std::string& GetText() const { return m_text; }
    void SetText(std::string_view text) { m_text = text; }

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

private:
    int m_index = 1;
    std::string m_text;
};

class ChartAnnotationList {
public:
    // The first annotation with the index, or an empty text.
    virtual std::string GetText(int index) const;
    ChartAnnotationList() = default;
    ChartAnnotationList(ChartAnnotationList&&) = default;
    ChartAnnotationList& operator=(ChartAnnotationList&&) = default;
    virtual ~ChartAnnotationList() = default;
    // Replaces the first annotation with the index, else appends one.
    void SetText(int index, std::string_view text);
    void RemoveAll() { m_items.clear(); }
    const std::vector<std::unique_ptr<ChartAnnotation>>& Items() const { return m_items; }
    bool IsEmpty() const { return m_items.empty(); }
    // One template line "annotation <index> <text>" per entry, in list order.
    void WriteTemplate(std::string& out) const;

    void Store(ObjectWriter& archive) const { archive.WriteObjectList(m_items); }
    void Load(ObjectReader& archive) { m_items = archive.ReadObjectList<ChartAnnotation>(); }

    bool operator==(const ChartAnnotationList& other) const;

private:
    std::vector<std::unique_ptr<ChartAnnotation>> m_items;
};

} // namespace vq
