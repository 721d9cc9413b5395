#pragma once

#include "platform/core/RuntimeClass.h"
#include "platform/gui/WindowSystem.h"

#include <cstdint>

namespace vq {

// A frame's docking layout as it was saved: the screen size it was saved on, to which the stored
// positions belong, and the version of its archive form (2 once loaded).
class CDockState : public Object {
    VQ_DECLARE_RUNTIME_CLASS(CDockState)
public:
    std::uint32_t m_dwVersion = 2;

    // The size of the screen the positions were saved on; 0 when unknown.
    void SetScreenSize(SIZE saved) { m_sizeScreen = saved; }
    SIZE GetSavedScreenSize() const { return m_sizeScreen; }
    // The screen the layout is saved on or applied to now.
    static SIZE GetScreenSize();
    // A stored position on the current screen: each axis scaled by current / saved when the
    // saved size is known and differs; -1 (no position) stays -1.
    POINT ScalePoint(POINT stored) const;
    RECT ScaleRect(const RECT& stored) const;

private:
    SIZE m_sizeScreen{0, 0};
};

} // namespace vq
