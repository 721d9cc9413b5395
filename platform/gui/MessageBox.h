#pragma once

#include "platform/gui/WindowSystem.h"

#include <string>

namespace vq {

enum : UINT {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_TYPEMASK = 0xF,
    MB_ICONERROR = 0x10,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_ICONASTERISK = 0x40,
    MB_ICONMASK = 0xF0,
};
enum : int { IDYES = 6, IDNO = 7 };

// Shows message boxes. The program's default asks the user through the toolkit; tests install
// one that answers from a script.
class MessageBoxProvider {
public:
    virtual ~MessageBoxProvider() = default;
    virtual int Show(HWND owner, const std::string& text, const std::string& caption, UINT type) = 0;
};

// Installs a provider (null restores the default); answers the one it replaced.
MessageBoxProvider* SetMessageBoxProvider(MessageBoxProvider* provider);

// The owner is disabled while the box is up, as under any modal window.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);

} // namespace vq
