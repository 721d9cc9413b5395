#include "chart/ChartDynamicData.h"

#include "chart/ChartException.h"
#include "chart/ChartResources.h"
#include "platform/gui/MessageBox.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <new>

namespace vq {
namespace {

enum ChartErrorCode { errorNoSuchItem = 3, errorValue = 5, errorNotAllocated = 6, errorElementType = 15 };

void ShowMemoryMessage(u32 id, UINT icon) {
    char text[256];
    LoadString(id, text, sizeof text);
    MessageBox(0, text, kChartMessageCaption, MB_OK | icon);
}

double ReadElement(u64 bits, i32 type) {
    switch (type) {
    case ChartDynamicData::typeDouble:
        return std::bit_cast<double>(bits);
    case ChartDynamicData::typeInt32:
        return static_cast<i32>(static_cast<u32>(bits));
    case ChartDynamicData::typeByte:
        return static_cast<i8>(static_cast<u8>(bits));
    default:
        return 0;
    }
}

} // namespace

VQ_IMPLEMENT_DYNCREATE(ChartDynamicData, ChartData)

u64 ChartDynamicData::Encode(double value) const {
    switch (m_type) {
    case typeNone:
    case typeDouble:
        return std::bit_cast<u64>(value);
    case typeInt32:
        // The negated comparisons also refuse NaN.
        if (!(value >= std::numeric_limits<i32>::min() && value <= std::numeric_limits<i32>::max()))
            RaiseChartError(errorValue);
        return static_cast<u32>(static_cast<i32>(value));
    case typeByte:
        // A byte element reads back as a signed 8-bit number, so both readings of a byte are taken.
        if (!(value >= -128 && value <= 255)) RaiseChartError(errorValue);
        return static_cast<u8>(static_cast<i32>(value));
    default:
        RaiseChartError(errorValue);
    }
}

void ChartDynamicData::CheckWritable() const {
    if (!m_allocated) RaiseChartError(errorNotAllocated);
    // A full buffer that neither wraps nor grows leaves the write position past its last element.
    if (m_write >= m_capacity) RaiseChartError(errorNoSuchItem);
}

void ChartDynamicData::Write(u64 bits, double rangeValue) {
    if (m_hasRanges) m_ranges[m_write].Update(rangeValue);
    m_buffer[m_write] = bits;
    AdvanceWrite();
}

void ChartDynamicData::AdvanceWrite() {
    if (++m_write < m_capacity) return;
    if (m_wrap)
        m_write = 0;
    else
        SetCapacity(m_capacity + static_cast<u32>(std::max(m_growBy, 0)));
}

void ChartDynamicData::SetValue(double value) {
    CheckWritable();
    const u64 bits = Encode(value);
    if (m_type == typeNone) m_type = typeDouble;
    Write(bits, value);
}

void ChartDynamicData::PushInt32(i32 value) {
    if (m_type != kAnyIntegerType && m_type != typeInt32) RaiseChartError(errorElementType);
    CheckWritable();
    m_type = typeInt32;
    Write(static_cast<u32>(value), value);
}

void ChartDynamicData::PushByte(int value) {
    if (m_type != kAnyIntegerType && m_type != typeByte) RaiseChartError(errorElementType);
    CheckWritable();
    m_type = typeByte;
    Write(static_cast<u8>(value), static_cast<i8>(static_cast<u8>(value)));
}

double ChartDynamicData::GetValue(bool log) {
    if (m_type < typeDouble || m_type > typeByte || m_read >= m_capacity || !m_allocated) return 0;
    const double value = ReadElement(m_buffer[m_read], m_type);
    if (++m_read >= m_capacity) m_read = 0;
    return log ? ChartLogValue(std::fabs(value)) : value;
}

CScale ChartDynamicData::GetRange() {
    if (!m_hasRanges || !m_allocated || m_read >= m_capacity) return {};
    const CScale range = m_ranges[m_read];
    if (++m_read >= m_capacity) m_read = 0;
    return range;
}

double ChartDynamicData::PeekElement(u32 index) const {
    return index < m_capacity && m_allocated ? ReadElement(m_buffer[index], m_type) : 0;
}

const CScale* ChartDynamicData::GetElementRange(u32 index) const {
    return m_hasRanges && index < m_ranges.size() ? &m_ranges[index] : nullptr;
}

void ChartDynamicData::Shift(double value, bool atEnd) {
    if (!m_allocated || m_capacity == 0) return;
    const bool stores = m_type != typeNone;
    const u64 bits = stores ? Encode(value) : 0;
    if (atEnd) {
        std::shift_left(m_buffer.begin(), m_buffer.end(), 1);
        if (m_hasRanges) std::shift_left(m_ranges.begin(), m_ranges.end(), 1);
    } else {
        std::shift_right(m_buffer.begin(), m_buffer.end(), 1);
        if (m_hasRanges) std::shift_right(m_ranges.begin(), m_ranges.end(), 1);
    }
    const u32 freed = atEnd ? m_capacity - 1 : 0;
    if (stores) m_buffer[freed] = bits;
    if (m_hasRanges) m_ranges[freed] = CScale();
}

int ChartDynamicData::SetWritePosition(u32 position) {
    if (position != 0 && position >= m_capacity) RaiseChartError(errorNoSuchItem);
    m_write = position;
    return 1;
}

int ChartDynamicData::SetReadPosition(u32 position) {
    if (position != 0 && position >= m_capacity) RaiseChartError(errorNoSuchItem);
    m_read = position;
    return 1;
}

void ChartDynamicData::SetElementRanges(int on) {
    m_hasRanges = on;
    if (!on) {
        m_ranges = {};
        return;
    }
    if (m_ranges.size() != m_capacity) {
        try {
            m_ranges.assign(m_capacity, CScale());
        } catch (const std::bad_alloc&) {
            m_hasRanges = 0;
            ShowMemoryMessage(IDS_CHART_RANGES_FAILED, MB_ICONERROR);
        }
    }
}

void ChartDynamicData::SetCapacity(u32 count) {
    const bool first = !m_allocated;
    std::vector<u64> buffer;
    std::vector<CScale> ranges;
    try {
        buffer.assign(count, 0);
    } catch (const std::bad_alloc&) {
        ShowMemoryMessage(first ? IDS_CHART_BUFFER_FAILED : IDS_CHART_BUFFER_GROW_FAILED,
                          first ? MB_ICONERROR : MB_ICONWARNING);
        return;
    }
    try {
        if (m_hasRanges) ranges.assign(count, CScale());
    } catch (const std::bad_alloc&) {
        ShowMemoryMessage(IDS_CHART_RANGES_FAILED, MB_ICONERROR);
        return;
    }
    const bool shrinks = !first && count < m_capacity;
    const u32 kept = first ? 0 : std::min(m_capacity, count);
    std::copy_n(m_buffer.begin(), kept, buffer.begin());
    if (m_hasRanges)
        std::copy_n(m_ranges.begin(), std::min<std::size_t>(kept, m_ranges.size()), ranges.begin());
    m_buffer = std::move(buffer);
    m_ranges = std::move(ranges);
    m_capacity = count;
    m_allocated = 1;
    // Positions must keep naming elements of a smaller buffer. A buffer that filled up without
    // wrap or grow-by keeps its write position at the end, so its next push is refused.
    if (shrinks && m_read >= count) m_read = 0;
    if (shrinks && m_write >= count) m_write = 0;
}

void ChartDynamicData::Store(ObjectWriter& archive) const {
    ChartData::Store(archive);
    archive.WriteInt32(m_wrap);
    archive.WriteInt32(m_hasRanges);
    archive.WriteInt32(m_allocated);
    archive.WriteUInt32(m_capacity);
    archive.WriteInt32(m_type);
    archive.WriteInt32(m_growBy);
    if (!m_allocated) return;
    for (u32 i = 0; i < m_capacity; ++i) {
        archive.WriteUInt64(m_buffer[i]);
        if (m_hasRanges) m_ranges[i].Store(archive);
    }
}

void ChartDynamicData::Load(ObjectReader& archive, u32 schema) {
    ChartData::Load(archive, schema);
    m_wrap = archive.ReadInt32();
    m_hasRanges = archive.ReadInt32();
    m_allocated = archive.ReadInt32();
    const u32 capacity = archive.ReadUInt32();
    m_type = archive.ReadInt32();
    m_growBy = archive.ReadInt32();
    m_read = m_write = 0;
    m_capacity = 0;
    m_buffer.clear();
    m_ranges.clear();
    if (!m_allocated) return;
    const std::size_t elementSize = sizeof(u64) + (m_hasRanges ? CScale::kArchivedSize : 0);
    if (capacity > archive.Remaining() / elementSize)
        throw ArchiveException(ArchiveException::Cause::BadFormat, "buffer larger than the data");
    m_buffer.resize(capacity);
    if (m_hasRanges) m_ranges.resize(capacity);
    for (u32 i = 0; i < capacity; ++i) {
        m_buffer[i] = archive.ReadUInt64();
        if (m_hasRanges) m_ranges[i].Load(archive);
    }
    m_capacity = capacity;
}

} // namespace vq
