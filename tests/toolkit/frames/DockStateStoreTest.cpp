#include "DockingFixture.h"
#include "RegistryProfileApp.h"
#include "platform/classlib/WinApp.h"
#include "platform/core/Archive.h"
#include "platform/core/Exceptions.h"
#include "platform/registry/Registry.h"
#include "tests/data/res/docking.h"
#include "tests/support/TempDir.h"
#include "toolkit/frames/TkControlBarManager.h"
#include "toolkit/frames/TkDialogBar.h"
#include "toolkit/frames/TkDockState.h"
#include "toolkit/frames/TkPersistentTreeNode.h"

#include <algorithm>
#include <functional>
#include <map>

namespace vq::test {
namespace {

// The extension a test manager gives its bars' records: one number, and what was asked of it.
class CountingInfoEx : public TkControlBarInfoEx {
public:
    std::uint32_t extra = 0;
    std::vector<std::string>* calls = nullptr;

    void Store(ArchiveWriter& archive, TkDockState*) override {
        Note("store");
        archive.WriteUInt32(extra);
    }
    void Load(ArchiveReader& archive, TkDockState*) override {
        Note("load");
        extra = archive.ReadUInt32();
    }
    BOOL SaveStateToProfile(const char* section) override {
        Note(std::string("profile save ") + section);
        return AfxGetApp()->WriteProfileInt(section, "Extra", int(extra));
    }
    BOOL LoadStateFromProfile(const char* section, TkDockState*) override {
        Note(std::string("profile load ") + section);
        extra = AfxGetApp()->GetProfileInt(section, "Extra", 0);
        return TRUE;
    }
    BOOL SaveStateToTree(TkPTNFactory*, TkPersistentTreeNode* node) override {
        Note("tree save " + node->GetName());
        return node->SetIntValue("Extra", i32(extra), true) == 0;
    }
    BOOL LoadStateFromTree(TkPersistentTreeNode* node) override {
        Note("tree load " + node->GetName());
        u32 value = 0;
        node->GetIntValue("Extra", value, 0u);
        extra = value;
        return TRUE;
    }

private:
    void Note(const std::string& call) {
        if (calls) calls->push_back(call);
    }
};

// A manager that knows one type of bar (14946): it gives its records an extension and makes
// its bars again.
class TestManager : public TkControlBarManager {
public:
    CFrameWnd* frame = nullptr;
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<TkControlBar>> made;

    UINT GetBarTypeId(CControlBar*) override { return 14946; }
    std::unique_ptr<Object> CreateBarInfoEx(TkControlBarInfo* info) override {
        if (info->m_nTypeID != 14946) return nullptr;
        auto ex = std::make_unique<CountingInfoEx>();
        ex->calls = &calls;
        return ex;
    }
    CControlBar* CreateBarFromInfo(TkControlBarInfo* info) override {
        if (info->m_nTypeID != 14946) return nullptr;
        calls.push_back("make " + std::to_string(info->m_nBarID));
        auto bar = std::make_unique<TkControlBar>();
        if (!bar->Create(frame, "By manager", info->m_dwStyle, info->m_dwExStyle, info->m_nBarID)) return nullptr;
        bar->EnableDocking(CBRS_ALIGN_ANY);
        made.push_back(std::move(bar));
        return made.back().get();
    }
};

std::unique_ptr<TkControlBarInfo> DockBarRecord(UINT id, std::vector<std::uint32_t> ids) {
    auto info = std::make_unique<TkControlBarInfo>();
    info->m_nBarID = id;
    info->m_bVisible = TRUE;
    info->m_bHorz = id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_BOTTOM;
    info->m_bDockBar = TRUE;
    info->m_arrBarID = std::move(ids);
    return info;
}

std::unique_ptr<TkControlBarInfo> BarRecord(UINT id) {
    auto info = std::make_unique<TkControlBarInfo>();
    info->m_nBarID = id;
    info->m_bVisible = TRUE;
    info->m_bHorz = TRUE;
    info->m_pointPos = {2, 3};
    info->m_bDocking = TRUE;
    info->m_uMRUDockID = AFX_IDW_DOCKBAR_TOP;
    info->m_rectMRUDockPos = {1, 2, 301, 182};
    info->m_dwMRUFloatStyle = CBRS_ALIGN_TOP;
    info->m_ptMRUFloatPos = {50, 60};
    info->m_szFloat = {300, 180};
    info->m_szHorz = {320, 120};
    info->m_szVert = {150, 400};
    info->m_dwDockStyle = CBRS_ALIGN_ANY;
    info->m_fPctWidth = 1.0f / 3.0f;
    info->m_dwStyle = CBRS_ALIGN_TOP | CBRS_BORDER_ANY | CBRS_SIZE_DYNAMIC;
    info->m_dwExStyle = 0x0F50;
    info->m_strClassName = "TkControlBar";
    info->m_strTitle = "Bar " + std::to_string(id);
    return info;
}

// The fixture layout: the top dock bar holding bar 101 at a third of its row, an empty bottom dock
// bar, and a hidden floating dock bar inside the main window holding bar 102.
void FillFixture(TkDockState& state) {
    state.m_arrBarInfo.push_back(DockBarRecord(AFX_IDW_DOCKBAR_TOP, {0, 101, 0}));
    state.m_arrBarInfo.push_back(DockBarRecord(AFX_IDW_DOCKBAR_BOTTOM, {}));
    state.m_arrBarInfo.push_back(BarRecord(101));
    auto floating = DockBarRecord(AFX_IDW_DOCKBAR_FLOAT, {0, 102, 0});
    floating->m_bVisible = FALSE;
    floating->m_bFloating = TRUE;
    floating->m_bHorz = TRUE;
    floating->m_pointPos = {300, 200};
    floating->m_bInMDIChild = TRUE;
    floating->m_wpMDIChild.length = sizeof(WINDOWPLACEMENT);
    floating->m_wpMDIChild.showCmd = 1;
    floating->m_wpMDIChild.rcNormalPosition = {10, 20, 310, 220};
    state.m_arrBarInfo.push_back(std::move(floating));
}

class DockStateStoreTest : public DockingTest {
protected:
    RegistryProfileApp app;

    // Every section of the application's profile with its values, as "name=value" lines; texts
    // quoted, binary values as their length.
    static std::map<std::string, std::vector<std::string>> ProfileListing() {
        std::map<std::string, std::vector<std::string>> sections;
        RegistryKey appKey = nullptr;
        if (RegOpenKeyEx(kRegistryCurrentUser, "Software\\Test Maker\\Vorquel", &appKey) != kRegistrySuccess)
            return sections;
        char name[256];
        for (uint32_t i = 0;; ++i) {
            uint32_t size = sizeof name;
            if (RegEnumKeyEx(appKey, i, name, &size) != kRegistrySuccess) break;
            RegistryKey section = nullptr;
            if (RegOpenKeyEx(appKey, name, &section) != kRegistrySuccess) continue;
            std::vector<std::string>& lines = sections[name];
            for (uint32_t v = 0;; ++v) {
                char valueName[256];
                uint8_t data[256];
                uint32_t nameSize = sizeof valueName, type = 0, dataSize = sizeof data;
                if (RegEnumValue(section, v, valueName, &nameSize, &type, data, &dataSize) != kRegistrySuccess)
                    break;
                std::string line = std::string(valueName) + "=";
                if (type == kRegistryDword) {
                    std::uint32_t n = 0;
                    std::memcpy(&n, data, 4);
                    line += std::to_string(std::int32_t(n));
                } else if (type == kRegistryString) {
                    line += "\"" + std::string(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), dataSize)) + "\"";
                } else {
                    line += "bytes:" + std::to_string(dataSize);
                }
                lines.push_back(line);
            }
            std::sort(lines.begin(), lines.end());
            RegCloseKey(section);
        }
        RegCloseKey(appKey);
        return sections;
    }
};

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

const std::vector<std::string> kToolkitKeysOfADockBar = {
    "ClassName=\"\"", "DockingStyle=0", "ExStyle=0", "MDIChild=0", "MRUDockingState=0", "MRUFloatCX=0",
    "MRUFloatCY=0", "MRUHorzDockCX=0", "MRUHorzDockCY=0", "MRUVertDockCX=0", "MRUVertDockCY=0",
    "PctWidth=\"1000000\"", "PrevFloating=0", "ResourceID=0", "Style=0", "TypeID=0", "WindowName=\"\""};

std::vector<std::string> With(std::vector<std::string> lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return Sorted(lines);
}

TEST_F(DockStateStoreTest, TheProfileHoldsTheSavedRecordsUnderTheirKeys) {
    TkDockState state;
    FillFixture(state);
    ASSERT_TRUE(state.SaveStateToProfile("Layout"));
    const auto listing = ProfileListing();
    std::map<std::string, std::vector<std::string>> expected;
    expected["Layout-Summary"] = Sorted({"Bars=3", "ScreenCX=" + std::to_string(GetSystemMetrics(SM_CXSCREEN)),
                                         "ScreenCY=" + std::to_string(GetSystemMetrics(SM_CYSCREEN))});
    // The empty bottom dock bar writes nothing and the sections after it follow without a gap.
    expected["Layout-Bar0"] = With({"BarID=59419", "Bars=3", "Bar#0=0", "Bar#1=101", "Bar#2=0"}, kToolkitKeysOfADockBar);
    expected["Layout-Bar1"] = Sorted(
        {"BarID=101", "XPos=2", "YPos=3", "Docking=1", "MRUDockID=59419", "MRUDockLeftPos=1", "MRUDockTopPos=2",
         "MRUDockRightPos=301", "MRUDockBottomPos=182", "MRUFloatStyle=8192", "MRUFloatXPos=50", "MRUFloatYPos=60",
         "ClassName=\"TkControlBar\"", "DockingStyle=61440", "ExStyle=3920", "MDIChild=0", "MRUDockingState=0",
         "MRUFloatCX=300", "MRUFloatCY=180", "MRUHorzDockCX=320", "MRUHorzDockCY=120", "MRUVertDockCX=150",
         "MRUVertDockCY=400", "PctWidth=\"333333\"", "PrevFloating=0", "ResourceID=0", "Style=12036",
         "TypeID=0", "WindowName=\"Bar 101\""});
    std::vector<std::string> floating = kToolkitKeysOfADockBar;
    std::replace(floating.begin(), floating.end(), std::string("MDIChild=0"), std::string("MDIChild=1"));
    expected["Layout-Bar2"] = With({"BarID=59423", "Visible=0", "Horz=1", "Floating=1", "XPos=300", "YPos=200",
                                    "MDIChildWindowPlacement=bytes:44", "Bars=3", "Bar#0=0", "Bar#1=102", "Bar#2=0"},
                                   floating);
    EXPECT_EQ(listing, expected);

    // Read back: the same records, the share as the millionths kept.
    TkDockState loaded;
    ASSERT_TRUE(loaded.LoadStateFromProfile("Layout"));
    ASSERT_EQ(loaded.m_arrBarInfo.size(), 3u);
    const TkControlBarInfo& bar = *loaded.m_arrBarInfo[1];
    EXPECT_FLOAT_EQ(bar.m_fPctWidth, 0.333333f);
    EXPECT_EQ(bar.m_rectMRUDockPos, (RECT{1, 2, 301, 182}));
    EXPECT_EQ(bar.m_strTitle, "Bar 101");
    EXPECT_TRUE(bar.m_bVisible);
    const TkControlBarInfo& mdi = *loaded.m_arrBarInfo[2];
    EXPECT_FALSE(mdi.m_bVisible);
    EXPECT_TRUE(mdi.m_bFloating && mdi.m_bInMDIChild);
    EXPECT_EQ(mdi.m_wpMDIChild.rcNormalPosition, (RECT{10, 20, 310, 220}));
    EXPECT_EQ(mdi.m_arrBarID, (std::vector<std::uint32_t>{0, 102, 0}));
}

TEST_F(DockStateStoreTest, TheSettingsTreeHoldsTheSameRecordsAsText) {
    TkDockState state;
    FillFixture(state);
    TkPersistentTreeNode root;
    ASSERT_EQ(root.Create("Workspace", nullptr), 0);
    TkPTNFactory factory;
    ASSERT_TRUE(state.SaveStateToTree(&factory, &root));
    TkPersistentTreeNode* node = root.FindChild("DockState");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetChildNames(), (std::vector<std::string>{"Bar-0", "Bar-1", "Bar-2"}));
    std::string text;
    node->GetValue("Bars", text, "");
    EXPECT_EQ(text, "3");
    TkPersistentTreeNode* floating = node->FindChild("Bar-2");
    floating->GetValue("Floating", text, "");
    EXPECT_EQ(text, "True");
    floating->GetValue("Visible", text, "");
    EXPECT_EQ(text, "False");
    node->FindChild("Bar-1")->GetValue("PctWidth", text, "");
    EXPECT_EQ(text, "333333");

    TkDockState loaded;
    ASSERT_TRUE(loaded.LoadStateFromTree(&root));
    ASSERT_EQ(loaded.m_arrBarInfo.size(), 3u);
    EXPECT_EQ(loaded.m_arrBarInfo[2]->m_wpMDIChild.rcNormalPosition, (RECT{10, 20, 310, 220}));
    EXPECT_EQ(loaded.m_arrBarInfo[1]->m_ptMRUFloatPos, (POINT{50, 60}));
    EXPECT_EQ(loaded.m_arrBarInfo[0]->m_arrBarID, (std::vector<std::uint32_t>{0, 101, 0}));

    // No "DockState" under the parent: nothing read, the frame left alone.
    TkPersistentTreeNode other;
    ASSERT_EQ(other.Create("Other", nullptr), 0);
    TkDockState none;
    EXPECT_FALSE(none.LoadStateFromTree(&other));
    EXPECT_FALSE(none.LoadStateFromTree(nullptr));
    EXPECT_TRUE(none.m_arrBarInfo.empty());

    // A record missing from the middle is skipped.
    TkPersistentTreeNode gap;
    ASSERT_EQ(gap.Create("Workspace", nullptr), 0);
    TkPersistentTreeNode* dock = factory.CreateNode("DockState", &gap);
    dock->SetIntValue("Bars", 3, true);
    factory.CreateNode("Bar-0", dock)->SetIntValue("BarID", 7, true);
    factory.CreateNode("Bar-2", dock)->SetIntValue("BarID", 9, true);
    TkDockState skipped;
    ASSERT_TRUE(skipped.LoadStateFromTree(&gap));
    ASSERT_EQ(skipped.m_arrBarInfo.size(), 2u);
    EXPECT_EQ(skipped.m_arrBarInfo[1]->m_nBarID, 9u);
}

// Little-endian bytes as the archive form lays them out.
struct Bytes {
    std::vector<u8> data;
    Bytes& U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            data.push_back(u8(v >> (8 * i)));
        return *this;
    }
    Bytes& U16(std::uint16_t v) {
        data.push_back(u8(v));
        data.push_back(u8(v >> 8));
        return *this;
    }
    Bytes& Text(const std::string& s) {
        data.push_back(u8(s.size()));
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
};

std::unique_ptr<TkControlBarInfo> SmallRecord() {
    auto info = std::make_unique<TkControlBarInfo>();
    info->m_nBarID = 5;
    info->m_bVisible = TRUE;
    info->m_bHorz = TRUE;
    info->m_dwStyle = 0x10;
    info->m_dwExStyle = 0x20;
    info->m_fPctWidth = 0.5f;
    info->m_szFloat = {1, 2};
    info->m_szHorz = {3, 4};
    info->m_szVert = {5, 6};
    info->m_dwMRUDockingState = 7;
    info->m_dwDockStyle = 8;
    info->m_arrBarID = {0, 5};
    return info;
}

Bytes SmallRecordBytes(std::uint32_t version) {
    Bytes b;
    b.U32(5).U32(1).U32(0).U32(1).U32(0xFFFFFFFF).U32(0xFFFFFFFF);
    if (version > 1) b.U32(32767).U32(0);
    b.U32(0x10).U32(0x20).U32(0).U32(0).Text("500000");
    b.U32(1).U32(2).U32(3).U32(4).U32(5).U32(6).U32(7).U32(8).U32(0);
    b.U16(2).U32(0).U32(5);
    return b;
}

TEST_F(DockStateStoreTest, TheArchiveFormIsExactAndEveryTruncationIsRefused) {
    TkDockState state;
    state.m_arrBarInfo.push_back(SmallRecord());
    ArchiveWriter writer;
    state.Store(writer);
    Bytes expected;
    expected.U32(2).U32(std::uint32_t(GetSystemMetrics(SM_CXSCREEN))).U32(std::uint32_t(GetSystemMetrics(SM_CYSCREEN)));
    expected.U16(1);
    const Bytes record = SmallRecordBytes(2);
    expected.data.insert(expected.data.end(), record.data.begin(), record.data.end());
    ASSERT_EQ(writer.Data().size(), expected.data.size());
    for (std::size_t i = 0; i < expected.data.size(); ++i)
        ASSERT_EQ(writer.Data()[i], expected.data[i]) << "byte " << i;

    TkDockState loaded;
    ArchiveReader reader(writer.Data());
    loaded.Load(reader);
    ASSERT_EQ(loaded.m_arrBarInfo.size(), 1u);
    const TkControlBarInfo& r = *loaded.m_arrBarInfo[0];
    EXPECT_EQ(r.m_nBarID, 5u);
    EXPECT_EQ(r.m_pointPos, (POINT{-1, -1}));
    EXPECT_FLOAT_EQ(r.m_fPctWidth, 0.5f);
    EXPECT_EQ(r.m_szVert, (SIZE{5, 6}));
    EXPECT_EQ(r.m_arrBarID, (std::vector<std::uint32_t>{0, 5}));
    EXPECT_EQ(loaded.m_dwVersion, 2u);

    // A first-version stream has no screen size and no most-recent fields.
    Bytes old;
    old.U32(1).U16(1);
    const Bytes oldRecord = SmallRecordBytes(1);
    old.data.insert(old.data.end(), oldRecord.data.begin(), oldRecord.data.end());
    TkDockState fromOld;
    ArchiveReader oldReader(old.data);
    fromOld.Load(oldReader);
    ASSERT_EQ(fromOld.m_arrBarInfo.size(), 1u);
    EXPECT_EQ(fromOld.m_arrBarInfo[0]->m_szHorz, (SIZE{3, 4}));
    EXPECT_EQ(fromOld.m_dwVersion, 2u);

    // Cut anywhere, the stream is refused and the records held stay as they were.
    for (std::size_t length = 0; length < writer.Data().size(); ++length) {
        TkDockState cut;
        cut.m_arrBarInfo.push_back(SmallRecord());
        ArchiveReader short_(std::span<const u8>(writer.Data().data(), length));
        EXPECT_THROW(cut.Load(short_), ArchiveException) << length;
        ASSERT_EQ(cut.m_arrBarInfo.size(), 1u);
    }
}

TEST_F(DockStateStoreTest, CleaningKeepsPlaceholdersWhereBarsComeBackAndEndsEveryListOnce) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> ids, expected;
    };
    // Bar 101 last docked in the top dock bar; the lists below are the left dock bar's.
    const Case cases[] = {
        {"another dock bar's placeholder goes", {0, 102, 0x10065, 0}, {0, 102, 0}},
        {"a repeated id goes", {0, 102, 0, 102, 0}, {0, 102, 0}},
        {"trailing row ends become one", {0, 102, 0, 0, 0}, {0, 102, 0}},
        {"a list of row ends only is empty", {0, 0, 0}, {}},
        {"an empty list stays empty", {}, {}},
        {"a missing row end is added", {0, 102}, {0, 102, 0}},
    };
    for (const Case& c : cases) {
        TkDockState state;
        state.m_arrBarInfo.push_back(DockBarRecord(AFX_IDW_DOCKBAR_TOP, {0, 0x10065, 0}));
        state.m_arrBarInfo.push_back(DockBarRecord(AFX_IDW_DOCKBAR_LEFT, c.ids));
        state.m_arrBarInfo.push_back(BarRecord(101));
        state.CleanBarIdLists();
        EXPECT_EQ(state.m_arrBarInfo[1]->m_arrBarID, c.expected) << c.what;
        // In its own most recent dock bar the placeholder stays.
        EXPECT_EQ(state.m_arrBarInfo[0]->m_arrBarID, (std::vector<std::uint32_t>{0, 0x10065, 0})) << c.what;
    }
}

TEST_F(DockStateStoreTest, PositionsSavedOnAnotherScreenAreScaledToThisOne) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    app->WriteProfileInt("Old-Summary", "Bars", 1);
    app->WriteProfileInt("Old-Summary", "ScreenCX", 640);
    app->WriteProfileInt("Old-Summary", "ScreenCY", 512);
    const char* section = "Old-Bar0";
    app->WriteProfileInt(section, "BarID", 101);
    app->WriteProfileInt(section, "XPos", 10);
    app->WriteProfileInt(section, "Docking", 1);
    app->WriteProfileInt(section, "MRUDockLeftPos", 1);
    app->WriteProfileInt(section, "MRUDockTopPos", 2);
    app->WriteProfileInt(section, "MRUDockRightPos", 300);
    app->WriteProfileInt(section, "MRUDockBottomPos", 200);
    app->WriteProfileInt(section, "MRUFloatXPos", 100);
    app->WriteProfileInt(section, "MRUFloatYPos", -1);
    TkDockState state;
    ASSERT_TRUE(state.LoadStateFromProfile("Old"));
    ASSERT_EQ(state.m_arrBarInfo.size(), 1u);
    const TkControlBarInfo& r = *state.m_arrBarInfo[0];
    EXPECT_EQ(r.m_pointPos, (POINT{20, -1}));
    EXPECT_EQ(r.m_rectMRUDockPos, (RECT{2, 4, 600, 400}));
    EXPECT_EQ(r.m_ptMRUFloatPos, (POINT{200, -1}));
}

// Damaged or hostile profiles: each loads promptly, keeps what it can and leaves the frame usable.
TEST_F(DockStateStoreTest, DamagedProfilesLoadWhatTheyCanAndLeaveTheFrameUsable) {
    CountingBar* top = MakeBar(101);
    Dock(AFX_IDW_DOCKBAR_TOP)->DockControlBarAt(top, 0, 0);
    CountingBar* left = MakeBar(102);
    Dock(AFX_IDW_DOCKBAR_LEFT)->DockControlBarAt(left, 0, 0);
    Layout();
    using Bars = std::vector<std::unique_ptr<CControlBar>>;
    struct Case {
        const char* what;
        std::function<void(const std::string& profile)> write;
        std::function<void(const TkDockState& loaded)> afterLoad;
        std::function<void(const TkDockState& applied, const Bars& created)> afterApply;
    };
    auto put = [this](const std::string& section, const char* key, int value) {
        app->WriteProfileInt(section.c_str(), key, value);
    };
    auto summary = [&](const std::string& profile, int count) { put(profile + "-Summary", "Bars", count); };
    const std::uint8_t twenty[20] = {20};
    const Case cases[] = {
        {"a count of 2147483647 reads at most 1,024 records",
         [&](const std::string& p) {
             summary(p, 2147483647);
             put(p + "-Bar0", "BarID", 101);
         },
         [](const TkDockState& s) { EXPECT_EQ(s.m_arrBarInfo.size(), TkDockState::kMaxRecords); },
         [](const TkDockState& s, const Bars&) { EXPECT_EQ(s.m_arrBarInfo.size(), 1u); }},
        {"negative sizes and shares read 0",
         [&](const std::string& p) {
             summary(p, 1);
             put(p + "-Bar0", "BarID", 101);
             put(p + "-Bar0", "MRUFloatCX", -5);
             put(p + "-Bar0", "MRUHorzDockCY", -7);
             app->WriteProfileString((p + "-Bar0").c_str(), "PctWidth", "-250000");
         },
         [](const TkDockState& s) {
             const TkControlBarInfo& r = *s.m_arrBarInfo[0];
             EXPECT_EQ(r.m_szFloat.cx, 0);
             EXPECT_EQ(r.m_szHorz.cy, 0);
             EXPECT_EQ(r.m_fPctWidth, 0.0f);
         },
         nullptr},
        {"sizes of 2,000,000,000 are limited to the screen",
         [&](const std::string& p) {
             summary(p, 1);
             put(p + "-Bar0", "BarID", 101);
             put(p + "-Bar0", "MRUFloatCX", 2000000000);
             put(p + "-Bar0", "MRUVertDockCY", 2000000000);
         },
         [](const TkDockState& s) {
             EXPECT_EQ(s.m_arrBarInfo[0]->m_szFloat.cx, GetSystemMetrics(SM_CXFULLSCREEN));
             EXPECT_EQ(s.m_arrBarInfo[0]->m_szVert.cy, GetSystemMetrics(SM_CYFULLSCREEN));
         },
         [&](const TkDockState&, const Bars&) { EXPECT_EQ(top->m_szMRUFloat.cx, GetSystemMetrics(SM_CXFULLSCREEN)); }},
        {"a class that is no bar makes nothing",
         [&](const std::string& p) {
             summary(p, 2);
             put(p + "-Bar0", "BarID", 555);
             app->WriteProfileString((p + "-Bar0").c_str(), "ClassName", "CMiniDockFrameWnd");
             put(p + "-Bar1", "BarID", 556);
             app->WriteProfileString((p + "-Bar1").c_str(), "ClassName", "CDocument");
         },
         nullptr,
         [&](const TkDockState& s, const Bars& created) {
             EXPECT_TRUE(s.m_arrBarInfo.empty());
             EXPECT_TRUE(created.empty());
             EXPECT_EQ(frame->GetControlBar(555), nullptr);
         }},
        {"a dialog bar whose template is missing is dropped with no window",
         [&](const std::string& p) {
             summary(p, 1);
             put(p + "-Bar0", "BarID", 557);
             put(p + "-Bar0", "ResourceID", 9999);
             put(p + "-Bar0", "Style", int(WS_CHILD | WS_VISIBLE | CBRS_TOP));
             app->WriteProfileString((p + "-Bar0").c_str(), "ClassName", "TkDialogBar");
         },
         nullptr,
         [&](const TkDockState& s, const Bars& created) {
             EXPECT_TRUE(s.m_arrBarInfo.empty());
             EXPECT_TRUE(created.empty());
             EXPECT_EQ(frame->GetControlBar(557), nullptr);
         }},
        {"a bar named by two dock bars goes into the first",
         [&](const std::string& p) {
             summary(p, 2);
             for (int i = 0; i < 2; ++i) {
                 const std::string section = p + "-Bar" + std::to_string(i);
                 put(section, "BarID", int(i == 0 ? AFX_IDW_DOCKBAR_TOP : AFX_IDW_DOCKBAR_LEFT));
                 put(section, "Bars", 3);
                 put(section, "Bar#1", 102);
             }
         },
         nullptr,
         [&](const TkDockState&, const Bars&) {
             EXPECT_EQ(left->m_pDockBar, Dock(AFX_IDW_DOCKBAR_TOP));
             EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->FindBar(left), 1);
             EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_LEFT)->FindBar(left), -1);
             EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_LEFT)->GetBarIds(), (std::vector<std::uint32_t>{0, 0x10066, 0}));
         }},
        {"a placement of 20 bytes is not one",
         [&](const std::string& p) {
             summary(p, 1);
             put(p + "-Bar0", "BarID", 101);
             put(p + "-Bar0", "MDIChild", 1);
             app->WriteProfileBinary((p + "-Bar0").c_str(), "MDIChildWindowPlacement", twenty, sizeof twenty);
         },
         [](const TkDockState& s) { EXPECT_EQ(s.m_arrBarInfo[0]->m_wpMDIChild.length, 0u); },
         nullptr},
        {"a summary of three with sections 0 and 2 only",
         [&](const std::string& p) {
             summary(p, 3);
             put(p + "-Bar0", "BarID", 101);
             put(p + "-Bar2", "BarID", 102);
         },
         [](const TkDockState& s) {
             ASSERT_EQ(s.m_arrBarInfo.size(), 3u);
             EXPECT_EQ(s.m_arrBarInfo[1]->m_nBarID, 0u);
         },
         [](const TkDockState& s, const Bars&) {
             ASSERT_EQ(s.m_arrBarInfo.size(), 2u);
             EXPECT_EQ(s.m_arrBarInfo[1]->m_nBarID, 102u);
         }},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string profile = "Bad" + std::to_string(n++);
        c.write(profile);
        Bars created;
        TkDockState state(nullptr, &created);
        ASSERT_TRUE(state.LoadStateFromProfile(profile.c_str()));
        if (c.afterLoad) c.afterLoad(state);
        ASSERT_TRUE(state.ApplyToFrame(frame.get()));
        Layout();
        EXPECT_TRUE(IsWindow(frame->m_hWnd));
        if (c.afterApply) c.afterApply(state, created);
    }
}

TEST_F(DockStateStoreTest, BarsTheFrameLacksAreMadeByTheManagerOrByTheirClass) {
    TestManager manager;
    manager.frame = frame.get();
    std::vector<std::unique_ptr<CControlBar>> created;
    TkDockState state(&manager, &created);
    state.m_arrBarInfo.push_back(DockBarRecord(AFX_IDW_DOCKBAR_TOP, {0, 201, 0, 202, 0, 203, 0}));
    auto byManager = BarRecord(201);
    byManager->m_nTypeID = 14946;
    state.m_arrBarInfo.push_back(std::move(byManager));
    auto byClass = BarRecord(202);
    byClass->m_strTitle = "Made by name";
    state.m_arrBarInfo.push_back(std::move(byClass));
    auto dialog = BarRecord(203);
    dialog->m_strClassName = "TkDialogBar";
    dialog->m_nResourceID = IDD_DOCKBAR;
    dialog->m_dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC;
    dialog->m_strTitle = "Dialog";
    state.m_arrBarInfo.push_back(std::move(dialog));
    ASSERT_TRUE(state.ApplyToFrame(frame.get()));
    Layout();
    EXPECT_EQ(manager.calls, std::vector<std::string>{"make 201"});
    ASSERT_EQ(created.size(), 2u);
    auto* named = dynamic_cast<TkControlBar*>(frame->GetControlBar(202));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named, created[0].get());
    EXPECT_EQ(named->GetWindowText(), "Made by name");
    auto* dialogBar = dynamic_cast<TkDialogBar*>(frame->GetControlBar(203));
    ASSERT_NE(dialogBar, nullptr);
    EXPECT_EQ(dialogBar, created[1].get());
    EXPECT_EQ(dialogBar->m_dwExStyle, 0x0F50u);
    EXPECT_EQ(dialogBar->m_dwDockStyle & CBRS_ALIGN_ANY, DWORD(CBRS_ALIGN_ANY));
    EXPECT_EQ(Dock(AFX_IDW_DOCKBAR_TOP)->GetBarIds(), (std::vector<std::uint32_t>{0, 201, 0, 202, 0, 203, 0}));
    Save("dock-state-made-bars");
}

TEST_F(DockStateStoreTest, AManagersExtensionTravelsWithItsRecordInEveryStore) {
    TestManager manager;
    auto record = [&] {
        auto info = BarRecord(301);
        info->m_nTypeID = 14946;
        auto ex = std::make_unique<CountingInfoEx>();
        ex->extra = 77;
        ex->calls = &manager.calls;
        info->m_pBarInfoEx = std::move(ex);
        return info;
    };
    auto extraOf = [](const TkDockState& s) {
        auto* ex = dynamic_cast<CountingInfoEx*>(s.m_arrBarInfo.at(0)->m_pBarInfoEx.get());
        return ex ? ex->extra : 0u;
    };
    TkDockState saved(&manager);
    saved.m_arrBarInfo.push_back(record());

    ASSERT_TRUE(saved.SaveStateToProfile("Ext"));
    EXPECT_EQ(app->GetProfileInt("Ext-Bar0", "Extra", 0), 77u);
    TkDockState fromProfile(&manager);
    ASSERT_TRUE(fromProfile.LoadStateFromProfile("Ext"));
    EXPECT_EQ(extraOf(fromProfile), 77u);

    TkPersistentTreeNode root;
    ASSERT_EQ(root.Create("Workspace", nullptr), 0);
    TkPTNFactory factory;
    ASSERT_TRUE(saved.SaveStateToTree(&factory, &root));
    TkDockState fromTree(&manager);
    ASSERT_TRUE(fromTree.LoadStateFromTree(&root));
    EXPECT_EQ(extraOf(fromTree), 77u);

    // In the archive the extension sits between the type id and the id count.
    ArchiveWriter writer;
    saved.Store(writer);
    TkDockState fromArchive(&manager);
    ArchiveReader reader(writer.Data());
    fromArchive.Load(reader);
    EXPECT_EQ(extraOf(fromArchive), 77u);
    const auto& bytes = writer.Data();
    const std::size_t ids = 4 * saved.m_arrBarInfo[0]->m_arrBarID.size();
    std::uint32_t before = 0, typeId = 0;
    std::memcpy(&before, bytes.data() + bytes.size() - ids - 2 - 4, 4);
    std::memcpy(&typeId, bytes.data() + bytes.size() - ids - 2 - 8, 4);
    EXPECT_EQ(before, 77u);
    EXPECT_EQ(typeId, 14946u);

    EXPECT_EQ(manager.calls, (std::vector<std::string>{"profile save Ext-Bar0", "profile load Ext-Bar0",
                                                       "tree save Bar-0", "tree load Bar-0", "store", "load"}));
}

TEST_F(DockStateStoreTest, ARecordKeptInsideTheMainWindowGoesBackThroughTheMDIFrame) {
    CountingBar* bar = MakeBar(101);
    Dock(AFX_IDW_DOCKBAR_TOP)->DockControlBarAt(bar, 0, 0);
    Layout();
    frame->mdiFrame = TRUE;
    TkDockState state;
    FillFixture(state);
    // The floating dock bar of the fixture holds bar 101 here, shown.
    TkControlBarInfo& floating = *state.m_arrBarInfo[3];
    floating.m_arrBarID = {0, 101, 0};
    floating.m_bVisible = TRUE;
    state.m_arrBarInfo[0]->m_arrBarID = {0, 0x10065, 0};
    state.m_arrBarInfo.erase(state.m_arrBarInfo.begin() + 2);
    ASSERT_TRUE(state.ApplyToFrame(frame.get()));
    OffscreenHarness::RunUntilIdle();
    EXPECT_EQ(frame->hostCalls, std::vector<std::string>{"floating frame " + std::to_string(CBRS_ALIGN_TOP)});
    ASSERT_TRUE(bar->m_pDockBar && bar->m_pDockBar->m_bFloating);
    WINDOWPLACEMENT placement;
    placement.length = sizeof placement;
    ASSERT_TRUE(GetWindowPlacement(bar->m_pDockBar->GetParent()->m_hWnd, &placement));
    EXPECT_EQ(placement.rcNormalPosition, (RECT{10, 20, 310, 220}));
    EXPECT_TRUE(frame->IsLayoutPending());
}

} // namespace
} // namespace vq::test
