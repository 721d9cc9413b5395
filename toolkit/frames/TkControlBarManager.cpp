#include "toolkit/frames/TkControlBarManager.h"

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkControlBarManager, Object)

} // namespace vq
