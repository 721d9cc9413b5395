#include "platform/gui/CommonDialogs.h"

#include "WindowFixture.h"

#include <cstring>
#include <filesystem>

namespace vq::test {
namespace {

class ScriptedDialogs : public CommonDialogProvider {
public:
    std::optional<std::string> file;
    std::optional<COLORREF> colour;
    std::optional<std::string> folder;
    std::vector<FileRequest> fileRequests;
    int asked = 0;
    bool ownerEnabled = true;
    HWND owner = 0;

    std::optional<std::string> PickFile(HWND w, const FileRequest& r) override {
        Note(w);
        fileRequests.push_back(r);
        return file;
    }
    std::optional<COLORREF> PickColour(HWND w, ColourRequest&) override {
        Note(w);
        return colour;
    }
    std::optional<std::string> PickFolder(HWND w, const std::string&, const std::string&) override {
        Note(w);
        return folder;
    }

private:
    void Note(HWND w) {
        ++asked;
        ownerEnabled = ownerEnabled && IsWindowEnabled(w);
    }
};

class CommonDialogsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        owner = Make("Spy", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
        previous = SetCommonDialogProvider(&script);
        folder = std::filesystem::temp_directory_path().string();
    }
    void TearDown() override {
        SetCommonDialogProvider(previous);
        WindowTest::TearDown();
    }

    ScriptedDialogs script;
    CommonDialogProvider* previous = nullptr;
    HWND owner = 0;
    std::string folder;
};

TEST_F(CommonDialogsTest, FiltersSplitIntoNamesAndPatternsAndStarDotStarIsEveryFile) {
    const char list[] = "Text (*.txt)\0*.txt; *.log\0All files (*.*)\0*.*\0";
    const auto filters = ParseFileFilters(list);
    const std::vector<FileFilter> expected{{"Text (*.txt)", {"*.txt", "*.log"}}, {"All files (*.*)", {"*"}}};
    EXPECT_EQ(filters, expected);
    EXPECT_TRUE(ParseFileFilters(nullptr).empty());
}

TEST_F(CommonDialogsTest, AFileChoiceTakesTheDefaultExtensionAndMustFitTheBuffer) {
    char path[64] = {};
    std::strncpy(path, folder.c_str(), sizeof path - 1);
    OPENFILENAME ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "All files (*.*)\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrDefExt = "txt";
    ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    script.file = "/data/notes";
    ASSERT_TRUE(GetSaveFileName(&ofn));
    EXPECT_STREQ(path, "/data/notes.txt");
    EXPECT_EQ(ofn.nFileOffset, 6);
    EXPECT_EQ(ofn.nFileExtension, 12);
    ASSERT_EQ(script.fileRequests.size(), 1u);
    // A given folder is where the dialog starts.
    EXPECT_EQ(script.fileRequests[0].folder, folder);
    EXPECT_TRUE(script.fileRequests[0].save);
    EXPECT_EQ(script.fileRequests[0].filters[0].patterns, std::vector<std::string>{"*"});
    EXPECT_FALSE(script.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));

    script.file = "/" + std::string(80, 'x') + ".txt";
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
    EXPECT_STREQ(path, "/data/notes.txt");
    script.file.reset();
    EXPECT_FALSE(GetOpenFileName(&ofn));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

TEST_F(CommonDialogsTest, FoldersEndInASlashAndAnUnusableStartFailsUnasked) {
    script.folder = "/srv/data";
    EXPECT_EQ(BrowseForFolder(owner, "Pick", folder), std::optional<std::string>("/srv/data/"));
    script.folder = "/";
    EXPECT_EQ(BrowseForFolder(owner, "Pick", ""), std::optional<std::string>("/"));
    EXPECT_EQ(script.asked, 2);
    EXPECT_EQ(BrowseForFolder(owner, "Pick", folder + "/no such folder"), std::nullopt);
    EXPECT_EQ(script.asked, 2);
    script.folder.reset();
    EXPECT_EQ(BrowseForFolder(owner, "Pick", folder), std::nullopt);

    CHOOSECOLOR cc;
    cc.hwndOwner = owner;
    cc.rgbResult = RGB(1, 2, 3);
    EXPECT_FALSE(ChooseColor(&cc));
    EXPECT_EQ(cc.rgbResult, RGB(1, 2, 3));
    script.colour = RGB(10, 20, 30);
    EXPECT_TRUE(ChooseColor(&cc));
    EXPECT_EQ(cc.rgbResult, RGB(10, 20, 30));
}

} // namespace
} // namespace vq::test
