#pragma once

#include "toolkit/lists/TkListBoxEditor.h"

namespace vq {

// A list-box editor of folders: "..." and F2 open the folder picker from the edit's text.
class TkDirListBoxEditor : public TkListBoxEditor {
public:
    BOOL Initialize(CWnd* parent, UINT id, DWORD flags) override;
    void Browse() override;
};

} // namespace vq
