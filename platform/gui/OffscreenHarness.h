#pragma once

#include "platform/gui/WindowSystem.h"

#include <QImage>
#include <Qt>
#include <string>

namespace vq {

// Drives windows as a user would, for tests on the off-screen platform: synthetic input through
// the widgets, a loop that runs until nothing is left to do, pixels of the retained images and
// screenshots of a window with its children.
class OffscreenHarness {
public:
    // Dispatches queued, painting and due timer messages until none is left; answers how many.
    static int RunUntilIdle(int limit = 10000);

    static void MousePress(POINT screen, Qt::MouseButton button = Qt::LeftButton);
    static void MouseRelease(POINT screen, Qt::MouseButton button = Qt::LeftButton);
    static void MouseMove(POINT screen, Qt::MouseButtons held = Qt::NoButton);
    static void Wheel(POINT screen, int delta);
    static void Key(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text, bool press);

    // A pixel of the window as the user sees it, in window coordinates: its retained image, or in
    // the client area of a control that Qt paints, the Qt widget's picture with any drawing on it.
    static COLORREF Pixel(HWND window, std::int32_t x, std::int32_t y);
    // The window as the user sees it: its image (and Qt's picture of a control) with its visible
    // children's drawn over it.
    static QImage Composite(HWND window);
    static bool SaveScreenshot(HWND window, const std::string& path);
};

} // namespace vq
