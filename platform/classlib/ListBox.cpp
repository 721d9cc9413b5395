#include "platform/classlib/ListBox.h"

#include "platform/gui/StandardControls.h"

#include <algorithm>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(CListBox, CWnd)

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    RegisterStandardControls();
    return CWnd::Create("ListBox", "", style, rect, parent, id);
}

std::string CListBox::GetText(int index) const {
    const int length = GetTextLen(index);
    if (length < 0) return {};
    // Items that are only data copy the data, which may be longer than a string's terminator.
    std::string text(std::max<std::size_t>(std::size_t(length) + 1, sizeof(LPARAM)), '\0');
    const LRESULT copied = SendMessage(LB_GETTEXT, WPARAM(std::intptr_t(index)), LPARAM(text.data()));
    text.resize(std::size_t(std::clamp<LRESULT>(copied, 0, LRESULT(length))));
    return text;
}

int CListBox::SelectString(int start, const char* text) const {
    const int found = FindString(start, text);
    if (found == LB_ERR) return LB_ERR;
    return SetCurSel(found);
}

UINT CListBox::ItemFromPoint(POINT point, BOOL& outside) const {
    const LRESULT answer = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    outside = BOOL(HIWORD(std::uintptr_t(answer)));
    return LOWORD(std::uintptr_t(answer));
}

void CListBox::DrawItem(DRAWITEMSTRUCT*) {}

void CListBox::MeasureItem(MEASUREITEMSTRUCT*) {}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
    case WM_DRAWITEM:
        DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        break;
    case WM_MEASUREITEM:
        MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        break;
    default:
        return CWnd::OnChildNotify(message, wParam, lParam, result);
    }
    if (result) *result = TRUE;
    return TRUE;
}

} // namespace vq
