#pragma once

#include "platform/gui/GdiObject.h"
#include "platform/gui/WindowSystem.h"

#include <Qt>

class QWidget;

namespace vq {

// A Qt widget doing the work of a standard control. It covers the control's window, draws with
// one fixed style and a palette written from the colour table, never takes Qt's focus, and sees
// the user's input only as the control's default handling passes it on; input Qt delivers to it
// directly goes to the window system first, like any other window's. What GetDC draws on the
// control lies over the widget.
//
// Takes the widget (null when the window has no widget to host it, and then deletes it).
QWidget* AttachQtControl(HWND window, QWidget* widget);
QWidget* QtControlOf(HWND window);
// WM_SETFONT: the widget draws with the layer's face for the font (see SetControlFont; WM_GETFONT
// answers ControlFont).
void SetQtControlFont(HWND window, HFONT font, bool redraw);
// Writes the colour table into the control's palette again, after the table changed.
void SetQtControlColours(QWidget* widget);
// Gives a pointer message (client coordinates) to the control's widget.
void ForwardMouseToQtControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Gives a key to the control's widget; text empty for keys that only move or delete.
void ForwardKeyToQtControl(HWND window, int qtKey, Qt::KeyboardModifiers modifiers, const char* text);
// The modifiers the key-state table holds now.
Qt::KeyboardModifiers CurrentModifiers();

} // namespace vq
