#include "toolkit/lists/TkListCtrl.h"

#include "platform/gui/Messages.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkListCtrl, TkListBaseC)

VQ_BEGIN_MESSAGE_MAP(TkListCtrl, TkListBaseC)
VQ_ON_MESSAGE(WM_CREATE, OnCreate)
VQ_ON_MESSAGE(WM_DESTROY, OnDestroy)
VQ_ON_MESSAGE(WM_SYSCOLORCHANGE, OnSysColorChange)
VQ_END_MESSAGE_MAP()

} // namespace vq
