#pragma once

#include "chart/ChartData.h"

#include <vector>

namespace vq {

// A whole series in one item: a fixed-capacity buffer written at a write position that wraps or
// grows, read back from a read position, optionally with a running range per element. The
// inherited single value, range and null flag stay apart from the buffer.
class ChartDynamicData : public ChartData {
    VQ_DECLARE_RUNTIME_CLASS(ChartDynamicData)

public:
    enum ElementType : i32 { typeNone = 0, typeDouble = 1, typeInt32 = 2, typeByte = 3 };
    // The type a loaded buffer may carry that admits 32-bit and byte pushes.
    static constexpr i32 kAnyIntegerType = -1;

    // The range of the element at the read position, advancing it; empty without element ranges.
    CScale GetRange() override;
    int IsDynamic() const override { return 1; }
    // The element at the read position, advancing it and returning to 0 after the last.
    double GetValue(bool log = false) override;
    // Pushes the value at the write position.
    void SetValue(double value) override;

    // Moves every element one place (towards the start with atEnd) and puts the value in the
    // freed place; positions stay.
    virtual void Shift(double value, bool atEnd);
    virtual void SetWrap(int wrap) { m_wrap = wrap; }
    // A position must name an element (0 is always accepted); chart error 3 otherwise.
    virtual int SetWritePosition(u32 position);
    virtual void ResetWritePosition() { m_write = 0; }
    virtual int HasElementRanges() const { return m_hasRanges; }
    virtual void SetElementRanges(int on);
    virtual int SetReadPosition(u32 position);
    virtual void ResetReadPosition() { m_read = 0; }
    virtual int GetCapacity() const { return static_cast<int>(m_capacity); }
    virtual int GetGrowBy() const { return m_growBy; }
    virtual void SetGrowBy(int count) { m_growBy = count; }
    // Keeps the first elements that fit; tells the user and stays as it was when memory runs out.
    virtual void SetCapacity(u32 count);
    virtual void PushInt32(i32 value);
    virtual void PushByte(int value);

    bool IsAllocated() const { return m_allocated != 0; }
    i32 GetElementType() const { return m_type; }
    int GetWrap() const { return m_wrap; }
    u32 GetReadPosition() const { return m_read; }
    u32 GetWritePosition() const { return m_write; }
    // The element as stored, without moving the read position.
    double PeekElement(u32 index) const;
    const CScale* GetElementRange(u32 index) const;

    u32 GetSchema() const override { return 0x80000001; }
    void Store(ObjectWriter& archive) const override;
    void Load(ObjectReader& archive, u32 schema) override;

private:
    u64 Encode(double value) const;
    void CheckWritable() const;
    void AdvanceWrite();
    void Write(u64 bits, double rangeValue);

    std::vector<CScale> m_ranges;
    int m_hasRanges = 0;
    i32 m_type = typeNone;
    int m_growBy = 0;
    int m_wrap = 0;
    int m_allocated = 0;
    u32 m_capacity = 0;
    u32 m_read = 0;
    u32 m_write = 0;
    // Each element takes 8 bytes: a double whole, a 32-bit value in the low 4, a byte in the low 1.
    std::vector<u64> m_buffer;
};

} // namespace vq
