#include "WindowFixture.h"
#include "menus.h"
#include "platform/gui/Accelerators.h"
#include "platform/res/Resources.h"

namespace vq::test {
namespace {

TEST_F(WindowTest, AcceleratorsTurnTheirKeysWithExactlyTheirModifiersIntoCommands) {
    const HWND w = Make("Spy", WS_POPUP, {0, 0, 20, 20});
    HACCEL table = LoadAccelerators(IDR_POPUP);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(LoadAccelerators(999), nullptr);
    const auto bytes = FindResource(RT_ACCELERATOR, IDR_POPUP);
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_EQ(LoadAcceleratorsIndirect(bytes.first(n)), nullptr) << n;

    struct Case {
        UINT message;
        WPARAM key;
        bool shift, control;
        int command;
    };
    const Case cases[] = {
        {WM_CHAR, 14, false, true, ID_ALPHA}, {WM_KEYDOWN, 116, false, false, ID_BETA},
        {WM_KEYDOWN, 116, true, false, 0},    {WM_KEYDOWN, 'S', true, true, ID_LAST},
        {WM_KEYDOWN, 'S', false, true, 0},    {WM_CHAR, 'S', true, true, 0},
        {WM_KEYUP, 116, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        // The key-state table follows the modifier keys taken from the queue.
        auto modifier = [&](int vk, bool down) {
            PostMessage(w, down ? WM_KEYDOWN : WM_KEYUP, WPARAM(vk), 0);
        };
        modifier(VK_SHIFT, c.shift);
        modifier(VK_CONTROL, c.control);
        OffscreenHarness::RunUntilIdle();
        seen.clear();
        MSG msg{w, c.message, c.key, 0, 0, {}};
        EXPECT_EQ(TranslateAccelerator(w, table, &msg), c.command ? TRUE : FALSE);
        std::vector<WPARAM> commands;
        for (const auto& s : seen)
            if (s.message == WM_COMMAND) commands.push_back(s.wParam);
        EXPECT_EQ(commands,
                  c.command ? std::vector<WPARAM>{WPARAM(MAKELPARAM(c.command, 1))} : std::vector<WPARAM>{});
    }
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    EXPECT_FALSE(DestroyAcceleratorTable(table));
}

} // namespace
} // namespace vq::test
