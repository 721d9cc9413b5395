#pragma once

#include "platform/classlib/Button.h"
#include "platform/classlib/ToolTipCtrl.h"
#include "platform/classlib/Wnd.h"
#include "toolkit/lists/TkListBoxEdit.h"
#include "toolkit/lists/TkListBoxEditorHelper.h"

#include <array>
#include <memory>
#include <string>

namespace vq {

// Flags of Initialize.
enum : DWORD {
    ListEditorBrowse = 0x1,
    ListEditorEditOnChar = 0x2,
    ListEditorButtons = 0x4,
    ListEditorToolTips = 0x8,
    ListEditorKeys = 0x10,
    ListEditorDrag = 0x20,
    ListEditorNoBlankRow = 0x40,
    ListEditorNewButton = 0x100,
    ListEditorDeleteButton = 0x200,
    ListEditorUpButton = 0x400,
    ListEditorDownButton = 0x800,
};

// Notification codes the dialog gets in WM_COMMAND from the list box's id.
enum : UINT { ListEditorItemDeleted = 10, ListEditorItemMoved = 11 };

// A dialog's list box made an editable list of strings: a header with a caption and picture
// buttons (New, Delete, Move Up, Move Down), in-place editing over a row with an optional "..."
// browse button, a blank last row where typing adds an entry, keys and reordering by drag.
class TkListBoxEditor : public CWnd {
    VQ_DECLARE_RUNTIME_CLASS(TkListBoxEditor)
public:
    enum Button { newButton = 0, deleteButton = 1, upButton = 2, downButton = 3 };
    static constexpr UINT kFirstBitmapId = 20516;
    static constexpr UINT kFirstTipId = 20531;

    TkListBoxEditor();
    ~TkListBoxEditor() override;

    virtual BOOL InitializeById(UINT id, CWnd* parent, DWORD flags);
    // Takes over the parent's list box of that id; FALSE when there is none.
    virtual BOOL Initialize(CWnd* parent, UINT id, DWORD flags);
    virtual void SetSpaceAdvance(BOOL advance);
    virtual void EndEdit();
    virtual void NotifySelChange();
    virtual void OnEditDone();
    virtual void OnItemChanged(int index, const std::string& oldText, const std::string& newText);
    virtual void OnItemAdded(int index, const std::string& text);
    virtual void OnItemMoved(int from, int to, const std::string& text, BOOL byDrag);
    // FALSE keeps the entry.
    virtual BOOL OnDeletingItem(int index, const std::string& text);
    virtual BOOL NewItem();
    virtual BOOL DeleteSelected();
    virtual BOOL MoveDown();
    virtual BOOL MoveUp();
    virtual int BeginEdit(UINT character);
    virtual std::int32_t GetHeaderHeight();
    virtual void LayoutButtons();
    virtual void UpdateToolTips();
    virtual void RecalcLayout();
    virtual void SetButtons(DWORD flags);
    virtual BOOL EditItem(int index, BOOL isNew, const char* initialText);
    virtual BOOL MoveItemUp(int index);
    virtual BOOL DeleteItem(int index);
    virtual void SetSpaceAdvanceCount(int count);
    virtual void Browse() {}

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    TkListBoxEditorHelper* GetListBox() const { return m_listBox.get(); }
    TkListBoxEdit* GetEdit() const { return m_edit.get(); }
    CButton* GetBrowseButton() const { return m_browse.get(); }
    int GetLastIndex() const { return m_lastIndex; }
    int GetMovedToIndex() const { return m_movedTo; }
    BOOL GetSpaceAdvance() const { return m_spaceAdvance; }
    int GetSpaceAdvanceCount() const { return m_spaceAdvanceCount; }
    DWORD GetFlags() const { return m_flags; }
    const RECT& GetButtonRect(int button) const { return m_buttonRects[size_t(button)]; }
    BOOL HasButton(int button) const { return m_buttonExists[size_t(button)]; }
    BOOL UsesBlankRow() const { return !(m_flags & ListEditorNoBlankRow); }
    // The last entry while blank rows are in use and it is empty.
    BOOL IsBlankRow(int index) const;
    void SetCancelled(BOOL cancelled) { m_cancelled = cancelled; }
    // A click in the list box: commits an open edit, selects, drags, tells the dialog.
    void OnListButtonDown(WPARAM wParam, LPARAM lParam);
    // The bitmap of a header button with the 3-D greys in the current colours; the caller owns it.
    static HBITMAP LoadButtonBitmap(int button);

protected:
    void PaintHeader(HDC dc);
    void OnHeaderButtonDown(POINT point);
    void SendNotification(UINT code) const;
    void AppendBlankRowIfNeeded();
    int SingleSelection() const;
    BOOL IsMultipleSelection() const;
    // The next (or previous) tab stop of the dialog after the list box, its text selected when it is an edit.
    void MoveToTabStop(BOOL previous);

    std::unique_ptr<CButton> m_browse;
    std::unique_ptr<CToolTipCtrl> m_toolTips;
    std::unique_ptr<TkListBoxEdit> m_edit;
    // An edit ends inside its own handler: its object outlives the window until the next edit.
    std::unique_ptr<TkListBoxEdit> m_retiredEdit;
    std::unique_ptr<TkListBoxEditorHelper> m_listBox;
    std::array<RECT, 4> m_buttonRects{};
    std::array<BOOL, 4> m_buttonExists{TRUE, TRUE, TRUE, TRUE};
    DWORD m_flags = 0;
    BOOL m_initialised = FALSE;
    std::int32_t m_headerHeight = 0;
    BOOL m_adding = FALSE;
    std::string m_startingText;
    BOOL m_cancelled = FALSE;
    int m_lastIndex = -1;
    int m_movedTo = -1;
    BOOL m_spaceAdvance = FALSE;
    int m_spaceAdvanceCount = 1;
    BOOL m_inLayout = FALSE;
};

} // namespace vq
