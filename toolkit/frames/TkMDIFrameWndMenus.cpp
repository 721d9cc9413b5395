#include "platform/classlib/DocManager.h"
#include "platform/classlib/View.h"
#include "platform/classlib/WinApp.h"
#include "platform/gui/RegisteredMessage.h"
#include "platform/res/Resources.h"
#include "toolkit/frames/TkMDIFrameWnd.h"

namespace vq {

namespace {

// Menu id 0 stands for the default menu, as -1 does.
constexpr UINT kDefaultMenu = UINT(-1);

} // namespace

UINT TkMDIFrameWnd::GetMenuMessage() {
    static const UINT message = RegisterWindowMessage("WM_TKGETMENU");
    return message;
}

BOOL TkMDIFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    if (m_hWnd) return FALSE;
    m_nDefaultMenuId = resourceId;
    m_nFrameResourceId = resourceId;
    // With a menu bar the frame has no real menu: the bar shows the menu of the active id.
    const BOOL created = m_pMenuBar ? CFrameWnd::LoadFrame(resourceId, style, parent, context)
                                    : CMDIFrameWnd::LoadFrame(resourceId, style, parent, context);
    if (!created) return FALSE;
    SetWindowContextHelpId(m_hWnd, resourceId);
    if (m_pMenuBar) {
        m_hMenuBarFrameMenu = LoadMenu(resourceId);
        SwitchMenu(kDefaultMenu);
    }
    if (!context) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0);
    return TRUE;
}

BOOL TkMDIFrameWnd::OnCreateClient(CCreateContext* context) {
    if (m_pMenuBar) return CreateClient(nullptr);
    return CMDIFrameWnd::OnCreateClient(context);
}

HMENU TkMDIFrameWnd::GetFrameMenu() const {
    return m_pMenuBar ? m_hMenuBarFrameMenu : m_hMenuDefault;
}

HMENU TkMDIFrameWnd::GetCurrentMenu() const {
    if (!m_pMenuBar) return GetMenu(m_hWnd);
    const UINT id = m_pMenuBar->GetMenuId();
    if (HMENU menu = GetMenuById(id)) return menu;
    return id == IDR_TK_CHILDFLOAT ? m_hMenuBarFrameMenu : nullptr;
}

HMENU TkMDIFrameWnd::GetMenuById(UINT menuId) const {
    if (m_hMenuBarFrameMenu && menuId == m_nFrameResourceId) return m_hMenuBarFrameMenu;
    if (CWinApp* app = AfxGetApp(); app && app->m_pDocManager)
        for (const auto& each : app->m_pDocManager->GetDocTemplates())
            if (auto* tmpl = dynamic_cast<CMultiDocTemplate*>(each.get()); tmpl && tmpl->GetResourceId() == menuId)
                return tmpl->m_hMenuShared;
    const auto it = m_mapExtraMenus.find(menuId);
    return it == m_mapExtraMenus.end() ? nullptr : it->second;
}

BOOL TkMDIFrameWnd::RegisterMenus(std::initializer_list<UINT> menuIds) {
    for (UINT id : menuIds) {
        HMENU menu = LoadMenu(id);
        if (!menu) return FALSE;
        HMENU& slot = m_mapExtraMenus[id];
        if (slot) DestroyMenu(slot);
        slot = menu;
    }
    return TRUE;
}

void TkMDIFrameWnd::SetDefaultMenu(UINT menuId) {
    if (!m_pMenuBar || menuId == m_nDefaultMenuId) return;
    m_nDefaultMenuId = menuId;
    if (MDIGetActive()) return;
    m_pMenuBar->SelectMenu(menuId);
    RecalcLayout(TRUE);
    InvalidateRect(m_pMenuBar->GetBarWindow(), nullptr, TRUE);
}

void TkMDIFrameWnd::SwitchMenu(UINT menuId) {
    if (!m_pMenuBar || !m_pFramePlugIn) return;
    if (menuId == 0) menuId = kDefaultMenu;
    if (m_bFloatInMainTransition) {
        // A bar moving into or out of the main window switches once it has arrived.
        DelayRecalcLayout(TRUE);
        return;
    }
    if (menuId == kDefaultMenu) {
        m_pMenuBar->SwitchMenu(m_nDefaultMenuId);
        if (m_pMenuBar->UpdateCaptionButtons(TRUE)) {
            InvalidateRect(m_pMenuBar->GetBarWindow(), nullptr, TRUE);
            RecalcLayout(TRUE);
        }
    } else {
        m_pMenuBar->SwitchMenu(menuId);
    }
    RefreshWindowMenu();
}

void TkMDIFrameWnd::RefreshWindowMenu() {
    if (!m_pMenuBar) return;
    const UINT id = m_pMenuBar->GetMenuId();
    HMENU menu = id ? GetMenuById(id) : nullptr;
    if (!menu && id == IDR_TK_CHILDFLOAT) menu = m_hMenuBarFrameMenu;
    HMENU windowMenu = menu ? GetWindowMenuPopup(menu) : nullptr;
    if (windowMenu && !GetMenu(m_hWnd))
        ::vq::SendMessage(m_hWndMDIClient, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(windowMenu));
}

BOOL TkMDIFrameWnd::UpdateMenuBarButtons() {
    if (!m_pMenuBar || !m_pMenuBar->UpdateCaptionButtons(FALSE)) return FALSE;
    InvalidateRect(m_pMenuBar->GetBarWindow(), nullptr, TRUE);
    RecalcLayout(TRUE);
    return TRUE;
}

void TkMDIFrameWnd::OnUpdateFrameMenu(HMENU alternative) {
    if (auto* floating = dynamic_cast<TkMDIChildWnd*>(m_pActiveFloatingChild)) {
        floating->OnUpdateFrameMenu(TRUE, floating, alternative);
        return;
    }
    if (CMDIChildWnd* child = MDIGetActive()) {
        child->OnUpdateFrameMenu(TRUE, child, alternative);
        return;
    }
    HMENU menu = alternative ? alternative : (m_pMenuBar ? nullptr : m_hMenuDefault);
    ::vq::SendMessage(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu), 0);
    if (m_pMenuBar) RefreshWindowMenu();
}

} // namespace vq
