#include "platform/classlib/WinApp.h"
#include "platform/core/Archive.h"
#include "platform/core/Format.h"
#include "toolkit/frames/TkControlBar.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkDockState.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace vq {

VQ_IMPLEMENT_RUNTIME_CLASS(TkControlBarInfoEx, Object)

namespace {

// One place a record's keys go to or come from: a profile section or a settings-tree node. The
// profile keeps booleans as integers, the tree as "True"/"False"; both keep the rest alike.
class KeyStore {
public:
    virtual ~KeyStore() = default;
    virtual void PutInt(const char* key, std::int64_t value) = 0;
    virtual void PutBool(const char* key, bool value) = 0;
    virtual void PutText(const char* key, const std::string& value) = 0;
    virtual void PutBytes(const char* key, const std::uint8_t* data, std::size_t size) = 0;
    virtual bool GetInt(const char* key, std::int64_t& value) = 0;
    virtual bool GetBool(const char* key, bool fallback) = 0;
    virtual std::string GetText(const char* key) = 0;
    virtual std::vector<std::uint8_t> GetBytes(const char* key) = 0;

    std::int32_t Int(const char* key, std::int32_t fallback) {
        std::int64_t v = 0;
        return GetInt(key, v) ? std::int32_t(std::uint32_t(v)) : fallback;
    }
    std::uint32_t UInt(const char* key, std::uint32_t fallback) {
        std::int64_t v = 0;
        return GetInt(key, v) ? std::uint32_t(v) : fallback;
    }
};

class ProfileStore : public KeyStore {
public:
    ProfileStore(CWinApp* app, std::string section) : app_(app), section_(std::move(section)) {}

    void PutInt(const char* key, std::int64_t value) override {
        app_->WriteProfileInt(section_.c_str(), key, int(std::uint32_t(value)));
    }
    void PutBool(const char* key, bool value) override { PutInt(key, value ? 1 : 0); }
    void PutText(const char* key, const std::string& value) override {
        app_->WriteProfileString(section_.c_str(), key, value.c_str());
    }
    void PutBytes(const char* key, const std::uint8_t* data, std::size_t size) override {
        app_->WriteProfileBinary(section_.c_str(), key, data, UINT(size));
    }
    bool GetInt(const char* key, std::int64_t& value) override {
        // Two different answers for two fallbacks only when the entry is missing.
        const UINT a = app_->GetProfileInt(section_.c_str(), key, 0);
        if (a == 0 && app_->GetProfileInt(section_.c_str(), key, 1) == 1) return false;
        value = a;
        return true;
    }
    bool GetBool(const char* key, bool fallback) override {
        std::int64_t v = 0;
        return GetInt(key, v) ? v != 0 : fallback;
    }
    std::string GetText(const char* key) override { return app_->GetProfileString(section_.c_str(), key, ""); }
    std::vector<std::uint8_t> GetBytes(const char* key) override {
        std::vector<std::uint8_t> data;
        if (!app_->GetProfileBinary(section_.c_str(), key, data)) data.clear();
        return data;
    }

private:
    CWinApp* app_;
    std::string section_;
};

class TreeStore : public KeyStore {
public:
    explicit TreeStore(TkPersistentTreeNode* node) : node_(node) {}

    void PutInt(const char* key, std::int64_t value) override {
        node_->SetValue(key, std::to_string(value), true);
    }
    void PutBool(const char* key, bool value) override { node_->SetBoolValue(key, value, true); }
    void PutText(const char* key, const std::string& value) override { node_->SetValue(key, value, true); }
    void PutBytes(const char* key, const std::uint8_t* data, std::size_t size) override {
        node_->SetBinaryValue(key, data, u32(size), true);
    }
    bool GetInt(const char* key, std::int64_t& value) override {
        std::string text;
        if (node_->GetValue(key, text, "") != 0 || !node_->FindPair(key)) return false;
        errno = 0;
        char* end = nullptr;
        const long long parsed = std::strtoll(text.c_str(), &end, 10);
        if (end == text.c_str() || errno == ERANGE) return false;
        value = std::clamp<long long>(parsed, std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::uint32_t>::max());
        return true;
    }
    bool GetBool(const char* key, bool fallback) override {
        bool value = fallback;
        node_->GetBoolValue(key, value, fallback);
        return value;
    }
    std::string GetText(const char* key) override {
        std::string text;
        node_->GetValue(key, text, "");
        return text;
    }
    std::vector<std::uint8_t> GetBytes(const char* key) override {
        std::unique_ptr<u8[]> data;
        u32 count = 0;
        if (node_->GetBinaryValue(key, &data, &count) != 0 || !data) return {};
        return std::vector<std::uint8_t>(data.get(), data.get() + count);
    }

private:
    TkPersistentTreeNode* node_;
};

std::string Numbered(const char* pattern, int n) {
    char name[64];
    std::snprintf(name, sizeof name, pattern, n);
    return name;
}

// The share as the stores keep it: millionths, truncated.
std::string ShareText(float share) {
    return std::to_string(std::int64_t(double(share) * 1000000.0));
}

float ShareFromText(const std::string& text) {
    errno = 0;
    const long long millionths = std::strtoll(text.c_str(), nullptr, 10);
    if (errno == ERANGE || millionths <= 0) return 0.0f;
    return float(double(std::min<long long>(millionths, 1000000000)) / 1000000.0);
}

// A stored size: no negative lengths, and none beyond what a floating bar may take on screen.
SIZE LimitedSize(std::int32_t cx, std::int32_t cy) {
    return {std::clamp(cx, 0, std::max(0, GetSystemMetrics(SM_CXFULLSCREEN))),
            std::clamp(cy, 0, std::max(0, GetSystemMetrics(SM_CYFULLSCREEN)))};
}

void SaveBase(const TkControlBarInfo& r, KeyStore& store) {
    store.PutInt("BarID", r.m_nBarID);
    if (!r.m_bVisible) store.PutBool("Visible", false);
    if (r.m_bFloating) {
        store.PutBool("Horz", r.m_bHorz != FALSE);
        store.PutBool("Floating", true);
    }
    if (r.m_pointPos.x != -1) store.PutInt("XPos", r.m_pointPos.x);
    if (r.m_pointPos.y != -1) store.PutInt("YPos", r.m_pointPos.y);
    if (r.m_nMRUWidth != 32767) store.PutInt("MRUWidth", r.m_nMRUWidth);
    if (r.m_bDocking) {
        store.PutBool("Docking", true);
        store.PutInt("MRUDockID", r.m_uMRUDockID);
        store.PutInt("MRUDockLeftPos", r.m_rectMRUDockPos.left);
        store.PutInt("MRUDockTopPos", r.m_rectMRUDockPos.top);
        store.PutInt("MRUDockRightPos", r.m_rectMRUDockPos.right);
        store.PutInt("MRUDockBottomPos", r.m_rectMRUDockPos.bottom);
        store.PutInt("MRUFloatStyle", r.m_dwMRUFloatStyle);
        store.PutInt("MRUFloatXPos", r.m_ptMRUFloatPos.x);
        store.PutInt("MRUFloatYPos", r.m_ptMRUFloatPos.y);
    }
    if (r.m_arrBarID.size() > 1) {
        store.PutInt("Bars", std::int64_t(r.m_arrBarID.size()));
        for (std::size_t i = 0; i < r.m_arrBarID.size(); ++i)
            store.PutInt(Numbered("Bar#%d", int(i)).c_str(), r.m_arrBarID[i]);
    }
}

void LoadBase(TkControlBarInfo& r, KeyStore& store, const CDockState* state) {
    auto scaled = [state](POINT p) { return state ? state->ScalePoint(p) : p; };
    r.m_nBarID = store.UInt("BarID", 0);
    r.m_bVisible = store.GetBool("Visible", true);
    r.m_bHorz = store.GetBool("Horz", true);
    r.m_bFloating = store.GetBool("Floating", false);
    r.m_pointPos = scaled({store.Int("XPos", -1), store.Int("YPos", -1)});
    r.m_nMRUWidth = store.Int("MRUWidth", 32767);
    r.m_bDocking = store.GetBool("Docking", false);
    if (r.m_bDocking) {
        r.m_uMRUDockID = store.UInt("MRUDockID", 0);
        const RECT dock{store.Int("MRUDockLeftPos", 0), store.Int("MRUDockTopPos", 0),
                        store.Int("MRUDockRightPos", 0), store.Int("MRUDockBottomPos", 0)};
        r.m_rectMRUDockPos = state ? state->ScaleRect(dock) : dock;
        r.m_dwMRUFloatStyle = store.UInt("MRUFloatStyle", 0);
        r.m_ptMRUFloatPos = scaled({store.Int("MRUFloatXPos", 0), store.Int("MRUFloatYPos", 0)});
    }
    // A damaged count drives no long loop: the ids beyond the limit are not read.
    const std::size_t count =
        std::min<std::size_t>(std::size_t(std::max(0, store.Int("Bars", 0))), TkDockState::kMaxIds);
    for (std::size_t i = 0; i < count; ++i)
        r.m_arrBarID.push_back(store.UInt(Numbered("Bar#%d", int(i)).c_str(), 0));
}

void SaveOwn(const TkControlBarInfo& r, KeyStore& store) {
    store.PutInt("Style", r.m_dwStyle);
    store.PutInt("ExStyle", r.m_dwExStyle);
    store.PutBool("PrevFloating", r.m_bPrevFloating != FALSE);
    store.PutBool("MDIChild", r.m_bInMDIChild != FALSE);
    if (r.m_bInMDIChild)
        store.PutBytes("MDIChildWindowPlacement", reinterpret_cast<const std::uint8_t*>(&r.m_wpMDIChild),
                       sizeof r.m_wpMDIChild);
    store.PutText("PctWidth", ShareText(r.m_fPctWidth));
    store.PutInt("MRUFloatCX", r.m_szFloat.cx);
    store.PutInt("MRUFloatCY", r.m_szFloat.cy);
    store.PutInt("MRUHorzDockCX", r.m_szHorz.cx);
    store.PutInt("MRUHorzDockCY", r.m_szHorz.cy);
    store.PutInt("MRUVertDockCX", r.m_szVert.cx);
    store.PutInt("MRUVertDockCY", r.m_szVert.cy);
    store.PutInt("MRUDockingState", r.m_dwMRUDockingState);
    store.PutInt("DockingStyle", r.m_dwDockStyle);
    store.PutInt("TypeID", r.m_nTypeID);
    store.PutText("ClassName", r.m_strClassName);
    store.PutText("WindowName", r.m_strTitle);
    store.PutInt("ResourceID", r.m_nResourceID);
}

void LoadOwn(TkControlBarInfo& r, KeyStore& store) {
    r.m_dwStyle = store.UInt("Style", 0);
    r.m_dwExStyle = store.UInt("ExStyle", 0);
    r.m_bPrevFloating = store.GetBool("PrevFloating", false);
    r.m_bInMDIChild = store.GetBool("MDIChild", false);
    r.m_wpMDIChild = WINDOWPLACEMENT{};
    if (r.m_bInMDIChild) {
        // A placement too short to be one stays unset (length 0), which nothing applies.
        const std::vector<std::uint8_t> bytes = store.GetBytes("MDIChildWindowPlacement");
        if (bytes.size() >= sizeof r.m_wpMDIChild) std::memcpy(&r.m_wpMDIChild, bytes.data(), sizeof r.m_wpMDIChild);
    }
    r.m_fPctWidth = ShareFromText(store.GetText("PctWidth"));
    r.m_szFloat = LimitedSize(store.Int("MRUFloatCX", 0), store.Int("MRUFloatCY", 0));
    r.m_szHorz = LimitedSize(store.Int("MRUHorzDockCX", 0), store.Int("MRUHorzDockCY", 0));
    r.m_szVert = LimitedSize(store.Int("MRUVertDockCX", 0), store.Int("MRUVertDockCY", 0));
    r.m_dwMRUDockingState = store.UInt("MRUDockingState", r.m_dwMRUDockingState);
    r.m_dwDockStyle = store.UInt("DockingStyle", r.m_dwDockStyle);
    r.m_nTypeID = store.UInt("TypeID", 0);
    r.m_strClassName = store.GetText("ClassName");
    r.m_strTitle = store.GetText("WindowName");
    r.m_nResourceID = store.UInt("ResourceID", r.m_nResourceID);
}

void MakeExtension(TkControlBarInfo& r, TkControlBarManager* manager) {
    r.m_pBarInfoEx.reset();
    if (!manager) return;
    std::unique_ptr<Object> made = manager->CreateBarInfoEx(&r);
    if (auto* ex = dynamic_cast<TkControlBarInfoEx*>(made.get())) {
        made.release();
        r.m_pBarInfoEx.reset(ex);
    }
}

} // namespace

TkControlBarInfo::TkControlBarInfo()
    : m_rectMRUDockPos{0, 0, 0, 0}, m_szFloat{0, 0}, m_szHorz{0, 0}, m_szVert{0, 0}, m_wpMDIChild{} {}

TkControlBarInfo::~TkControlBarInfo() = default;

BOOL TkControlBarInfo::IsSaved() const {
    return !(m_bDockBar && m_bVisible && !m_bFloating && m_pointPos.x == -1 && m_pointPos.y == -1 &&
             m_arrBarID.size() <= 1);
}

BOOL TkControlBarInfo::SaveStateToProfile(const char* profile, int index) {
    CWinApp* app = AfxGetApp();
    if (!app || !profile || !IsSaved()) return FALSE;
    ProfileStore store(app, std::string(profile) + Numbered("-Bar%d", index));
    SaveBase(*this, store);
    SaveOwn(*this, store);
    if (m_pBarInfoEx) m_pBarInfoEx->SaveStateToProfile((std::string(profile) + Numbered("-Bar%d", index)).c_str());
    return TRUE;
}

BOOL TkControlBarInfo::LoadStateFromProfile(const char* profile, int index, TkDockState* state) {
    CWinApp* app = AfxGetApp();
    if (!app || !profile) return FALSE;
    const std::string section = std::string(profile) + Numbered("-Bar%d", index);
    ProfileStore store(app, section);
    LoadBase(*this, store, state);
    LoadOwn(*this, store);
    if (state) MakeExtension(*this, state->m_pManager);
    if (m_pBarInfoEx) m_pBarInfoEx->LoadStateFromProfile(section.c_str(), state);
    return TRUE;
}

BOOL TkControlBarInfo::SaveStateToTree(TkPTNFactory* factory, TkPersistentTreeNode* parent, int index) {
    if (!parent || !factory || !IsSaved()) return FALSE;
    TkPersistentTreeNode* node = factory->CreateNode(Numbered("Bar-%d", index), parent);
    if (!node) return FALSE;
    TreeStore store(node);
    SaveBase(*this, store);
    SaveOwn(*this, store);
    if (m_pBarInfoEx) m_pBarInfoEx->SaveStateToTree(factory, node);
    return TRUE;
}

BOOL TkControlBarInfo::LoadStateFromTree(TkPersistentTreeNode* node, TkDockState* state) {
    if (!node) return FALSE;
    TreeStore store(node);
    LoadBase(*this, store, state);
    LoadOwn(*this, store);
    if (state) MakeExtension(*this, state->m_pManager);
    if (m_pBarInfoEx) m_pBarInfoEx->LoadStateFromTree(node);
    return TRUE;
}

void TkControlBarInfo::Store(ArchiveWriter& archive, TkDockState* state, std::uint32_t version) const {
    archive.WriteUInt32(m_nBarID);
    archive.WriteUInt32(u32(m_bVisible));
    archive.WriteUInt32(u32(m_bFloating));
    archive.WriteUInt32(u32(m_bHorz));
    archive.WriteInt32(m_pointPos.x);
    archive.WriteInt32(m_pointPos.y);
    if (version > 1) {
        archive.WriteUInt32(u32(m_nMRUWidth));
        archive.WriteUInt32(u32(m_bDocking));
        if (m_bDocking) {
            archive.WriteUInt32(m_uMRUDockID);
            archive.WriteInt32(m_rectMRUDockPos.left);
            archive.WriteInt32(m_rectMRUDockPos.top);
            archive.WriteInt32(m_rectMRUDockPos.right);
            archive.WriteInt32(m_rectMRUDockPos.bottom);
            archive.WriteUInt32(m_dwMRUFloatStyle);
            archive.WriteInt32(m_ptMRUFloatPos.x);
            archive.WriteInt32(m_ptMRUFloatPos.y);
        }
    }
    archive.WriteUInt32(m_dwStyle);
    archive.WriteUInt32(m_dwExStyle);
    archive.WriteUInt32(u32(m_bPrevFloating));
    archive.WriteUInt32(u32(m_bInMDIChild));
    archive.WriteText(ShareText(m_fPctWidth));
    for (const SIZE& size : {m_szFloat, m_szHorz, m_szVert}) {
        archive.WriteInt32(size.cx);
        archive.WriteInt32(size.cy);
    }
    archive.WriteUInt32(m_dwMRUDockingState);
    archive.WriteUInt32(m_dwDockStyle);
    archive.WriteUInt32(m_nTypeID);
    if (m_pBarInfoEx) m_pBarInfoEx->Store(archive, state);
    // The count has 16 bits: no more ids are written than it can say.
    const std::size_t count = std::min<std::size_t>(m_arrBarID.size(), 0xFFFF);
    archive.WriteUInt16(u16(count));
    for (std::size_t i = 0; i < count; ++i)
        archive.WriteUInt32(m_arrBarID[i]);
}

void TkControlBarInfo::Load(ArchiveReader& archive, TkDockState* state, std::uint32_t version) {
    auto scaled = [state](POINT p) { return state ? state->ScalePoint(p) : p; };
    m_nBarID = archive.ReadUInt32();
    m_bVisible = archive.ReadUInt32() != 0;
    m_bFloating = archive.ReadUInt32() != 0;
    m_bHorz = archive.ReadUInt32() != 0;
    const std::int32_t x = archive.ReadInt32();
    m_pointPos = scaled({x, archive.ReadInt32()});
    if (version > 1) {
        m_nMRUWidth = std::int32_t(archive.ReadUInt32());
        m_bDocking = archive.ReadUInt32() != 0;
        if (m_bDocking) {
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
    }
    m_dwStyle = archive.ReadUInt32();
    m_dwExStyle = archive.ReadUInt32();
    m_bPrevFloating = archive.ReadUInt32() != 0;
    m_bInMDIChild = archive.ReadUInt32() != 0;
    m_fPctWidth = ShareFromText(archive.ReadText());
    for (SIZE* size : {&m_szFloat, &m_szHorz, &m_szVert}) {
        const std::int32_t cx = archive.ReadInt32();
        *size = LimitedSize(cx, archive.ReadInt32());
    }
    m_dwMRUDockingState = archive.ReadUInt32();
    m_dwDockStyle = archive.ReadUInt32();
    m_nTypeID = archive.ReadUInt32();
    if (state) MakeExtension(*this, state->m_pManager);
    if (m_pBarInfoEx) m_pBarInfoEx->Load(archive, state);
    const std::size_t count = archive.ReadUInt16();
    // Each id is four bytes: a count the stream cannot hold fails before anything is kept.
    if (archive.Remaining() / 4 < count) archive.ReadBytes(count * 4);
    m_arrBarID.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t id = archive.ReadUInt32();
        if (m_arrBarID.size() < TkDockState::kMaxIds) m_arrBarID.push_back(id);
    }
}

} // namespace vq
