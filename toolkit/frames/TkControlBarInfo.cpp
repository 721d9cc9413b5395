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

// The keys of a settings-tree node: every value a text, booleans "True"/"False".
class TreeStore : public CBarInfoKeys {
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

void SaveOwn(const TkControlBarInfo& r, CBarInfoKeys& store) {
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

void LoadOwn(TkControlBarInfo& r, CBarInfoKeys& store) {
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
    : m_szFloat{0, 0}, m_szHorz{0, 0}, m_szVert{0, 0}, m_wpMDIChild{} {}

TkControlBarInfo::~TkControlBarInfo() = default;

BOOL TkControlBarInfo::SaveStateToProfile(const char* profile, int index) {
    if (!profile) return FALSE;
    const std::string section = std::string(profile) + Numbered("-Bar%d", index);
    if (!SaveState(section)) return FALSE;
    CProfileBarInfoKeys store(section);
    SaveOwn(*this, store);
    if (m_pBarInfoEx) m_pBarInfoEx->SaveStateToProfile(section.c_str());
    return TRUE;
}

BOOL TkControlBarInfo::LoadStateFromProfile(const char* profile, int index, TkDockState* state) {
    if (!profile) return FALSE;
    const std::string section = std::string(profile) + Numbered("-Bar%d", index);
    if (!LoadState(section, state)) return FALSE;
    CProfileBarInfoKeys store(section);
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
    SaveKeys(store);
    SaveOwn(*this, store);
    if (m_pBarInfoEx) m_pBarInfoEx->SaveStateToTree(factory, node);
    return TRUE;
}

BOOL TkControlBarInfo::LoadStateFromTree(TkPersistentTreeNode* node, TkDockState* state) {
    if (!node) return FALSE;
    TreeStore store(node);
    LoadKeys(store, state);
    LoadOwn(*this, store);
    if (state) MakeExtension(*this, state->m_pManager);
    if (m_pBarInfoEx) m_pBarInfoEx->LoadStateFromTree(node);
    return TRUE;
}

void TkControlBarInfo::Store(ArchiveWriter& archive, TkDockState* state, std::uint32_t version) const {
    StorePlace(archive, version);
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
    StoreIds(archive);
}

void TkControlBarInfo::Load(ArchiveReader& archive, TkDockState* state, std::uint32_t version) {
    LoadPlace(archive, state, version);
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
    LoadIds(archive);
}

} // namespace vq
