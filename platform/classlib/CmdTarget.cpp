#include "platform/classlib/CmdTarget.h"

#include "platform/classlib/Wnd.h"
#include "platform/gui/ControlTypes.h"
#include "platform/gui/Gdi.h"

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(CCmdTarget, Object)

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {{0, 0, 0, 0, MsgSig::end, nullptr}};
    static const MessageMap map{nullptr, entries};
    return &map;
}

const MessageMapEntry* CCmdTarget::FindEntry(UINT message, int code, UINT id) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* e = map->entries; e->sig != MsgSig::end; ++e)
            if (e->message == message && e->code == code && id >= e->id && id <= e->lastId) return e;
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, CmdHandlerInfo* info) {
    const MessageMapEntry* entry = FindEntry(WM_COMMAND, code, id);
    if (!entry) return FALSE;
    if (info) {
        info->target = this;
        return TRUE;
    }
    entry->handler(*this, 0, 0, extra);
    return TRUE;
}

void CCmdUI::Enable(BOOL enable) {
    if (m_pMenu) EnableMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (enable ? MF_ENABLED : MF_GRAYED));
    if (m_pOther) EnableWindow(m_pOther->m_hWnd, enable);
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int check) {
    if (m_pMenu) CheckMenuItem(m_pMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    if (m_pOther) m_pOther->SendMessage(BM_SETCHECK, WPARAM(check), 0);
}

HBITMAP& RadioMenuMark() {
    static HBITMAP mark = nullptr;
    return mark;
}

void CCmdUI::SetRadio(BOOL on) {
    SetCheck(on ? 1 : 0);
    if (!m_pMenu) return;
    static const HBITMAP systemDot = LoadBitmap(OBM_RADIO_DOT);
    const HBITMAP mark = RadioMenuMark() ? RadioMenuMark() : systemDot;
    SetMenuItemBitmaps(m_pMenu, m_nIndex, MF_BYPOSITION, nullptr, on ? mark : nullptr);
}

void CCmdUI::SetText(const char* text) {
    if (m_pOther) m_pOther->SetWindowText(text);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
    m_bEnableChanged = FALSE;
    const BOOL handled = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (!handled && disableIfNoHandler && !m_bEnableChanged) {
        CmdHandlerInfo info;
        if (!target->OnCmdMsg(m_nID, CN_COMMAND, this, &info)) Enable(FALSE);
    }
    return handled;
}

} // namespace vq
