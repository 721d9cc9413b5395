#include "shell/COstrelixSystemDoc.h"

#include "config/CCfgClass.h"
#include "config/CCfgDevice.h"
#include "config/CCfgDeviceEvent.h"
#include "config/CConfig.h"
#include "platform/db/Database.h"
#include "shell/COstrelixApp.h"
#include "shell/ExplorerInfo.h"
#include "shell/ExplorerTreeNodes.h"
#include "tests/shell/ShellFixture.h"

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace vq {
namespace {

// The explorer's node operations, recording each node as "parent/name@image".
class RecordingTree : public ExplorerTreeNodes {
public:
    Item InsertNode(Item parent, int image, const std::string& name, ExplorerInfo*) override {
        names.push_back(name);
        const std::string parentName = parent ? names[parent - 1] : "";
        nodes.push_back(parentName + "/" + name + "@" + std::to_string(image));
        return names.size();
    }
    std::vector<std::string> names;
    std::vector<std::string> nodes;
};

class SystemDocTest : public test::ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        m_Store.SetProgramFolder(ProgramFolder());
        ASSERT_TRUE(m_Store.CreateDatabase(m_Dir.Path().string(), "net"));
        ASSERT_TRUE(m_Store.Open(Path(), m_Dir.Path().string()));
    }

    std::string Path() const { return m_Dir.File("net.vqd"); }
    void Raw(const std::string& sql) const { db::Database::Open(Path())->Execute(sql); }

    void SaveClass(const std::string& name, const std::string& bitmap) {
        CCfgClass record;
        record.SetName(name);
        record.SetBitmap(bitmap);
        ASSERT_TRUE(m_Store.SaveClass(record)) << m_Store.TakeLastError();
    }
    void SaveDevice(const std::string& name, const std::string& className, const std::string& mac = "") {
        CCfgDevice record;
        record.SetName(name);
        record.SetClassName(className);
        record.SetAddress(mac);
        record.SetIpConversations(!mac.empty());
        record.SetBitmap("Server");
        ASSERT_TRUE(m_Store.SaveDevice(record)) << m_Store.TakeLastError();
    }
    void SaveDeviceEvent(const std::string& owner) {
        CCfgDeviceEvent record;
        record.SetOwnerName(owner);
        ASSERT_TRUE(m_Store.SaveDeviceEvent(record)) << m_Store.TakeLastError();
    }

    // The application, pointed at the test database with the recording tree.
    std::unique_ptr<COstrelixApp> MakeApp() {
        auto app = std::make_unique<COstrelixApp>();
        app->GetSystemDoc().SetPath(m_Dir.Path().string());
        app->GetSystemDoc().SetName("net.vqd");
        app->GetSystemDoc().SetTree(&m_Tree);
        return app;
    }

    CConfig m_Store{{}, [](const std::string&) {}};
    RecordingTree m_Tree;
};

TEST_F(SystemDocTest, AnEmptyDatabaseGivesTheThreeRootsOnce) {
    auto app = MakeApp();
    ASSERT_TRUE(app->LoadConfiguration());
    EXPECT_EQ(m_Tree.nodes, (std::vector<std::string>{"/Network@1", "/Device@0", "/Log@2"}));
    EXPECT_TRUE(m_Boxes.texts.empty());
    EXPECT_NE(app->GetRootRecord(), nullptr);
    EXPECT_FALSE(app->LoadConfiguration()) << "the model loads once";
    EXPECT_EQ(m_Tree.nodes.size(), 3u);
}

TEST_F(SystemDocTest, FaultsInTheDatabaseAreNamedAndTheLoadGoesOn) {
    SaveClass("Printers", "Printer");
    Raw("INSERT INTO CFGCLASS (CLASSNAME, Bitmap) VALUES ('Printers', 'Router')");
    SaveClass("Links", "WAN");
    SaveDevice("lp1", "Printers", "00:a0:c9:00:00:01");
    SaveDevice("orphan", "Ghost");
    SaveDevice("solo", "", "00:a0:c9:00:00:02");
    SaveDeviceEvent("lp1");
    SaveDeviceEvent("gone");

    auto app = MakeApp();
    app->SetMacOnlyReporting(true);
    ASSERT_TRUE(app->LoadConfiguration());
    EXPECT_TRUE(app->HasMacFilterEntry("00:a0:c9:00:00:01"));
    EXPECT_TRUE(app->HasMacFilterEntry("00:a0:c9:00:00:02"));
    COstrelixSystemDoc& model = app->GetSystemDoc();
    EXPECT_EQ(m_Tree.nodes, (std::vector<std::string>{"/Network@1", "/Device@0", "/Log@2", "Device/Printers@15",
                                                       "Device/Links@0", "Printers/lp1@7", "Device/orphan@7",
                                                       "Device/solo@7"}));
    ASSERT_EQ(m_Boxes.texts.size(), 3u);
    EXPECT_EQ(m_Boxes.texts[0], "Class Printers has been defined more than once. First definition will be used.");
    EXPECT_NE(m_Boxes.texts[1].find("Ghost"), std::string::npos);
    EXPECT_EQ(m_Boxes.texts[2], "Device gone missing. Event not loaded.");

    EXPECT_EQ(model.FindClass("Printers")->GetClass(), model.GetClasses()[0].get());
    EXPECT_EQ(model.GetClasses().size(), 3u) << "the duplicate stays in the list";
    EXPECT_EQ(model.FindDevice("orphan")->GetDevice()->GetClassName(), "");
    auto row = db::Database::Open(Path())->Prepare("SELECT ClassName FROM CFGDEVICE WHERE DEVName = 'orphan'");
    ASSERT_TRUE(row.Step());
    EXPECT_EQ(row.GetText(0), "Ghost") << "the row keeps its class until the device is written";
    EXPECT_EQ(model.GetDeviceEvents().size(), 2u);
    EXPECT_EQ(model.FindDevice("lp1")->GetEventCount(), 1);
    EXPECT_EQ(model.FindDevice("lp1")->GetStatus(), 1);
    EXPECT_EQ(model.FindDevice(""), nullptr);
}

TEST_F(SystemDocTest, AWrongVersionIsRefusedWithItsMessage) {
    Raw("UPDATE CFGOSTRELIX SET DBVersion = 'v0.1'");
    auto app = MakeApp();
    EXPECT_FALSE(app->LoadConfiguration());
    EXPECT_EQ(m_Boxes.texts, std::vector<std::string>{"Database not compatible with the version of Vorquel."});
    EXPECT_EQ(app->GetSystemDoc().GetName(), "");
}

TEST_F(SystemDocTest, AnyOtherStoreFailureEndsTheProgramWithCode802) {
    Raw("DROP TABLE CFGDEVICE");
    const std::string shown = m_Dir.File("shown");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        struct WriteShown : MessageBoxProvider {
            std::string file;
            int Show(HWND, const std::string& text, const std::string&, UINT) override {
                std::ofstream(file) << text;
                return IDOK;
            }
        } boxes;
        boxes.file = shown;
        SetMessageBoxProvider(&boxes);
        auto app = MakeApp();
        app->LoadConfiguration();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 802 & 0xFF);
    EXPECT_EQ(test::ReadFile(shown).rfind("Fatal Error 802 - ", 0), 0u) << test::ReadFile(shown);
}

TEST(DeviceTypes, NamesAndCodes) {
    EXPECT_EQ(DeviceTypeFromName("Printer"), 15);
    EXPECT_EQ(DeviceTypeFromName("WAN"), 0);
    EXPECT_EQ(DeviceTypeFromName("printer"), 0);
    EXPECT_EQ(DeviceTypeName(19), "WAN");
    EXPECT_EQ(DeviceTypeName(5), "Default");
    EXPECT_EQ(DeviceTypeName(0), "Default");
}

} // namespace
} // namespace vq
