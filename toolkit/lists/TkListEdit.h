#pragma once

#include "platform/classlib/Edit.h"
#include "toolkit/lists/TkListClient.h"

namespace vq {

// The edit box in which a list edits a label in place. Enter ends the edit (or breaks the line
// where labels wrap) and Escape drops it; everything else is the edit's.
class TkListEdit : public CEdit {
public:
    explicit TkListEdit(TkListClient* owner) : owner_(owner) {}

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    TkListClient* owner_;
};

} // namespace vq
