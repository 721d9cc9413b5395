#include "toolkit/lists/TkListBoxEditorHelper.h"

#include "platform/gui/Messages.h"
#include "toolkit/lists/TkListBoxEditor.h"

namespace vq {

LRESULT TkListBoxEditorHelper::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    TkListBoxEditor& editor = *m_editor;
    const DWORD flags = editor.GetFlags();
    switch (message) {
    case WM_CHAR:
        if ((flags & ListEditorEditOnChar) && !(GetKeyState(VK_CONTROL) & 0x8000)) {
            editor.BeginEdit(UINT(wParam));
            return 0;
        }
        break;
    case WM_KEYDOWN:
        if ((flags & ListEditorKeys) && wParam == VK_INSERT) {
            editor.NewItem();
            return 0;
        }
        if ((flags & ListEditorKeys) && wParam == VK_DELETE) {
            editor.DeleteSelected();
            return 0;
        }
        if ((flags & ListEditorBrowse) && wParam == VK_F2) {
            editor.BeginEdit(0);
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if ((flags & ListEditorKeys) && (wParam == VK_UP || wParam == VK_DOWN)) {
            wParam == VK_UP ? editor.MoveUp() : editor.MoveDown();
            return 0;
        }
        break;
    case WM_LBUTTONDBLCLK:
        editor.BeginEdit(0);
        return 0;
    case WM_LBUTTONDOWN:
        editor.OnListButtonDown(wParam, lParam);
        return 0;
    case WM_KILLFOCUS: {
        m_focusLeft = TRUE;
        const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        editor.SendMessage(WM_KILLFOCUS, wParam, 0);
        return result;
    }
    case WM_SETFOCUS: {
        const LRESULT result = CListBox::WindowProc(message, wParam, lParam);
        editor.SendMessage(WM_SETFOCUS, wParam, 0);
        return result;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->idFrom == kListEditorEditId && header->code == ListEditorEditDone) {
            editor.EndEdit();
            return 0;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(std::uintptr_t(wParam)) == kListEditorBrowseId) {
            editor.Browse();
            return 0;
        }
        break;
    case ListEditorSetCancelled:
        editor.SetCancelled(BOOL(wParam));
        return 0;
    default:
        break;
    }
    return CListBox::WindowProc(message, wParam, lParam);
}

} // namespace vq
