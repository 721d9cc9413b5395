#pragma once

#include "platform/gui/Gdi.h"

#include <memory>

namespace vq {

// Owns a pen, brush, bitmap or region the chart made for one draw, and deletes it.
struct GdiDeleter {
    void operator()(GdiObject* object) const { DeleteObject(object); }
};
template <typename T> using GdiHandle = std::unique_ptr<T, GdiDeleter>;

// Selects an object into a context for one scope and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(m_dc, m_old); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace vq
