#include "toolkit/frames/TkToolBarManager.h"

#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/WinApp.h"
#include "platform/res/Resources.h"
#include "toolkit/frames/TkBmpMgr.h"
#include "toolkit/frames/TkCustomToolBar.h"
#include "toolkit/frames/TkCustomToolBarInfoEx.h"
#include "toolkit/frames/TkPTNFactory.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>

namespace vq {

namespace {

std::string LoadText(UINT id, const char* fallback) {
    char buffer[256];
    const int length = LoadString(id, buffer, int(sizeof buffer));
    return length > 0 ? std::string(buffer, std::size_t(length)) : std::string(fallback);
}

// The title format holds one %d; anything else in it is taken as text.
std::string FormatTitle(const std::string& format, int number) {
    const std::size_t at = format.find("%d");
    if (at == std::string::npos) return format + std::to_string(number);
    return format.substr(0, at) + std::to_string(number) + format.substr(at + 2);
}

constexpr const char* kToolTipsKey = "ToolTips";
constexpr const char* kCoolLookKey = "CoolLook";
constexpr const char* kLargeButtonsKey = "LargeButtons";
constexpr const char* kTreeNodeName = "ToolBarMgr";

} // namespace

VQ_IMPLEMENT_RUNTIME_CLASS(TkToolBarManager, TkControlBarManager)

TkToolBarManager::TkToolBarManager(CFrameWnd* frame, CWnd* owner)
    : TkControlBarManager(frame), m_pBmpMgr(new TkBmpMgr),
      m_pPaintContext(std::make_unique<TkBtnPaintContext>()), m_pOwnerWnd(owner),
      m_pBarClass(&TkCustomToolBar::Class()) {}

TkToolBarManager::~TkToolBarManager() {
    // Bars that outlive the manager keep the store by their own references, but not the manager.
    for (TkCustomToolBar* bar : GetCustomBars())
        if (bar->m_pManager == this) bar->m_pManager = nullptr;
    m_pBmpMgr->ReleaseReference();
}

std::vector<TkCustomToolBar*> TkToolBarManager::GetCustomBars() const {
    std::vector<TkCustomToolBar*> bars;
    if (CFrameWnd* frame = GetFrameWnd())
        for (CControlBar* bar : frame->m_listControlBars)
            if (auto* custom = dynamic_cast<TkCustomToolBar*>(bar)) bars.push_back(custom);
    return bars;
}

void TkToolBarManager::AddDefaultBar(UINT id, const char* title, std::int32_t count, const UINT* ids,
                                     DWORD alignment, UINT dockBarId, UINT dockAfterId, BOOL docked,
                                     BOOL visible) {
    auto info = std::make_unique<DefaultBarInfo>();
    info->m_nBarID = id;
    info->m_strTitle = title ? title : "";
    info->m_nCount = count;
    info->m_pIDs = ids;
    info->m_dwAlignment = alignment;
    info->m_nDockBarID = dockBarId;
    info->m_nDockAfterID = dockAfterId;
    info->m_bDocked = docked;
    info->m_bVisible = visible;
    m_defaultBars.push_back(std::move(info));
}

BOOL TkToolBarManager::AddDefaultBarFromResource(UINT id, const char* title, UINT toolBar, DWORD alignment,
                                                 UINT dockBarId, UINT dockAfterId, BOOL docked,
                                                 BOOL visible) {
    std::vector<std::uint32_t> items;
    if (!TkBmpMgr::ReadToolBarItems(toolBar, items)) return FALSE;
    auto ids = std::make_unique<UINT[]>(std::max<std::size_t>(items.size(), 1));
    std::copy(items.begin(), items.end(), ids.get());
    AddDefaultBar(id, title, std::int32_t(items.size()), ids.get(), alignment, dockBarId, dockAfterId, docked,
                  visible);
    m_resourceIds.push_back(std::move(ids));
    return TRUE;
}

const TkToolBarManager::DefaultBarInfo* TkToolBarManager::FindDefaultBar(UINT id) const {
    for (const auto& info : m_defaultBars)
        if (info->m_nBarID == id) return info.get();
    return nullptr;
}

BOOL TkToolBarManager::LoadButtonImages(UINT normalToolBar, UINT largeToolBar) {
    return m_pBmpMgr->AddImages(normalToolBar, largeToolBar, TRUE);
}

BOOL TkToolBarManager::AddButtonImages(UINT normalToolBar, UINT largeToolBar) {
    return m_pBmpMgr->AddImages(normalToolBar, largeToolBar, TRUE);
}

BOOL TkToolBarManager::AddButtonImagesWithIds(UINT normalBitmap, UINT largeBitmap, const std::uint32_t* ids,
                                              std::int32_t count) {
    return m_pBmpMgr->AddImageSet(normalBitmap, largeBitmap, ids, count, TRUE);
}

BOOL TkToolBarManager::AddButtonBitmaps(HBITMAP normal, HBITMAP large, const std::uint32_t* ids,
                                        std::int32_t count) {
    return m_pBmpMgr->AddImageBitmaps(normal, large, ids, count);
}

DWORD TkToolBarManager::BarStyle() const {
    DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_SIZE_DYNAMIC;
    if (m_bFlyBy) style |= CBRS_FLYBY;
    if (m_bToolTips) style |= CBRS_TOOLTIPS;
    return style;
}

TkCustomToolBar* TkToolBarManager::MakeBar() {
    std::unique_ptr<Object> object = m_pBarClass->CreateObject();
    auto* bar = dynamic_cast<TkCustomToolBar*>(object.get());
    if (!bar) return nullptr;
    object.release();
    if (m_pOwnerWnd) bar->SetOwner(m_pOwnerWnd);
    bar->AttachManager(this, m_pBmpMgr);
    return bar;
}

void TkToolBarManager::ApplyImageSize(TkCustomToolBar* bar) {
    const SIZE size = m_pBmpMgr->GetImageSize();
    bar->OnImageSizeChanged(size.cx, size.cy);
}

void TkToolBarManager::DelayedFrameLayout() {
    if (CFrameWnd* frame = GetFrameWnd()) frame->DelayRecalcLayout(TRUE);
}

BOOL TkToolBarManager::CreateDefaultBars() {
    CFrameWnd* frame = GetFrameWnd();
    if (!frame) return FALSE;
    const DWORD exStyle = m_bCoolLook ? m_dwCoolBits : 0;
    std::vector<TkCustomToolBar*> made;
    for (const auto& info : m_defaultBars) {
        TkCustomToolBar* bar = MakeBar();
        if (!bar) return FALSE;
        if (!bar->CreateToolBarEx(exStyle, frame, BarStyle(), info->m_nBarID, info->m_strTitle.c_str())) {
            delete bar;
            return FALSE;
        }
        ApplyImageSize(bar);
        bar->SetButtons(info->m_pIDs, info->m_nCount);
        bar->EnableDocking(info->m_dwAlignment);
        bar->m_bAutoDelete = TRUE;
        auto* dockBar = dynamic_cast<CDockBar*>(frame->GetControlBar(info->m_nDockBarID));
        TkCustomToolBar* after = info->m_nDockAfterID ? BarFromId(info->m_nDockAfterID) : nullptr;
        if (after) {
            // The other bar's place, one pixel on along the dock bar's rows, is right after it.
            frame->RecalcLayout();
            RECT r;
            GetWindowRect(after->m_hWnd, &r);
            const bool horz =
                info->m_nDockBarID == AFX_IDW_DOCKBAR_TOP || info->m_nDockBarID == AFX_IDW_DOCKBAR_BOTTOM;
            r = horz ? OffsetRectBy(r, 1, 0) : OffsetRectBy(r, 0, 1);
            frame->DockControlBar(bar, dockBar, &r);
        } else {
            frame->DockControlBar(bar, dockBar, nullptr);
        }
        made.push_back(bar);
    }
    frame->RecalcLayout();
    for (std::size_t i = 0; i < made.size(); ++i) {
        const DefaultBarInfo& info = *m_defaultBars[i];
        if (!info.m_bVisible) frame->ShowControlBar(made[i], FALSE, FALSE);
        if (!info.m_bDocked && made[i]->m_pDockContext) made[i]->m_pDockContext->ToggleDocking();
    }
    return TRUE;
}

TkCustomToolBar* TkToolBarManager::CreateUserBar(const char* title) {
    CFrameWnd* frame = GetFrameWnd();
    if (!frame) return nullptr;
    const std::vector<TkCustomToolBar*> bars = GetCustomBars();
    UINT id = kFirstUserBarId;
    for (bool clash = true; clash;) {
        clash = false;
        for (TkCustomToolBar* bar : bars)
            if (bar->m_hWnd && bar->GetDlgCtrlID() == id) {
                ++id;
                clash = true;
                break;
            }
        if (id > kMenuBarId) return nullptr;
    }
    TkCustomToolBar* bar = MakeBar();
    if (!bar) return nullptr;
    const std::string name = title
                                 ? std::string(title)
                                 : FormatTitle(LoadText(IDS_TK_TOOLBAR_TITLE, "ToolBar%d"), int(id - 59423));
    if (!bar->CreateToolBarEx(m_bCoolLook ? m_dwCoolBits : 0, frame, BarStyle(), id, name.c_str())) {
        delete bar;
        return nullptr;
    }
    ApplyImageSize(bar);
    bar->EnableCustomize(m_bCustomizeMode);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    bar->m_bAutoDelete = TRUE;
    return bar;
}

void TkToolBarManager::SetToolTips(BOOL on) {
    if (bool(on) == bool(m_bToolTips)) return;
    m_bToolTips = on;
    ApplyBarStyle(on, CBRS_TOOLTIPS);
}

void TkToolBarManager::SetFlyBy(BOOL on) {
    if (bool(on) == bool(m_bFlyBy)) return;
    m_bFlyBy = on;
    ApplyBarStyle(on, CBRS_FLYBY);
}

void TkToolBarManager::SetCoolLook(BOOL on, DWORD bits) {
    if (bool(on) == bool(m_bCoolLook)) return;
    m_bCoolLook = on;
    m_dwCoolBits = bits;
    ApplyExtendedStyle(on, bits);
    DelayedFrameLayout();
}

void TkToolBarManager::SetLargeButtons(BOOL on) {
    if (bool(on) == bool(m_bLargeButtons)) return;
    m_bLargeButtons = on;
    ApplyLargeButtons();
}

BOOL TkToolBarManager::ApplyLargeButtons() {
    m_pBmpMgr->SetSmallImages(!m_bLargeButtons);
    bool found = false;
    for (TkCustomToolBar* bar : GetCustomBars()) {
        ApplyImageSize(bar);
        if (bar->IsFloating())
            if (CFrameWnd* floating = bar->GetParentFrame()) floating->RecalcLayout();
        bar->Invalidate(TRUE);
        found = true;
    }
    if (found) DelayedFrameLayout();
    return TRUE;
}

void TkToolBarManager::RefreshBars() {
    const std::vector<TkCustomToolBar*> bars = GetCustomBars();
    if (bars.empty()) {
        CreateDefaultBars();
        return;
    }
    for (TkCustomToolBar* bar : bars) {
        bar->AttachManager(this, m_pBmpMgr);
        bar->Invalidate(TRUE);
    }
}

void TkToolBarManager::ApplyBarStyle(BOOL on, DWORD bits) {
    for (TkCustomToolBar* bar : GetCustomBars()) {
        const DWORD style = bar->GetBarStyle();
        bar->SetBarStyle(on ? style | bits : style & ~bits);
    }
}

void TkToolBarManager::ApplyExtendedStyle(BOOL on, DWORD bits) {
    for (TkCustomToolBar* bar : GetCustomBars()) {
        bar->SetExBarStyle(on ? bar->m_dwExStyle | bits : bar->m_dwExStyle & ~bits, FALSE);
        // Borders and gripper change the bar's insets.
        bar->m_bDirtyFloat = bar->m_bDirtyHorz = bar->m_bDirtyVert = TRUE;
        if ((bits & CBX_FLATBORDERS) && bar->m_hWnd) bar->Invalidate(TRUE);
    }
}

void TkToolBarManager::BroadcastButtonState(UINT id, DWORD set, DWORD clear) {
    for (TkCustomToolBar* bar : GetCustomBars())
        bar->SetStateForCommand(id, set, clear, FALSE);
}

void TkToolBarManager::SetCustomizeMode(BOOL on) {
    if (bool(on) == bool(m_bCustomizeMode)) return;
    m_bCustomizeMode = on;
    for (TkCustomToolBar* bar : GetCustomBars())
        bar->EnableCustomize(on);
}

void TkToolBarManager::LockFrameForCustomize() {
    CFrameWnd* frame = GetFrameWnd();
    if (m_bFrameLocked || !frame) return;
    m_bFrameLocked = TRUE;
    // The modal dialog disabled the frame; its dock bars must take drags all the same.
    EnableWindow(frame->m_hWnd, TRUE);
    for (HWND child = GetWindow(frame->m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        auto* bar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(child));
        if ((bar && bar->IsDockBar()) || !IsWindowEnabled(child)) continue;
        EnableWindow(child, FALSE);
        m_disabledWindows.push_back(child);
    }
}

void TkToolBarManager::UnlockFrameAfterCustomize() {
    CFrameWnd* frame = GetFrameWnd();
    if (!m_bFrameLocked) return;
    m_bFrameLocked = FALSE;
    if (frame) EnableWindow(frame->m_hWnd, FALSE);
    for (HWND window : m_disabledWindows)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    m_disabledWindows.clear();
}

void TkToolBarManager::RegisterDialog(CWnd* dialog) {
    if (dialog && std::find(m_dialogs.begin(), m_dialogs.end(), dialog) == m_dialogs.end())
        m_dialogs.push_back(dialog);
}

void TkToolBarManager::UnregisterDialog(CWnd* dialog) {
    std::erase(m_dialogs, dialog);
}

void TkToolBarManager::NotifyDialogs(UINT barId, int code) {
    // A dialog may unregister itself while it handles the notice.
    const std::vector<CWnd*> dialogs = m_dialogs;
    for (CWnd* dialog : dialogs)
        if (std::find(m_dialogs.begin(), m_dialogs.end(), dialog) != m_dialogs.end() && dialog->m_hWnd)
            dialog->SendMessage(WM_BARNOTIFY, barId, LPARAM(code));
}

RECT TkToolBarManager::GetCustomizeWindowRect() const {
    RECT r{0, 0, 0, 0};
    if (m_pCustomizeWnd && m_pCustomizeWnd->m_hWnd) GetWindowRect(m_pCustomizeWnd->m_hWnd, &r);
    return r;
}

TkCustomToolBar* TkToolBarManager::BarFromScreenRect(const RECT& screen) {
    for (TkCustomToolBar* bar : GetCustomBars()) {
        if (!bar->m_hWnd || !bar->IsVisible()) continue;
        HWND window = bar->m_hWnd;
        if (bar->IsFloating())
            if (CFrameWnd* floating = bar->GetParentFrame()) window = floating->m_hWnd;
        RECT r;
        GetWindowRect(window, &r);
        const bool meets =
            r.left < screen.right && screen.left < r.right && r.top < screen.bottom && screen.top < r.bottom;
        if (meets) return bar;
    }
    return nullptr;
}

TkCustomToolBar* TkToolBarManager::BarFromId(UINT id) {
    for (TkCustomToolBar* bar : GetCustomBars())
        if (bar->m_hWnd && bar->GetDlgCtrlID() == id) return bar;
    return nullptr;
}

UINT TkToolBarManager::GetBarTypeId(CControlBar* bar) {
    if (dynamic_cast<TkCustomToolBar*>(bar)) return kCustomToolBarType;
    return TkControlBarManager::GetBarTypeId(bar);
}

std::unique_ptr<Object> TkToolBarManager::CreateBarInfoEx(TkControlBarInfo* info) {
    if (info && (info->m_nTypeID == kCustomToolBarType || info->m_nTypeID == kMenuBarType))
        return std::make_unique<TkCustomToolBarInfoEx>();
    return TkControlBarManager::CreateBarInfoEx(info);
}

CControlBar* TkToolBarManager::CreateBarFromInfo(TkControlBarInfo* info) {
    CFrameWnd* frame = GetFrameWnd();
    // The menu bar's record waits for a frame that has one.
    if (!info || !frame || info->m_nTypeID != kCustomToolBarType)
        return TkControlBarManager::CreateBarFromInfo(info);
    TkCustomToolBar* bar = MakeBar();
    if (!bar) return nullptr;
    if (!bar->CreateToolBarEx(m_bCoolLook ? m_dwCoolBits : 0, frame, BarStyle(), info->m_nBarID, "")) {
        delete bar;
        return nullptr;
    }
    bar->m_bAutoDelete = TRUE;
    ApplyImageSize(bar);
    bar->EnableDocking(CBRS_ALIGN_ANY);
    return bar;
}

void TkToolBarManager::LoadStateFromProfile(const char* section) {
    CWinApp* app = AfxGetApp();
    if (!app || !section) return;
    const std::string name = std::string(section) + "-ToolBarManager";
    const BOOL tips = app->GetProfileInt(name.c_str(), kToolTipsKey, m_bToolTips) != 0;
    const BOOL cool = app->GetProfileInt(name.c_str(), kCoolLookKey, m_bCoolLook) != 0;
    const BOOL large = app->GetProfileInt(name.c_str(), kLargeButtonsKey, m_bLargeButtons) != 0;
    SetToolTips(tips);
    SetCoolLook(cool, kCoolLookBits);
    SetLargeButtons(large);
    RefreshBars();
}

void TkToolBarManager::SaveStateToProfile(const char* section) {
    CWinApp* app = AfxGetApp();
    if (!app || !section) return;
    const std::string name = std::string(section) + "-ToolBarManager";
    app->WriteProfileInt(name.c_str(), kToolTipsKey, m_bToolTips ? 1 : 0);
    app->WriteProfileInt(name.c_str(), kCoolLookKey, m_bCoolLook ? 1 : 0);
    app->WriteProfileInt(name.c_str(), kLargeButtonsKey, m_bLargeButtons ? 1 : 0);
}

BOOL TkToolBarManager::LoadStateFromTree(TkPersistentTreeNode* node) {
    TkPersistentTreeNode* child = node ? node->FindChild(kTreeNodeName) : nullptr;
    bool tips = true, cool = true, large = false;
    if (child) {
        child->GetBoolValue(kToolTipsKey, tips, true);
        child->GetBoolValue(kCoolLookKey, cool, true);
        child->GetBoolValue(kLargeButtonsKey, large, true);
    }
    // Without the node the defaults still reach the bars, so that they show what the manager reports.
    SetToolTips(tips);
    SetCoolLook(cool, kCoolLookBits);
    SetLargeButtons(large);
    RefreshBars();
    return TkControlBarManager::LoadStateFromTree(node);
}

BOOL TkToolBarManager::SaveStateToTree(TkPersistentTreeNodeFactory* factory, TkPersistentTreeNode* parent) {
    if (!parent || !factory) return FALSE;
    TkPersistentTreeNode* child = factory->CreateNode(kTreeNodeName, parent);
    if (!child) return FALSE;
    child->SetBoolValue(kToolTipsKey, m_bToolTips, true);
    child->SetBoolValue(kCoolLookKey, m_bCoolLook, true);
    child->SetBoolValue(kLargeButtonsKey, m_bLargeButtons, true);
    return TRUE;
}

} // namespace vq
