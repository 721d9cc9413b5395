#include "toolkit/frames/TkDockState.h"

#include "platform/classlib/WinApp.h"
#include "platform/core/Archive.h"
#include "platform/registry/Registry.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkDialogBar.h"
#include "toolkit/frames/TkDockBar.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>
#include <set>

namespace vq {

VQ_IMPLEMENT_DYNCREATE(TkDockState, CDockState)

namespace {

TkDockingFrameHost* HostOf(CFrameWnd* frame) {
    return dynamic_cast<TkDockingFrameHost*>(frame);
}

std::string Section(const char* profile, const char* suffix) {
    return std::string(profile) + suffix;
}

// The record of a dock bar, as the class library takes it, with the toolkit's in-MDI-child part.
void GetDockBarInfo(CDockBar* dockBar, TkControlBarInfo* info) {
    dockBar->GetBarInfo(info);
    auto* tk = dynamic_cast<TkDockBar*>(dockBar);
    if (tk && tk->m_bInMDIChild) {
        info->m_bInMDIChild = TRUE;
        info->m_pointPos = {0, 0};
        info->m_wpMDIChild.length = sizeof info->m_wpMDIChild;
        if (CWnd* parent = dockBar->GetParent()) GetWindowPlacement(parent->m_hWnd, &info->m_wpMDIChild);
    }
}

} // namespace

std::unique_ptr<TkControlBarInfo> TkDockState::CreateBarInfo(TkControlBarManager* manager) {
    auto info = std::make_unique<TkControlBarInfo>();
    info->m_pManager = manager;
    return info;
}

TkControlBarManager* TkDockState::ManagerFor(CFrameWnd* frame) {
    if (!m_pManager)
        if (TkDockingFrameHost* host = HostOf(frame)) m_pManager = host->GetControlBarManager();
    return m_pManager;
}

BOOL TkDockState::SaveStateToProfile(const char* profile) {
    CWinApp* app = AfxGetApp();
    if (!app || !profile) return FALSE;
    // One write of the settings for the whole layout, so that it is kept whole or not at all.
    const bool batch = RegBeginUserBatch() == kRegistrySuccess;
    int saved = 0;
    for (const auto& info : m_arrBarInfo)
        if (info->SaveStateToProfile(profile, saved)) ++saved;
    const std::string summary = Section(profile, "-Summary");
    const SIZE screen = GetScreenSize();
    app->WriteProfileInt(summary.c_str(), "Bars", saved);
    app->WriteProfileInt(summary.c_str(), "ScreenCX", screen.cx);
    app->WriteProfileInt(summary.c_str(), "ScreenCY", screen.cy);
    if (batch && RegCommitUserBatch() != kRegistrySuccess) return FALSE;
    return TRUE;
}

BOOL TkDockState::LoadStateFromProfile(const char* profile) {
    CWinApp* app = AfxGetApp();
    if (!app || !profile) return FALSE;
    // Reading asks for sections that may be missing, which the profile makes as it is asked;
    // inside a batch that is given up nothing of that reaches the store, nor costs a write.
    const bool batch = RegBeginUserBatch() == kRegistrySuccess;
    const std::string summary = Section(profile, "-Summary");
    const auto count = std::int32_t(app->GetProfileInt(summary.c_str(), "Bars", 0));
    SetScreenSize({std::int32_t(app->GetProfileInt(summary.c_str(), "ScreenCX", 0)),
                   std::int32_t(app->GetProfileInt(summary.c_str(), "ScreenCY", 0))});
    BOOL result = TRUE;
    const int records = int(std::min<std::size_t>(std::size_t(std::max(0, count)), kMaxRecords));
    for (int i = 0; i < records; ++i) {
        m_arrBarInfo.push_back(CreateBarInfo(m_pManager));
        if (!m_arrBarInfo.back()->LoadStateFromProfile(profile, i, this)) result = FALSE;
    }
    if (batch) RegAbandonUserBatch();
    return result;
}

BOOL TkDockState::SaveStateToTree(TkPTNFactory* factory, TkPersistentTreeNode* parent) {
    if (!parent || !factory) return FALSE;
    TkPersistentTreeNode* node = factory->CreateNode("DockState", parent);
    if (!node) return FALSE;
    int saved = 0;
    for (const auto& info : m_arrBarInfo)
        if (info->SaveStateToTree(factory, node, saved)) ++saved;
    const SIZE screen = GetScreenSize();
    node->SetIntValue("Bars", saved, true);
    node->SetIntValue("ScreenCX", screen.cx, true);
    node->SetIntValue("ScreenCY", screen.cy, true);
    return TRUE;
}

BOOL TkDockState::LoadStateFromTree(TkPersistentTreeNode* parent) {
    TkPersistentTreeNode* node = parent ? parent->FindChild("DockState") : nullptr;
    if (!node) return FALSE;
    i32 count = 0, cx = 0, cy = 0;
    node->GetIntValue("Bars", count, 0);
    node->GetIntValue("ScreenCX", cx, 0);
    node->GetIntValue("ScreenCY", cy, 0);
    SetScreenSize({cx, cy});
    const int records = int(std::min<std::size_t>(std::size_t(std::max(0, count)), kMaxRecords));
    for (int i = 0; i < records; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Bar-%d", i);
        TkPersistentTreeNode* child = node->FindChild(name);
        if (!child) continue;
        m_arrBarInfo.push_back(CreateBarInfo(m_pManager));
        m_arrBarInfo.back()->LoadStateFromTree(child, this);
    }
    return TRUE;
}

void TkDockState::Store(ArchiveWriter& archive) {
    archive.WriteUInt32(m_dwVersion);
    if (m_dwVersion > 1) {
        const SIZE screen = GetScreenSize();
        archive.WriteInt32(screen.cx);
        archive.WriteInt32(screen.cy);
    }
    archive.WriteUInt16(u16(std::min<std::size_t>(m_arrBarInfo.size(), 0xFFFF)));
    for (std::size_t i = 0; i < m_arrBarInfo.size() && i < 0xFFFF; ++i)
        m_arrBarInfo[i]->Store(archive, this, m_dwVersion);
}

void TkDockState::Load(ArchiveReader& archive) {
    const std::uint32_t version = archive.ReadUInt32();
    SIZE screen{0, 0};
    if (version > 1) {
        screen.cx = archive.ReadInt32();
        screen.cy = archive.ReadInt32();
    }
    const SIZE held = GetSavedScreenSize();
    SetScreenSize(screen);
    std::vector<std::unique_ptr<TkControlBarInfo>> records;
    try {
        const std::size_t count = archive.ReadUInt16();
        for (std::size_t i = 0; i < count; ++i) {
            auto info = CreateBarInfo(m_pManager);
            info->Load(archive, this, version);
            if (records.size() < kMaxRecords) records.push_back(std::move(info));
        }
    } catch (...) {
        SetScreenSize(held);
        throw;
    }
    m_arrBarInfo = std::move(records);
    m_dwVersion = 2;
}

BOOL TkDockState::CaptureFrame(CFrameWnd* frame) {
    if (!frame) return FALSE;
    m_arrBarInfo.clear();
    ManagerFor(frame);
    for (CControlBar* bar : frame->m_listControlBars) {
        auto* tkBar = dynamic_cast<TkControlBar*>(bar);
        auto* dockBar = dynamic_cast<TkDockBar*>(bar);
        if ((!tkBar && !dockBar) || !bar->m_hWnd) continue;
        auto info = CreateBarInfo(m_pManager);
        info->m_pBar = bar;
        if (dockBar)
            GetDockBarInfo(dockBar, info.get());
        else
            tkBar->GetBarInfoEx(info.get());
        info->m_pBar = nullptr;
        m_arrBarInfo.push_back(std::move(info));
    }
    return TRUE;
}

void TkDockState::CleanBarIdLists() {
    // A bar keeps its placeholder only where it will come back to: its most recent dock bar.
    for (const auto& a : m_arrBarInfo)
        for (const auto& b : m_arrBarInfo) {
            if (a == b || a->m_uMRUDockID == b->m_nBarID || b->m_arrBarID.empty()) continue;
            const std::uint32_t placeholder = (a->m_nBarID & 0xFFFF) | 0x10000;
            for (std::size_t i = 0; i + 1 < b->m_arrBarID.size(); ++i)
                if (b->m_arrBarID[i] == placeholder) b->m_arrBarID[i] = 0;
        }
    for (const auto& info : m_arrBarInfo) {
        std::vector<std::uint32_t>& ids = info->m_arrBarID;
        std::set<std::uint32_t> seen;
        for (std::uint32_t& id : ids)
            if (id != 0 && !seen.insert(id).second) id = 0;
        if (ids.empty()) continue;
        while (!ids.empty() && ids.back() == 0)
            ids.pop_back();
        if (!ids.empty()) ids.push_back(0);
    }
}

const RuntimeClass* TkDockState::FindRuntimeClass(const std::string& className) {
    return ::vq::FindRuntimeClass(className);
}

CControlBar* TkDockState::CreateBarFromClassName(const std::string& className, CFrameWnd* frame,
                                                 TkControlBarInfo* info) {
    const RuntimeClass* cls = FindRuntimeClass(className);
    // Only a bar class: a stored name is no reason to make a frame or a document.
    if (!cls || !cls->IsDerivedFrom(TkControlBar::Class())) return nullptr;
    std::unique_ptr<Object> object = cls->CreateObject();
    auto* bar = dynamic_cast<TkControlBar*>(object.get());
    if (!bar) return nullptr;
    object.release();
    std::unique_ptr<CControlBar> owned(bar);
    BOOL made = FALSE;
    if (auto* dialogBar = dynamic_cast<TkDialogBar*>(bar))
        made = dialogBar->Create(frame, info->m_nResourceID, info->m_dwStyle, info->m_dwExStyle, info->m_nBarID);
    else
        made = bar->Create(frame, info->m_strTitle.c_str(), info->m_dwStyle, info->m_dwExStyle, info->m_nBarID);
    // A bar without a window is no bar: it is neither kept nor applied.
    if (!made || !bar->m_hWnd) return nullptr;
    SetWindowText(bar->m_hWnd, info->m_strTitle.c_str());
    bar->EnableDocking(CBRS_ALIGN_ANY);
    if (m_pCreatedBars) {
        m_pCreatedBars->push_back(std::move(owned));
        return bar;
    }
    // Nobody keeps it: the bar goes with its window.
    bar->m_bAutoDelete = TRUE;
    owned.release();
    return bar;
}

void TkDockState::CreateMissingBars(CFrameWnd* frame, BOOL mdiFrame) {
    TkDockingFrameHost* host = HostOf(frame);
    for (auto it = m_arrBarInfo.begin(); it != m_arrBarInfo.end();) {
        TkControlBarInfo& info = **it;
        info.m_pBar = nullptr;
        if (info.m_bFloating) {
            const DWORD style = info.m_bHorz ? DWORD(CBRS_ALIGN_TOP) : DWORD(CBRS_ALIGN_LEFT);
            CFrameWnd* floating = info.m_bInMDIChild && mdiFrame && host
                                      ? host->CreateFloatingFrameAsMDIChild(style)
                                      : frame->CreateFloatingFrame(style);
            info.m_pBar = EmptyFloatingDockBar(floating);
        } else {
            if (info.m_nBarID != 0) info.m_pBar = frame->GetControlBar(info.m_nBarID);
            if (!info.m_pBar && m_pManager) info.m_pBar = m_pManager->CreateBarFromInfo(&info);
            if (!info.m_pBar) info.m_pBar = CreateBarFromClassName(info.m_strClassName, frame, &info);
        }
        if (info.m_pBar)
            ++it;
        else
            it = m_arrBarInfo.erase(it);
    }
}

void TkDockState::ApplyRecords(CFrameWnd* frame) {
    std::vector<CControlBarInfo*> records;
    for (const auto& info : m_arrBarInfo)
        records.push_back(info.get());
    KeepFirstListOfEachBar(records);
    for (const auto& info : m_arrBarInfo) {
        CControlBar* bar = info->m_pBar;
        if (auto* tkBar = dynamic_cast<TkControlBar*>(bar))
            tkBar->SetBarInfoEx(info.get(), frame);
        else if (bar)
            bar->SetBarInfo(info.get(), frame);
    }
}

void TkDockState::ApplyExtendedState(CFrameWnd*) {
    for (const auto& info : m_arrBarInfo)
        if (auto* bar = dynamic_cast<TkControlBar*>(info->m_pBar)) bar->SetExBarStyle(info->m_dwExStyle, FALSE);
    for (const auto& info : m_arrBarInfo) {
        if (!info->m_bFloating || !info->m_pBar) continue;
        auto* dockBar = dynamic_cast<CDockBar*>(info->m_pBar);
        PlaceFloatingFrameAt(dockBar ? dynamic_cast<CFrameWnd*>(dockBar->GetParent()) : nullptr, info->m_pointPos);
    }
    // A bar that changed its style in place still shows its old frame until its dock bar redraws it.
    for (const auto& info : m_arrBarInfo)
        if (info->m_pBar)
            if (auto* dockBar = dynamic_cast<TkDockBar*>(info->m_pBar->m_pDockBar))
                dockBar->Queue(info->m_pBar);
}

void TkDockState::RestoreMDIChildPlacements(CFrameWnd*) {
    for (const auto& info : m_arrBarInfo) {
        if (!info->m_bInMDIChild || !info->m_pBar) continue;
        if (CWnd* parent = info->m_pBar->GetParent()) SetWindowPlacement(parent->m_hWnd, &info->m_wpMDIChild);
    }
}

BOOL TkDockState::ApplyToFrame(CFrameWnd* frame) {
    if (!frame) return FALSE;
    ManagerFor(frame);
    TkDockingFrameHost* host = HostOf(frame);
    const BOOL mdiFrame = host && host->IsToolkitMDIFrame();
    CreateMissingBars(frame, mdiFrame);
    ApplyRecords(frame);
    ApplyExtendedState(frame);
    frame->RecalcLayout();
    if (mdiFrame) {
        RestoreMDIChildPlacements(frame);
        frame->DelayRecalcLayout(TRUE);
    }
    for (const auto& info : m_arrBarInfo)
        info->m_pBar = nullptr;
    return TRUE;
}

} // namespace vq
