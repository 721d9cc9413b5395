#pragma once

#include "platform/core/ObjectArchive.h"

namespace vq {

// A running range of the values seen since construction or Clear.
class CScale {
public:
    virtual ~CScale() = default;

    void Update(double value);
    void Clear() { *this = CScale(); }
    double GetSpan() const { return m_maximum - m_minimum; }
    virtual int IsEmpty() const { return m_empty; }
    // The decades between the bounds; 1 when either bound is not above 0.
    virtual double GetDecades() const;

    double GetMaximum() const { return m_maximum; }
    double GetMinimum() const { return m_minimum; }
    void Set(double minimum, double maximum, int empty) {
        m_minimum = minimum, m_maximum = maximum, m_empty = empty;
    }

    void Store(ArchiveWriter& archive) const;
    void Load(ArchiveReader& archive);
    // The archived form's size, for checking counts against the bytes left.
    static constexpr std::size_t kArchivedSize = 20;

    bool operator==(const CScale& other) const {
        return m_maximum == other.m_maximum && m_minimum == other.m_minimum && m_empty == other.m_empty;
    }

private:
    double m_maximum = 0;
    double m_minimum = 0;
    int m_empty = 1;
};

} // namespace vq
