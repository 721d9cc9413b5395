#include "chart/CScale.h"

#include <cmath>

namespace vq {

void CScale::Update(double value) {
    if (m_empty) {
        m_maximum = m_minimum = value;
        m_empty = 0;
        return;
    }
    if (value > m_maximum) m_maximum = value;
    if (value <= m_minimum) m_minimum = value;
}

double CScale::GetDecades() const {
    if (m_maximum > 0 && m_minimum > 0) return std::log10(m_maximum / m_minimum);
    return 1;
}

void CScale::Store(ArchiveWriter& archive) const {
    archive.WriteDouble(m_maximum);
    archive.WriteDouble(m_minimum);
    archive.WriteInt32(m_empty);
}

void CScale::Load(ArchiveReader& archive) {
    m_maximum = archive.ReadDouble();
    m_minimum = archive.ReadDouble();
    m_empty = archive.ReadInt32();
}

} // namespace vq
