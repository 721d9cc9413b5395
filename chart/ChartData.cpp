#include "chart/ChartData.h"

#include <cmath>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(ChartData, Serializable)

double ChartLogValue(double value) {
    return value > 0 ? std::log10(value) : -99;
}

ChartData::ChartData() = default;

ChartData::ChartData(double value, u32 styleWord, std::string_view label) : m_value(value), m_null(0) {
    m_style.styleWord = styleWord;
    m_style.SetLevel(0);
    m_annotations.SetText(1, label);
}

double ChartData::GetLogValue() const {
    return ChartLogValue(m_value);
}

void ChartData::Clear() {
    m_value = 0;
    m_range.Clear();
}

double ChartData::GetValue(bool log) {
    return log ? ChartLogValue(m_value) : m_value;
}

void ChartData::SetValue(double value) {
    m_value = value;
    m_range.Update(value);
    SetNull(0);
}

void ChartData::SetAnnotationText(std::string_view text, bool clear, int index) {
    if (clear) m_annotations.RemoveAll();
    m_annotations.SetText(index, text);
}

void ChartData::SetAnnotation(int index, std::string_view text) {
    m_annotations.SetText(index, text);
}

void ChartData::Store(ObjectWriter& archive) const {
    m_annotations.Store(archive);
    m_style.Store(archive);
    m_range.Store(archive);
    archive.WriteDouble(m_value);
    archive.WriteInt32(m_null);
}

void ChartData::Load(ObjectReader& archive, u32) {
    m_annotations.Load(archive);
    m_style.Load(archive);
    m_range.Load(archive);
    m_value = archive.ReadDouble();
    m_null = archive.ReadInt32();
}

ChartDummyData& ChartDummyData::Shared() {
    static ChartDummyData item;
    return item;
}

} // namespace vq
