#pragma once

#include "platform/classlib/Wnd.h"
#include "platform/gui/ListViewTypes.h"
#include "platform/gui/Messages.h"

#include <functional>
#include <vector>

namespace vq {

// A parent window that records every notification its lists send and may answer them.
class ListSpy : public CWnd {
public:
    struct Note {
        UINT code = 0;
        int item = -1;
        int subItem = 0;
        UINT mask = 0;
    };
    std::vector<Note> notes;
    std::function<LRESULT(NMHDR*)> answer;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_NOTIFY) return CWnd::WindowProc(message, wParam, lParam);
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        Note note{header->code};
        if (header->code == LVN_GETDISPINFO || header->code == LVN_BEGINLABELEDIT ||
            header->code == LVN_ENDLABELEDIT) {
            const auto* info = reinterpret_cast<LV_DISPINFO*>(lParam);
            note.item = info->item.iItem;
            note.subItem = info->item.iSubItem;
            note.mask = info->item.mask;
        } else if (header->code == LVN_DELETEITEM || header->code == LVN_COLUMNCLICK) {
            const auto* list = reinterpret_cast<NM_LISTVIEW*>(lParam);
            note.item = list->iItem;
            note.subItem = list->iSubItem;
        }
        notes.push_back(note);
        return answer ? answer(header) : 0;
    }

    std::vector<UINT> Codes() const {
        std::vector<UINT> codes;
        for (const Note& note : notes)
            codes.push_back(note.code);
        return codes;
    }
};

} // namespace vq
