#include "chart/ChartAnnotation.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(ChartAnnotation, Serializable)

void ChartAnnotation::Store(ObjectWriter& archive) const {
    archive.WriteInt32(m_index);
    archive.WriteText(m_text);
}

void ChartAnnotation::Load(ObjectReader& archive, u32) {
    m_index = archive.ReadInt32();
    m_text = archive.ReadText();
}

std::string ChartAnnotationList::GetText(int index) const {
    for (const auto& item : m_items)
        if (item->GetIndex() == index) return item->GetText();
    return {};
}

void ChartAnnotationList::SetText(int index, std::string_view text) {
    for (const auto& item : m_items)
        if (item->GetIndex() == index) {
            item->SetText(text);
            return;
        }
    m_items.push_back(std::make_unique<ChartAnnotation>(index, text));
}

void ChartAnnotationList::WriteTemplate(std::string& out) const {
    for (const auto& annotation : m_items)
        out += "annotation " + std::to_string(annotation->GetIndex()) + " " + annotation->GetText() + "\n";
}

bool ChartAnnotationList::operator==(const ChartAnnotationList& other) const {
    if (m_items.size() != other.m_items.size()) return false;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->GetIndex() != other.m_items[i]->GetIndex() ||
            m_items[i]->GetText() != other.m_items[i]->GetText())
            return false;
    return true;
}

} // namespace vq
