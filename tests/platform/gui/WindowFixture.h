#pragma once

#include "platform/gui/OffscreenHarness.h"
#include "platform/gui/WindowSystem.h"
#include "platform/thread/MonotonicClock.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vq::test {

// One message as a spy window saw it.
struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Windows of the spy classes record every message in `seen` and hand it to `hook` first, which
// answers true when it handled the message itself.
class WindowTest : public ::testing::Test {
protected:
    static inline std::vector<Seen> seen;
    static inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> hook;

    static LRESULT SpyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        seen.push_back({window, message, wParam, lParam});
        LRESULT result = 0;
        if (hook && hook(window, message, wParam, lParam, result)) return result;
        return DefWindowProc(window, message, wParam, lParam);
    }

    void SetUp() override {
        SetMonotonicClock(&clock);
        for (const auto& [name, style] : {std::pair{"Spy", 0u}, std::pair{"SpyDbl", UINT(CS_DBLCLKS)}}) {
            WNDCLASS wc;
            wc.style = style;
            wc.lpfnWndProc = SpyProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1));
            wc.lpszClassName = name;
            RegisterClass(wc);
        }
        seen.clear();
        hook = nullptr;
    }

    void TearDown() override {
        hook = nullptr;
        for (HWND w : created)
            if (IsWindow(w)) DestroyWindow(w);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
        SetMonotonicClock(nullptr);
    }

    HWND Make(const char* cls, DWORD style, RECT r, HWND parent = 0, DWORD exStyle = 0,
              std::uintptr_t id = 0) {
        HWND w = CreateWindowEx(exStyle, cls, "", style, r.left, r.top, r.Width(), r.Height(), parent, id,
                                nullptr);
        created.push_back(w);
        return w;
    }

    // The messages of one kind set that a window saw, in order.
    static std::vector<UINT> MessagesOf(HWND window, std::initializer_list<UINT> kinds) {
        std::vector<UINT> out;
        for (const auto& s : seen)
            if (s.window == window && std::find(kinds.begin(), kinds.end(), s.message) != kinds.end())
                out.push_back(s.message);
        return out;
    }

    ManualMonotonicClock clock{1'000'000'000};
    std::vector<HWND> created;
};

} // namespace vq::test
