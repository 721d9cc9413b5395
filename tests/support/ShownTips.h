#pragma once

#include "platform/gui/ToolTip.h"
#include "platform/gui/WindowSystem.h"

#include <string>
#include <vector>

namespace vq::test {

// The texts of the tip windows that show now, top first.
inline std::vector<std::string> ShownTips() {
    std::vector<std::string> out;
    for (HWND w = GetTopWindow(0); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char name[32] = {};
        GetClassName(w, name, sizeof name);
        if (std::string(name) != TOOLTIPS_CLASS || !IsWindowVisible(w)) continue;
        char text[100] = {};
        GetWindowText(w, text, sizeof text);
        out.push_back(text);
    }
    return out;
}

} // namespace vq::test
