#pragma once

#include "platform/gui/GdiTypes.h"
#include "platform/gui/WindowSystem.h"

#include <string>

namespace vq {

// What the list's helpers (its label edit and label tip) ask of the list that holds them. Every
// list derives from it a second time, so the tree and the shortcut list answer for themselves.
// The bodies here are the answers of a helper that belongs to no list.
class TkListClient {
public:
    virtual ~TkListClient() = default;

    virtual HWND GetOwnerHwnd() const { return 0; }
    virtual BOOL IsWrapLabels() const { return FALSE; }
    virtual BOOL EndLabelEdit(BOOL /*commit*/) { return FALSE; }
    virtual std::int32_t GetColumnSubItem(std::int32_t /*column*/) const { return -1; }
    virtual void GetScrollOffsets(POINT* offsets) const { *offsets = POINT{}; }
    virtual void GetItemArea(RECT* area) const { *area = RECT{}; }
    virtual BOOL GetSubItemRect(std::int32_t /*item*/, std::int32_t /*column*/, RECT* /*rect*/,
                                std::int32_t /*code*/) {
        return FALSE;
    }
    virtual std::string GetItemText(std::int32_t /*item*/, std::int32_t /*subItem*/) { return {}; }
    virtual void ClientToScreenRect(RECT* /*rect*/) const {}
    virtual HWND CaptureMouse(BOOL /*capture*/) { return 0; }
    virtual BOOL IsItemSelected(std::int32_t /*item*/) const { return FALSE; }
    virtual COLORREF GetSelTextColor() const { return 0; }
    virtual COLORREF GetSelBkColor() const { return 0; }
    virtual COLORREF GetTipTextColor() const { return 0; }
    virtual COLORREF GetTipBkColor() const { return 0; }
    virtual HFONT GetItemFont() const { return 0; }
    virtual UINT GetTipItemState(std::int32_t /*item*/, UINT /*mask*/) const { return 0; }
};

} // namespace vq
