#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ListViewTypes.h"
#include "platform/gui/Messages.h"
#include "toolkit/lists/TkTreeBaseC.h"

#include <functional>
#include <string>
#include <vector>

namespace vq {

// A parent window that records the tree notifications and the end-of-edit message it gets, and
// may answer them.
class TreeSpy : public CWnd {
public:
    struct Note {
        UINT code = 0;
        UINT action = 0;
        HTREEITEM oldItem = nullptr;
        HTREEITEM newItem = nullptr;
        UINT newState = 0;
    };
    std::vector<Note> notes;
    std::vector<std::pair<WPARAM, LPARAM>> endEdits;
    std::function<LRESULT(NMHDR*)> answer;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TkTreeEndLabelEditMessage()) {
            endEdits.emplace_back(wParam, lParam);
            return 0;
        }
        if (message != WM_NOTIFY) return CWnd::WindowProc(message, wParam, lParam);
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        Note note{header->code};
        switch (header->code) {
        case TVN_SELCHANGINGA:
        case TVN_SELCHANGEDA:
        case TVN_ITEMEXPANDINGA:
        case TVN_ITEMEXPANDEDA:
        case TVN_DELETEITEMA:
        case TVN_BEGINDRAGA: {
            const auto* tree = reinterpret_cast<NMTREEVIEW*>(lParam);
            note.action = tree->action;
            note.oldItem = tree->itemOld.hItem;
            note.newItem = tree->itemNew.hItem;
            note.newState = tree->itemNew.state;
            break;
        }
        case TVN_BEGINLABELEDITA:
        case TVN_ENDLABELEDITA:
        case TVN_GETDISPINFOA:
            note.newItem = reinterpret_cast<TV_DISPINFO*>(lParam)->item.hItem;
            break;
        default:
            break;
        }
        notes.push_back(note);
        return answer ? answer(header) : 0;
    }

    // The tree codes only, the list's common ones left out.
    std::vector<UINT> TreeCodes() const {
        std::vector<UINT> codes;
        for (const Note& note : notes)
            if (note.code <= TVN_FIRST && note.code > TVN_FIRST - 100) codes.push_back(note.code);
        return codes;
    }
    int Count(UINT code) const {
        int count = 0;
        for (const Note& note : notes)
            count += note.code == code;
        return count;
    }
};

} // namespace vq
