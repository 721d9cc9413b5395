#pragma once

#include "platform/classlib/Edit.h"
#include "platform/classlib/ListBox.h"

#include <string>

namespace vq {

// Codes the in-place edit sends its list box.
inline constexpr UINT ListEditorEditDone = 1000; // WM_NOTIFY from id 100: the edit closed
inline constexpr UINT ListEditorSetCancelled = WM_USER + 256;
inline constexpr UINT kListEditorEditId = 100;
inline constexpr UINT kListEditorBrowseId = 101;

// The edit laid over a list box's entry. Enter commits, Escape cancels, Tab and the paging keys
// commit and move on; either way the list box hears ListEditorEditDone.
class TkListBoxEdit : public CEdit {
public:
    TkListBoxEdit(BOOL isNew, int index, UINT browseId, BOOL spaceAdvance, int spaceAdvanceCount);

    // Over the entry of `list`, `narrowBy` pixels less wide on the right for a browse button.
    BOOL CreateOver(CListBox& list, const char* initialText, std::int32_t narrowBy);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Commit();
    void Cancel();
    BOOL IsNew() const { return m_isNew; }
    int GetIndex() const { return m_index; }

private:
    void Finish();
    void MoveToTabStop(BOOL previous);
    BOOL OnKey(UINT key);
    BOOL SpaceAdvances() const;

    CListBox* m_list = nullptr;
    BOOL m_isNew;
    int m_index;
    int m_previousSelection = -1;
    UINT m_browseId;
    BOOL m_spaceAdvance;
    int m_spaceAdvanceCount;
    BOOL m_ending = FALSE;
};

} // namespace vq
