#pragma once

#include "toolkit/lists/TkListBaseC.h"

namespace vq {

// The list window itself: the messages it handles go to the steps of TkListBaseC.
class TkListCtrl : public TkListBaseC {
    VQ_DECLARE_RUNTIME_CLASS(TkListCtrl)
    VQ_DECLARE_MESSAGE_MAP()
};

} // namespace vq
