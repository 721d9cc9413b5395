#include "platform/classlib/DockState.h"

#include "platform/classlib/ControlBar.h"
#include "platform/classlib/FrameWnd.h"
#include "platform/classlib/WinApp.h"
#include "platform/core/Archive.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <set>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(CDockState, Object)

namespace {

std::int32_t ScaleAxis(std::int32_t value, std::int32_t saved, std::int32_t current) {
    if (value == -1 || saved <= 0 || saved == current) return value;
    const std::int64_t scaled = std::int64_t(value) * current / saved;
    return std::int32_t(std::clamp<std::int64_t>(scaled, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

std::string IdKey(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "Bar#%d", int(index));
    return name;
}

} // namespace

std::int32_t CBarInfoKeys::Int(const char* key, std::int32_t fallback) {
    std::int64_t v = 0;
    return GetInt(key, v) ? std::int32_t(std::uint32_t(v)) : fallback;
}

std::uint32_t CBarInfoKeys::UInt(const char* key, std::uint32_t fallback) {
    std::int64_t v = 0;
    return GetInt(key, v) ? std::uint32_t(v) : fallback;
}

void CProfileBarInfoKeys::PutInt(const char* key, std::int64_t value) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileInt(m_strSection.c_str(), key, int(std::uint32_t(value)));
}

void CProfileBarInfoKeys::PutBool(const char* key, bool value) {
    PutInt(key, value ? 1 : 0);
}

void CProfileBarInfoKeys::PutText(const char* key, const std::string& value) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileString(m_strSection.c_str(), key, value.c_str());
}

void CProfileBarInfoKeys::PutBytes(const char* key, const std::uint8_t* data, std::size_t size) {
    if (CWinApp* app = AfxGetApp()) app->WriteProfileBinary(m_strSection.c_str(), key, data, UINT(size));
}

bool CProfileBarInfoKeys::GetInt(const char* key, std::int64_t& value) {
    CWinApp* app = AfxGetApp();
    if (!app) return false;
    // Two different answers for two fallbacks only when the entry is missing.
    const UINT a = app->GetProfileInt(m_strSection.c_str(), key, 0);
    if (a == 0 && app->GetProfileInt(m_strSection.c_str(), key, 1) == 1) return false;
    value = a;
    return true;
}

bool CProfileBarInfoKeys::GetBool(const char* key, bool fallback) {
    std::int64_t v = 0;
    return GetInt(key, v) ? v != 0 : fallback;
}

std::string CProfileBarInfoKeys::GetText(const char* key) {
    CWinApp* app = AfxGetApp();
    return app ? app->GetProfileString(m_strSection.c_str(), key, "") : std::string();
}

std::vector<std::uint8_t> CProfileBarInfoKeys::GetBytes(const char* key) {
    std::vector<std::uint8_t> data;
    CWinApp* app = AfxGetApp();
    if (!app || !app->GetProfileBinary(m_strSection.c_str(), key, data)) data.clear();
    return data;
}

BOOL CControlBarInfo::IsSaved() const {
    return !(m_bDockBar && m_bVisible && !m_bFloating && m_pointPos.x == -1 && m_pointPos.y == -1 &&
             m_arrBarID.size() <= 1);
}

void CControlBarInfo::SaveKeys(CBarInfoKeys& keys) const {
    keys.PutInt("BarID", m_nBarID);
    if (!m_bVisible) keys.PutBool("Visible", false);
    if (m_bFloating) {
        keys.PutBool("Horz", m_bHorz != FALSE);
        keys.PutBool("Floating", true);
    }
    if (m_pointPos.x != -1) keys.PutInt("XPos", m_pointPos.x);
    if (m_pointPos.y != -1) keys.PutInt("YPos", m_pointPos.y);
    if (m_nMRUWidth != 32767) keys.PutInt("MRUWidth", m_nMRUWidth);
    if (m_bDocking) {
        keys.PutBool("Docking", true);
        keys.PutInt("MRUDockID", m_uMRUDockID);
        keys.PutInt("MRUDockLeftPos", m_rectMRUDockPos.left);
        keys.PutInt("MRUDockTopPos", m_rectMRUDockPos.top);
        keys.PutInt("MRUDockRightPos", m_rectMRUDockPos.right);
        keys.PutInt("MRUDockBottomPos", m_rectMRUDockPos.bottom);
        keys.PutInt("MRUFloatStyle", m_dwMRUFloatStyle);
        keys.PutInt("MRUFloatXPos", m_ptMRUFloatPos.x);
        keys.PutInt("MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    if (m_arrBarID.size() > 1) {
        keys.PutInt("Bars", std::int64_t(m_arrBarID.size()));
        for (std::size_t i = 0; i < m_arrBarID.size(); ++i)
            keys.PutInt(IdKey(i).c_str(), m_arrBarID[i]);
    }
}

void CControlBarInfo::LoadKeys(CBarInfoKeys& keys, const CDockState* state) {
    auto scaled = [state](POINT p) { return state ? state->ScalePoint(p) : p; };
    m_nBarID = keys.UInt("BarID", 0);
    m_bVisible = keys.GetBool("Visible", true);
    m_bHorz = keys.GetBool("Horz", true);
    m_bFloating = keys.GetBool("Floating", false);
    m_pointPos = scaled({keys.Int("XPos", -1), keys.Int("YPos", -1)});
    m_nMRUWidth = keys.Int("MRUWidth", 32767);
    m_bDocking = keys.GetBool("Docking", false);
    if (m_bDocking) {
        m_uMRUDockID = keys.UInt("MRUDockID", 0);
        const RECT dock{keys.Int("MRUDockLeftPos", 0), keys.Int("MRUDockTopPos", 0),
                        keys.Int("MRUDockRightPos", 0), keys.Int("MRUDockBottomPos", 0)};
        m_rectMRUDockPos = state ? state->ScaleRect(dock) : dock;
        m_dwMRUFloatStyle = keys.UInt("MRUFloatStyle", 0);
        m_ptMRUFloatPos = scaled({keys.Int("MRUFloatXPos", 0), keys.Int("MRUFloatYPos", 0)});
    }
    // A damaged count drives no long loop: the ids beyond the limit are not read.
    const std::size_t count = std::min<std::size_t>(std::size_t(std::max(0, keys.Int("Bars", 0))), kMaxIds);
    for (std::size_t i = 0; i < count; ++i)
        m_arrBarID.push_back(keys.UInt(IdKey(i).c_str(), 0));
}

BOOL CControlBarInfo::SaveState(const std::string& section) const {
    if (!AfxGetApp() || !IsSaved()) return FALSE;
    CProfileBarInfoKeys keys(section);
    SaveKeys(keys);
    return TRUE;
}

BOOL CControlBarInfo::LoadState(const std::string& section, const CDockState* state) {
    if (!AfxGetApp()) return FALSE;
    CProfileBarInfoKeys keys(section);
    LoadKeys(keys, state);
    return TRUE;
}

void CControlBarInfo::StorePlace(ArchiveWriter& archive, std::uint32_t version) const {
    archive.WriteUInt32(m_nBarID);
    archive.WriteUInt32(std::uint32_t(m_bVisible));
    archive.WriteUInt32(std::uint32_t(m_bFloating));
    archive.WriteUInt32(std::uint32_t(m_bHorz));
    archive.WriteInt32(m_pointPos.x);
    archive.WriteInt32(m_pointPos.y);
    if (version <= 1) return;
    archive.WriteUInt32(std::uint32_t(m_nMRUWidth));
    archive.WriteUInt32(std::uint32_t(m_bDocking));
    if (!m_bDocking) return;
    archive.WriteUInt32(m_uMRUDockID);
    archive.WriteInt32(m_rectMRUDockPos.left);
    archive.WriteInt32(m_rectMRUDockPos.top);
    archive.WriteInt32(m_rectMRUDockPos.right);
    archive.WriteInt32(m_rectMRUDockPos.bottom);
    archive.WriteUInt32(m_dwMRUFloatStyle);
    archive.WriteInt32(m_ptMRUFloatPos.x);
    archive.WriteInt32(m_ptMRUFloatPos.y);
}

void CControlBarInfo::LoadPlace(ArchiveReader& archive, const CDockState* state, std::uint32_t version) {
    auto scaled = [state](POINT p) { return state ? state->ScalePoint(p) : p; };
    m_nBarID = archive.ReadUInt32();
    m_bVisible = archive.ReadUInt32() != 0;
    m_bFloating = archive.ReadUInt32() != 0;
    m_bHorz = archive.ReadUInt32() != 0;
    const std::int32_t x = archive.ReadInt32();
    m_pointPos = scaled({x, archive.ReadInt32()});
    if (version <= 1) return;
    m_nMRUWidth = std::int32_t(archive.ReadUInt32());
    m_bDocking = archive.ReadUInt32() != 0;
    if (!m_bDocking) return;
    m_uMRUDockID = archive.ReadUInt32();
    RECT dock;
    dock.left = archive.ReadInt32();
    dock.top = archive.ReadInt32();
    dock.right = archive.ReadInt32();
    dock.bottom = archive.ReadInt32();
    m_rectMRUDockPos = state ? state->ScaleRect(dock) : dock;
    m_dwMRUFloatStyle = archive.ReadUInt32();
    const std::int32_t fx = archive.ReadInt32();
    m_ptMRUFloatPos = scaled({fx, archive.ReadInt32()});
}

void CControlBarInfo::StoreIds(ArchiveWriter& archive) const {
    // The count has 16 bits: no more ids are written than it can say.
    const std::size_t count = std::min<std::size_t>(m_arrBarID.size(), 0xFFFF);
    archive.WriteUInt16(std::uint16_t(count));
    for (std::size_t i = 0; i < count; ++i)
        archive.WriteUInt32(m_arrBarID[i]);
}

void CControlBarInfo::LoadIds(ArchiveReader& archive) {
    const std::size_t count = archive.ReadUInt16();
    // Each id is four bytes: a count the stream cannot hold fails before anything is kept.
    if (archive.Remaining() / 4 < count) archive.ReadBytes(count * 4);
    m_arrBarID.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t id = archive.ReadUInt32();
        if (m_arrBarID.size() < kMaxIds) m_arrBarID.push_back(id);
    }
}

SIZE CDockState::GetScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

POINT CDockState::ScalePoint(POINT stored) const {
    const SIZE now = GetScreenSize();
    return {ScaleAxis(stored.x, m_sizeScreen.cx, now.cx), ScaleAxis(stored.y, m_sizeScreen.cy, now.cy)};
}

RECT CDockState::ScaleRect(const RECT& stored) const {
    const POINT topLeft = ScalePoint({stored.left, stored.top});
    const POINT bottomRight = ScalePoint({stored.right, stored.bottom});
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

CDockBar* EmptyFloatingDockBar(CFrameWnd* floating) {
    auto* dockBar = floating ? dynamic_cast<CDockBar*>(floating->GetDlgItem(AFX_IDW_DOCKBAR_FLOAT)) : nullptr;
    if (dockBar) dockBar->m_arrBars.assign(1, DockEntry::RowEnd());
    return dockBar;
}

void KeepFirstListOfEachBar(const std::vector<CControlBarInfo*>& records) {
    std::set<std::uint32_t> placed;
    for (CControlBarInfo* info : records) {
        if (!info || !info->m_pBar || !info->m_pBar->IsDockBar()) continue;
        for (std::uint32_t& id : info->m_arrBarID)
            if (id != 0 && !(id & 0x10000) && !placed.insert(id & 0xFFFF).second) id = (id & 0xFFFF) | 0x10000;
    }
}

void PlaceFloatingFrameAt(CFrameWnd* floating, POINT recorded) {
    if (!floating) return;
    RECT r{recorded.x, recorded.y, recorded.x + 10, recorded.y + 10};
    AdjustWindowRectEx(&r, floating->GetStyle(), FALSE, DWORD(GetWindowLongPtr(floating->m_hWnd, GWL_EXSTYLE)));
    SetWindowPos(floating->m_hWnd, 0, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    auto* dockBar = dynamic_cast<CDockBar*>(floating->GetDlgItem(AFX_IDW_DOCKBAR_FLOAT));
    if (dockBar && dockBar->GetDockedVisibleCount() > 0) {
        floating->PlaceFloating({r.left, r.top});
        ShowWindow(floating->m_hWnd, SW_SHOWNA);
    }
}

} // namespace vq
