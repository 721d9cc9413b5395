#pragma once

#include <cstdint>

namespace vq {

// A window of the GUI layer, or 0 for "the thread itself".
using WindowHandle = std::uintptr_t;

inline constexpr std::uint32_t WM_QUIT = 0x0012;
inline constexpr std::uint32_t WM_COMPACTING = 0x0041;
inline constexpr std::uint32_t WM_TIMER = 0x0113;
inline constexpr std::uint32_t WM_KICKIDLE = 0x036A;

struct QueuePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// One message in a thread's queue. A timer tick is an entry made when it is taken: message
// WM_TIMER, the timer's window as target and the timer id as first parameter.
struct QueueEntry {
    WindowHandle target = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    // Milliseconds of the monotonic clock when posted (or when the tick was made); wraps.
    std::uint32_t time = 0;
    // Pointer position for input entries, given by the GUI layer.
    QueuePoint point;
    // Input whose window is decided only when it is taken (by the queue's target resolver).
    bool targetOpen = false;
    // Made by the GUI layer from the user's pointer or keys; a posted mouse message keeps the
    // coordinates its sender gave.
    bool input = false;
};

// Which entries a get or peek may take.
struct TargetFilter {
    enum class Kind { Any, ThreadOnly, Window };
    Kind kind = Kind::Any;
    WindowHandle window = 0;

    static TargetFilter Any() { return {}; }
    static TargetFilter ThreadOnly() { return {Kind::ThreadOnly, 0}; }
    static TargetFilter ForWindow(WindowHandle w) { return {Kind::Window, w}; }

    bool Matches(WindowHandle target) const {
        switch (kind) {
        case Kind::Any:
            return true;
        case Kind::ThreadOnly:
            return target == 0;
        case Kind::Window:
            return target == window;
        }
        return false;
    }
};

// An inclusive range of message ids; 0..0 takes every id.
struct MessageRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;

    bool Matches(std::uint32_t message) const {
        return (first == 0 && last == 0) || (message >= first && message <= last);
    }
};

enum PeekFlags : unsigned {
    PeekKeep = 0,
    PeekRemove = 1,
    // Take only posted entries and leave due timer ticks for a later look, so a window system can
    // slot its own work (painting) in between.
    PeekPostedOnly = 2,
};

} // namespace vq
