#include "platform/classlib/Static.h"

#include "platform/gui/StandardControls.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CStatic, CWnd)

BOOL CStatic::Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create("Static", text, style, rect, parent, id);
}

} // namespace vq
