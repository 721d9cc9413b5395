#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/Static.h"

namespace vq {

// A static text window object.
class CStatic : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(CStatic)
public:
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = UINT(-1));
};

} // namespace vq
