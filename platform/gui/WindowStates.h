#pragma once

#include "platform/gui/GdiTypes.h"

#include <unordered_map>

namespace vq {

// What one kind of control keeps for each of its windows, by handle: one table per state type,
// made on first use. The control adds its entry when the window is made and erases it when the
// window is destroyed.
template <typename State> std::unordered_map<HWND, State>& WindowStates() {
    static std::unordered_map<HWND, State> states;
    return states;
}

// Null once the window is gone, which any notification the control sends may have brought about.
template <typename State> State* FindWindowState(HWND window) {
    auto& states = WindowStates<State>();
    auto it = states.find(window);
    return it == states.end() ? nullptr : &it->second;
}

} // namespace vq
