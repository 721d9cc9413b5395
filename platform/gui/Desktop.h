#pragma once

#include "platform/gui/WindowSystem.h"

#include <QImage>

class QWidget;

namespace vq {

// The desktop: a transparent layer over every top-level window that takes no input. What a
// context of it draws is combined with the windows under it by exclusive or, so that a frame
// inverted onto it and inverted again leaves the screen as it was; drag rectangles are drawn
// this way while no window repaints.
HWND GetDesktopWindow();

enum : DWORD { DCX_WINDOW = 0x1, DCX_CACHE = 0x2, DCX_CLIPSIBLINGS = 0x10, DCX_LOCKWINDOWUPDATE = 0x400 };
// A context of the window (its whole window with DCX_WINDOW), or of the desktop layer, in screen
// coordinates; the clip region is not supported and must be null. ReleaseDC gives it back.
HDC GetDCEx(HWND window, HRGN clip, DWORD flags);
// Keeps the window from being drawn on by anyone but a DCX_LOCKWINDOWUPDATE context, while a drag
// draws over it; 0 unlocks. FALSE while another window is locked.
BOOL LockWindowUpdate(HWND window);
HWND GetLockedWindow();

// The screen as the user sees it: the visible top-level windows, bottom first, on the desktop's
// background colour, with the desktop layer over them.
QImage ScreenComposite();
// Whether anything is drawn on the desktop layer.
bool IsDesktopLayerClear();

// The desktop layer on the real screen: a frameless window over every other that takes neither
// input nor focus, shown from the first drawing on the layer until the last context of the
// desktop is released with nothing left drawn. Where the layer has pixels it shows the windows
// under them combined with them, elsewhere it is clear. Null before anything was drawn or off the
// thread that runs the windows.
QWidget* GetDesktopOverlay();
// What the overlay shows, clear pixels included.
QImage RenderDesktopOverlay();
// Drawing on the layer tells the overlay which area changed (screen coordinates).
void DesktopLayerChanged(const RECT& area);
// A context of the desktop went back (ReleaseDC).
void ReleaseDesktopContext();

} // namespace vq
